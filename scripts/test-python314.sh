#!/usr/bin/env bash
# scripts/test-python314.sh: the whole test suite (scripts/test.sh) on CPython 3.14, inside a
# Debian sid chroot that has it. Runs as root (or through sudo), needs no terminal.
#
#   bash scripts/test-python314.sh [PYTEST ARGS ...]
#
# The chroot is made once and kept in $ORVELLE_PY314_ROOT (default build/python314-root); a
# copy of this checkout goes to /src inside it on every run, keeping its build folders and
# venv between runs so rebuilds stay incremental. Delete the folder to start afresh.
set -euo pipefail
# Making the chroot, mounting and chroot itself need root.
[ "$(id -u)" -eq 0 ] || exec sudo --preserve-env bash "$0" "$@"
cd "$(dirname "$0")/.."

root="$(realpath -m "${ORVELLE_PY314_ROOT:-build/python314-root}")"
mirror="${ORVELLE_DEBIAN_MIRROR:-http://deb.debian.org/debian}"
packages=python3.14,python3.14-venv,python3.14-dev,g++,cmake,ninja-build,zlib1g-dev
packages+=,pkg-config,libsimdjson-dev,libminizip-dev,libgtest-dev,ca-certificates

if [ ! -e "$root/.orvelle-ready" ]; then
  if ! command -v debootstrap >/dev/null; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >/dev/null
  fi
  # A half-made chroot (an interrupted run) is not worth repairing.
  rm -rf --one-file-system "$root"
  mkdir -p "$root"
  echo "Making the Debian sid chroot in $root" >&2
  debootstrap --variant=minbase --include="$packages" sid "$root" "$mirror" >/dev/null
  touch "$root/.orvelle-ready"
fi

# pip inside reaches the package index with the host's name servers and certificates.
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp /etc/ssl/certs/ca-certificates.crt "$root/etc/ssl/certs/ca-certificates.crt"

# /sys too: tests rely on it being the kernel's (unwritable) file system, as on any machine.
# Mounts an interrupted run left behind are taken down with this run's.
mounted=()
cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount -R "${mounted[i]}" || umount -R -l "${mounted[i]}"
  done
}
trap cleanup EXIT
for fs in proc sys dev; do
  mounted+=("$root/$fs")
  if ! mountpoint -q "$root/$fs"; then
    mount --rbind "/$fs" "$root/$fs"
    mount --make-rslave "$root/$fs"
  fi
done

# The real caller outputs and the researched term lists beside the checkout, where present, sit
# beside /src too (read only), so the tests that read them run here as well.
folder="$PWD"
while [ "$folder" != / ] && [ ! -d "$folder/shared/samples" ]; do folder="$(dirname "$folder")"; done
for part in samples vocabulary; do
  if [ -d "$folder/shared/$part" ]; then
    mkdir -p "$root/shared/$part"
    mounted+=("$root/shared/$part")
    if ! mountpoint -q "$root/shared/$part"; then
      mount --bind "$folder/shared/$part" "$root/shared/$part"
      mount -o remount,bind,ro "$root/shared/$part"
    fi
  elif ! mountpoint -q "$root/shared/$part" 2>/dev/null; then
    # An empty mount point left by a run from a checkout that had them reads as files gone.
    rmdir "$root/shared/$part" 2>/dev/null || true
  fi
done
rmdir "$root/shared" 2>/dev/null || true

# The checkout as it stands (tracked and new files, uncommitted changes included) becomes /src,
# beside the build folders and venv of earlier runs. Only files whose content changed are
# written, and with the time of writing, so those builds redo exactly what changed.
incoming="$root/src.incoming"
rm -rf "$incoming"
mkdir -p "$incoming" "$root/src"
git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done |
  tar --null -T - -cf - | tar -xf - -C "$incoming"
(cd "$incoming" && find . -type f -print0) | while IFS= read -r -d '' file; do
  if ! cmp -s "$incoming/$file" "$root/src/$file"; then
    mkdir -p "$(dirname "$root/src/$file")"
    cp --preserve=mode "$incoming/$file" "$root/src/$file"
  fi
done
(cd "$root/src" && find . \( -path ./build -o -path ./.venv \) -prune -o -type f -print0) |
  while IFS= read -r -d '' file; do [ -e "$incoming/$file" ] || rm -f "$root/src/$file"; done
rm -rf "$incoming"

# Inside: the README's own install (scripts/setup.sh) over a venv of python3.14, then the
# README's test command. Only what pip needs is passed in from this environment.
passed=(PATH=/usr/local/bin:/usr/bin:/bin HOME=/root LANG=C.UTF-8 CI="${CI:-true}")
for name in http_proxy https_proxy no_proxy HTTP_PROXY HTTPS_PROXY NO_PROXY PIP_INDEX_URL \
  PIP_DEFAULT_TIMEOUT; do
  [ -z "${!name:-}" ] || passed+=("$name=${!name}")
done
chroot "$root" /usr/bin/env -i "${passed[@]}" /bin/bash -euo pipefail -c '
  cd /src
  [ -x .venv/bin/python ] || python3.14 -m venv .venv
  .venv/bin/python -c "import sys; assert sys.version_info[:2] == (3, 14), sys.version"
  bash scripts/setup.sh
  bash scripts/test.sh "$@"
' test-python314 "$@" </dev/null
