#!/usr/bin/env bash
# On exFAT through FUSE, whose driver has neither a no-replace rename nor hard
# links and gives each spelling of a name an inode of its own: a case-only
# rename succeeds, a title with characters exFAT refuses gives 52, and batch
# runs killed at random lose nothing and leave no claim behind.
#   exfat_fuse_test.sh BUILD_DIR DATA_DIR
# Exits with 77 (skipped) where FUSE, root or exfat-fuse and exfatprogs are
# missing.
set -euo pipefail
build=$(realpath "$1"); data=$(realpath "$2")
source_dir=$(dirname "$(realpath "$0")")/../..
for tool in mkfs.exfat mount.exfat-fuse losetup fusermount; do
    command -v "$tool" >/dev/null || { echo "skipped: no $tool (Debian: exfat-fuse exfatprogs)"; exit 77; }
done
if [ "$(id -u)" -ne 0 ] || [ ! -c /dev/fuse ]; then
    echo "skipped: exFAT through FUSE needs root and /dev/fuse"; exit 77
fi
top=$(mktemp -d "${TMPDIR:-/tmp}/exfat-test.XXXXXX")
loop=""
cleanup() {
    if mountpoint -q "$top/mnt"; then fusermount -u "$top/mnt"; fi
    if [ -n "$loop" ]; then losetup -d "$loop"; fi
    rm -rf "$top"
}
trap cleanup EXIT
truncate -s 32M "$top/exfat.img"
mkfs.exfat "$top/exfat.img" >/dev/null
mkdir "$top/mnt"
loop=$(losetup -f --show "$top/exfat.img") && mount.exfat-fuse "$loop" "$top/mnt" >/dev/null 2>&1 ||
    { echo "skipped: the exFAT image could not be mounted through FUSE"; exit 77; }

work=$top/mnt
mkdir "$work/roms"
cp "$data/real-headers/rx-mm64.v64.hdr64" "$work/roms/manic miner 64 (usa).v64"
probe() { (cd "$work" && "$build/tools/quillmark-probe" rename roms "$1" | tail -2 | tr '\n' ' '); }
expect() { [ "$1" = "$2" ] || { echo "FAILED: $3: $1" >&2; exit 1; }; }

cp "$data/probe/roms.ini" "$work/roms.ini"
expect "$(probe "manic miner 64 (usa).v64")" "renameResult=renamed failureCode=0 " "case-only rename"
[ -e "$work/roms/Manic Miner 64 (USA).v64" ] && [ "$(ls "$work/roms")" = "Manic Miner 64 (USA).v64" ] ||
    { echo "FAILED: case-only rename left $(ls "$work/roms")" >&2; exit 1; }

printf '"Manic Miner 64      ","Manic? Miner: 64*"\r\n' >"$work/roms.ini"
expect "$(probe "Manic Miner 64 (USA).v64")" "renameResult=failed failureCode=52 " "refused name"
expect "$(ls "$work/roms")" "Manic Miner 64 (USA).v64" "refused name"

"$source_dir/bench/kill_stress" --fs exfat --files 400 --kills 5 --seed 7 --build "$build"
echo "passed"
