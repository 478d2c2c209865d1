#!/usr/bin/env bash
# Korvane on a network share, imitated: the collection is served through bench/share's FUSE
# passthrough, which waits DELAY before answering every request (getattr, readdir, open, read).
# Each run gets a fresh mount, so nothing is answered from the kernel's caches. Per album count
# and delay, one table row of wall times:
#   find ROOT -printf '%s'          the serial stat walk, the floor of one request at a time
#   8-thread walk                   Python scandir + stat on 8 threads, the parallel floor
#   korvane-cli music ROOT --store  the scan, stored
#   korvane-cli music --update      the update with nothing changed
# and the share's request counts of Korvane's scan (listings, stats, opens, reads).
#   bench/share_bench.sh [--albums "1000 10000"] [--delays "0 0.2 1 5"] [--bin build/bin]
#                        [--keep DIR]
# Needs fuse3 and libfuse3-dev (installed with apt-get when missing), lame and python3.
set -euo pipefail

albums_list="1000 10000"
delays="0 0.2 1 5"
bin=build/bin
keep=
while [ $# -gt 0 ]; do
    case $1 in
    --albums) albums_list=$2; shift 2 ;;
    --delays) delays=$2; shift 2 ;;
    --bin) bin=$2; shift 2 ;;
    --keep) keep=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
    esac
done
cli="$bin/korvane-cli"
[ -x "$cli" ] || { echo "no $cli: build korvane-cli first" >&2; exit 1; }
here=$(cd "$(dirname "$0")" && pwd)

missing=()
for package in fuse3 libfuse3-dev lame python3 pkg-config g++; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi

work=${keep:-$(mktemp -d)}
mkdir -p "$work"
mount="$work/mount"
mkdir -p "$mount"
cleanup() {
    mountpoint -q "$mount" && fusermount3 -u "$mount"
    [ -n "$keep" ] || rm -rf "$work"
}
trap cleanup EXIT

share="$work/latency-share"
g++ -std=c++20 -O2 -o "$share" "$here/share/LatencyShare.cpp" $(pkg-config --cflags --libs fuse3)

# One real 30-second mp3 per 1,000 albums, hard-linked as every track (a file may have at most
# 65,000 links): ten tracks of 470 KiB put every album above the 3 MiB size limit at no disk cost.
make_collection() {
    local albums=$1 root=$2
    [ -d "$root" ] && return
    echo "making $albums albums of 10 mp3 files and a cover in $root" >&2
    local sources="$root.tracks"
    mkdir -p "$sources"
    local groups=$(((albums + 9) / 10)) made=0 g a t
    for ((g = 0; g < groups; g++)); do
        local source="$sources/track$((g / 100)).mp3"
        if [ ! -f "$source" ]; then
            python3 -c "import os,sys; sys.stdout.buffer.write(os.urandom(44100*2*30))" |
                lame --quiet -r -s 44.1 --bitwidth 16 -m m -b 128 \
                    --tt "Track" --ta "Group $g" --tl "Album" --ty 1999 - "$source"
            printf 'cover' >"$sources/cover.jpg"
        fi
        for ((a = 0; a < 10 && made < albums; a++, made++)); do
            local album
            printf -v album '%s/Group %05d/%d - Album %02d' "$root" "$g" $((1990 + a)) "$a"
            mkdir -p "$album"
            for ((t = 1; t <= 10; t++)); do
                ln "$source" "$(printf '%s/%02d - Track.mp3' "$album" "$t")"
            done
            ln "$sources/cover.jpg" "$album/cover.jpg"
        done
    done
}

# mounted DELAY_MS COMMAND...: runs the command over a fresh mount and prints its wall seconds;
# the share's request counts land in $work/counts.
mounted() {
    local delay_us
    delay_us=$(echo "$1 * 1000 / 1" | bc)
    shift
    "$share" "$source_root" "$mount" "$delay_us" "$work/counts"
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    fusermount3 -u "$mount"
    while [ ! -s "$work/counts" ]; do sleep 0.05; done
    printf '%.2f' "$(echo "$end - $start" | bc -l)"
}

threaded_walk() {
    python3 -c '
import os, sys
from concurrent.futures import ThreadPoolExecutor
def listing(path):
    with os.scandir(path) as entries:
        return [(e.path, e.is_dir(follow_symlinks=False)) for e in entries]
total, level = 0, [sys.argv[1]]
with ThreadPoolExecutor(8) as pool:
    while level:
        entries = [e for listed in pool.map(listing, level) for e in listed]
        level = [path for path, folder in entries if folder]
        total += sum(pool.map(lambda path: os.lstat(path).st_size,
                              [path for path, folder in entries if not folder]))
print(total)
' "$mount"
}

program="$work/program"
for albums in $albums_list; do
    source_root="$work/collection-$albums"
    make_collection "$albums" "$source_root"
    echo
    echo "$albums albums, 10 mp3 files and a cover each; wall seconds, fresh mount per run"
    printf '| %-8s | %-12s | %-13s | %-12s | %-13s | %s |\n' delay "serial walk" "8-thread walk" \
        "scan --store" "update" "scan's requests (readdir / getattr / open / read)"
    printf '|---|---|---|---|---|---|\n'
    for delay in $delays; do
        rm -rf "$program" "$work/counts"
        mkdir -p "$program"
        serial=$(mounted "$delay" find "$mount" -printf '%s\n')
        rm -f "$work/counts"
        parallel=$(mounted "$delay" threaded_walk)
        rm -f "$work/counts"
        scan=$(mounted "$delay" "$cli" --dir "$program" music "$mount" --store)
        requests=$(awk '{c[$1]=$2} END {printf "%d / %d / %d / %d", c["readdir"], c["getattr"], c["open"], c["read"]}' "$work/counts")
        rm -f "$work/counts"
        update=$(mounted "$delay" "$cli" --dir "$program" music --update)
        printf '| %-8s | %-12s | %-13s | %-12s | %-13s | %s |\n' "$delay ms" "$serial" "$parallel" \
            "$scan" "$update" "$requests"
    done
done
