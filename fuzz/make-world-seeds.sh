#!/usr/bin/env bash
# Writes the seeds of the world fuzz target into fuzz/seeds/world/: small levels built by levelgen
# from the plans below (a room with every shape a walker meets, one with the movers, one with
# a pad that throws the player out of the level), each behind a 16-byte script (a seed for the frames' keys and seconds,
# then the heading walking starts with). Run it again only to change them.
#
#   fuzz/make-world-seeds.sh LEVELGEN
set -euo pipefail
levelgen="$1"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/seeds/world"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cat >"$work/shapes.plan" <<'PLAN'
cell 64
height 256
friends 0
enemies 0
shape solid 128 128 0 192 192 24
shape ramp 256 128 0 320 256 64 north
shape curve 384 128 0 448 256 48 north
shape clip 128 320 0 448 336 256
shape water 64 384 0 192 512 64
shape pad 256 384 0 320 448 32 288 320 200 wall
shape teleporter 384 384 0 448 448 64 96 96 24 90
shape hurt 448 128 0 512 192 64
shape button 256 512 0 320 576 8 288 160 180
shape trigger 384 512 0 448 576 64 416 200 150
map
##########
#........#
#........#
#........#
#........#
#........#
#........#
#........#
#........#
#S.......#
##########
PLAN

cat >"$work/movers.plan" <<'PLAN'
cell 64
height 192
friends 0
enemies 0
map
#######
#..T..#
#.....#
###D###
#..Z..#
#.S.J.#
#######
PLAN

cat >"$work/void.plan" <<'PLAN'
cell 64
height 128
friends 0
enemies 0
shape pad 64 64 0 128 128 32 96 60000 3000
map
####
#S.#
####
PLAN

for plan in shapes movers void; do
  "$levelgen" "$work/$plan.plan" "$work/$plan" >/dev/null
done
# seed (8 bytes, little-endian), the starting heading's byte (x 2 degrees), 7 spare bytes
script() { printf "$1"; printf '\0\0\0\0\0\0\0'; }
{ script '\1\0\0\0\0\0\0\0\55'; cat "$work/shapes/shapes.bsp"; } >"$here/shapes.bin"
{ script '\377\377\0\0\0\0\0\1\0'; cat "$work/shapes/shapes.bsp"; } >"$here/shapes-other-keys.bin"
{ script '\7\0\0\0\0\0\0\0\0'; cat "$work/movers/movers.bsp"; } >"$here/movers.bin"
{ script '\3\0\0\0\0\0\0\0\132'; cat "$work/void/void.bsp"; } >"$here/void.bin"
ls -l "$here"
