#!/usr/bin/env bash
# Takes the pictures of docs/screenshots under Xvfb, on a demo drive of its own
# (a temporary prefix): a user's drive is never touched.
#   tools/screenshots.sh [folder, default docs/screenshots]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-$root/docs/screenshots}")"
cd "$root"
tools/deps.sh
cmake --build build --target zq-screenshots renomeia-zq-setup >/dev/null
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
export RENOMEIA_ZQ_PREFIX="$prefix"
build/renomeia-zq-setup --demo
mkdir -p "$out"
ren="$prefix/drive_c/ZQ/REN"
mkdir -p "$ren"
cd "$ren"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" "$root/build/zq-screenshots" "$out"
