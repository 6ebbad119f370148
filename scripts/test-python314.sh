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
cd "$(dirname "$0")/.."

root="$(realpath -m "${ORVELLE_PY314_ROOT:-build/python314-root}")"
mirror="${ORVELLE_DEBIAN_MIRROR:-http://deb.debian.org/debian}"
packages=python3.14,python3.14-venv,python3.14-dev,g++,cmake,ninja-build,zlib1g-dev
packages+=,libsimdjson-dev,libgtest-dev,ca-certificates

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

if [ ! -e "$root/.orvelle-ready" ]; then
  if ! command -v debootstrap >/dev/null; then
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq debootstrap >/dev/null
  fi
  # A half-made chroot (an interrupted run) is not worth repairing.
  $sudo rm -rf --one-file-system "$root"
  $sudo mkdir -p "$root"
  echo "Making the Debian sid chroot in $root" >&2
  $sudo debootstrap --variant=minbase --include="$packages" sid "$root" "$mirror" >/dev/null
  $sudo touch "$root/.orvelle-ready"
fi

# pip inside reaches the package index with the host's name servers and certificates.
$sudo cp /etc/resolv.conf "$root/etc/resolv.conf"
$sudo cp /etc/ssl/certs/ca-certificates.crt "$root/etc/ssl/certs/ca-certificates.crt"

# /sys too: tests rely on it being the kernel's (unwritable) file system, as on any machine.
# Mounts an interrupted run left behind are taken down with this run's.
mounted=()
cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    $sudo umount -R "${mounted[i]}" || $sudo umount -R -l "${mounted[i]}"
  done
}
trap cleanup EXIT
for fs in proc sys dev; do
  mounted+=("$root/$fs")
  if ! mountpoint -q "$root/$fs"; then
    $sudo mount --rbind "/$fs" "$root/$fs"
    $sudo mount --make-rslave "$root/$fs"
  fi
done

# The checkout as it stands (tracked and new files, uncommitted changes included), over a
# /src emptied of everything but what earlier runs built.
$sudo mkdir -p "$root/src"
$sudo find "$root/src" -mindepth 1 -maxdepth 1 ! -name build ! -name .venv -exec rm -rf {} +
git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done |
  tar --null -T - -cf - | $sudo tar -xf - -C "$root/src"

# Inside: the README's own install (scripts/setup.sh) over a venv of python3.14, then the
# README's test command. Only what pip needs is passed in from this environment.
passed=(PATH=/usr/local/bin:/usr/bin:/bin HOME=/root LANG=C.UTF-8 CI="${CI:-true}")
for name in http_proxy https_proxy no_proxy HTTP_PROXY HTTPS_PROXY NO_PROXY PIP_INDEX_URL \
  PIP_DEFAULT_TIMEOUT; do
  [ -z "${!name:-}" ] || passed+=("$name=${!name}")
done
$sudo chroot "$root" /usr/bin/env -i "${passed[@]}" /bin/bash -euo pipefail -c '
  cd /src
  [ -x .venv/bin/python ] || python3.14 -m venv .venv
  .venv/bin/python -c "import sys; assert sys.version_info[:2] == (3, 14), sys.version"
  bash scripts/setup.sh
  bash scripts/test.sh "$@"
' test-python314 "$@" </dev/null
