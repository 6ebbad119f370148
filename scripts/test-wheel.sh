#!/usr/bin/env bash
# scripts/test-wheel.sh: the repaired wheel, tried where nothing of the build is installed: a
# minimal Debian bookworm (its own python3, no compiler, no simdjson, no zlib headers) made by
# debootstrap in a scratch folder. The wheel goes into a fresh virtual environment there and
# converts examples/sample/; the result and the sidecar must equal those of the package
# installed in .venv. Needs root (debootstrap, chroot, mounts) and what scripts/setup.sh
# installs; apt-get installs debootstrap when it is missing.
#   bash scripts/test-wheel.sh [WHEEL]     (default: build one with scripts/build-wheel.sh)
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v debootstrap >/dev/null; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >/dev/null
fi
wheel=${1:-$(bash scripts/build-wheel.sh build/wheel-dist)}
echo "wheel: $wheel"

root=$(mktemp -d /tmp/orvelle-wheel-root.XXXXXX)
cleanup() {
  for mount in "$root/dev" "$root/proc"; do
    mountpoint -q "$mount" && umount -l "$mount"
  done
  rm -rf --one-file-system "$root"
}
trap cleanup EXIT

echo "debootstrap: a minimal bookworm in $root"
debootstrap --variant=minbase --include=python3,python3-venv bookworm "$root" \
  >"$root.log" 2>&1 || { tail -n 20 "$root.log"; exit 1; }
rm -f "$root.log"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount --bind /proc "$root/proc"
mount --bind /dev "$root/dev"

# What the wheel must bring itself is not there to be found.
if chroot "$root" sh -c 'ls /usr/lib/*/libsimdjson*' >/dev/null 2>&1; then
  echo "test-wheel: simdjson is installed in the chroot"
  exit 1
fi

mkdir -p "$root/work/sample" "$root/work/wheels"
cp "$wheel" "$root/work/"
# The wheel's own dependencies (pure-Python wheels from the package index) are fetched here,
# so the bare system installs from what lies beside the wheel and nothing else.
.venv/bin/python -m pip download -q --only-binary=:all: -d "$root/work/wheels" "$wheel"
cp examples/sample/* "$root/work/sample/"
chroot "$root" python3 -m venv /work/venv
chroot "$root" /work/venv/bin/pip install -q --no-index --find-links /work/wheels \
  "/work/$(basename "$wheel")"
chroot "$root" sh -c 'cd /work && venv/bin/orvelle-pgx-parser --output-dir out sample/*'

expected="$root/expected" # outside the chroot's view of /work
repo=$PWD
(cd "$root/work" && "$repo/.venv/bin/orvelle-pgx-parser" --output-dir "$expected" sample/*)
for file in orvelle_pgx.json orvelle_pgx.provenance.json; do
  cmp "$expected/$file" "$root/work/out/$file" || {
    echo "test-wheel: $file differs from the normal install's"; exit 1; }
done
echo "test-wheel: the wheel converts the example sample in a bare bookworm as the normal install does"
