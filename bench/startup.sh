#!/usr/bin/env bash
# korvane-cli's start-up beside its floors, whole processes, with hyperfine:
#
#   bench/startup.sh [--build DIR | --bin DIR] [--files N] [--runs N]
#
#   --help:     korvane-cli --help beside a program that starts Qt Core and prints one line
#   tags FILE:  korvane-cli tags FILE, once per file over N four-minute mp3 files (default 200), beside a
#               TagLib program reading the same files one process each
#   libraries:  how many shared objects each of them loads (LD_DEBUG=files), the vDSO not counted
#
# Builds korvane-cli and the floors (Release, KORVANE_BENCH) in DIR (default build-compare), or
# takes them as built in the bin folder given by --bin; installs hyperfine, lame and libtag1-dev
# with apt-get when they are missing.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build="$repo/build-compare"
bin=
files=200
runs=10
while (($#)); do
    case $1 in
    --build) build=$2; shift 2 ;;
    --bin) bin=$2; shift 2 ;;
    --files) files=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    -h | --help) sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "unknown option $1 (see --help)" >&2; exit 2 ;;
    esac
done

need=()
for pair in hyperfine:hyperfine lame:lame pkg-config:pkg-config; do
    command -v "${pair%%:*}" >/dev/null || need+=("${pair#*:}")
done
pkg-config --exists taglib || need+=(libtag1-dev)
if ((${#need[@]})); then
    sudo=; [ "$(id -u)" = 0 ] || sudo=sudo
    echo "installing ${need[*]}"
    $sudo apt-get update -q >/dev/null
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${need[@]}" >/dev/null
fi

if [ -z "$bin" ]; then
    echo "building korvane-cli and the floors (Release) in $build"
    cmake -G Ninja -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKORVANE_TESTS=OFF \
        -DKORVANE_BENCH=ON >/dev/null
    cmake --build "$build" --target korvane-cli startup-floor-qt startup-floor-taglib -j2 \
        >/dev/null
    bin="$build/bin"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# One tagged, encoder-made mp3 of four minutes (5.5 MiB, as a collection holds them), linked under
# N names.
ffmpeg -v error -f lavfi -i "sine=frequency=440:duration=240" -ar 44100 -ac 2 "$work/seed.wav"
lame --quiet -b 192 --tt "Title" --ta "Группа" --tl "Альбом" --ty 1999 --tg Punk \
    "$work/seed.wav" "$work/seed.mp3"
mkdir "$work/files"
for ((i = 0; i < files; i++)); do ln "$work/seed.mp3" "$work/files/$i.mp3"; done

libraries() {
    LD_DEBUG=files "$@" 2>&1 >/dev/null | grep -c 'calling init:'
}
echo
echo "shared objects loaded:"
echo "  korvane-cli --help:        $(libraries "$bin/korvane-cli" --help)"
echo "  korvane-cli tags FILE:     $(libraries "$bin/korvane-cli" tags "$work/files/0.mp3")"
echo "  Qt Core, one line:         $(libraries "$bin/startup-floor-qt")"
echo "  TagLib, one file:          $(libraries "$bin/startup-floor-taglib" "$work/files/0.mp3")"
echo

hyperfine -N --warmup 20 --runs $((runs * 20)) --export-markdown "$work/help.md" \
    "$bin/korvane-cli --help" "$bin/startup-floor-qt"
hyperfine --warmup 1 --runs "$runs" --export-markdown "$work/tags.md" \
    -n "korvane-cli tags FILE, $files processes" \
    "for f in $work/files/*.mp3; do $bin/korvane-cli tags \$f; done >/dev/null" \
    -n "TagLib, $files processes" \
    "for f in $work/files/*.mp3; do $bin/startup-floor-taglib \$f; done >/dev/null"
cat "$work/help.md" "$work/tags.md"
