#!/usr/bin/env bash
# Milliseconds per probed file: `korvane-cli probe` beside ffprobe and mediainfo on the same
# clips (made here by ffmpeg). Each figure is a whole process per file, start-up included.
#   bench/probe_bench.sh [BUILD_DIR] [ROUNDS]
# mediainfo is optional (apt-get install mediainfo); a tool that is missing is left out.
set -euo pipefail

build_dir=${1:-build}
rounds=${2:-10}
cli="$build_dir/bin/korvane-cli"
[ -x "$cli" ] || { echo "no $cli: build korvane-cli first" >&2; exit 1; }
command -v ffmpeg >/dev/null || { echo "ffmpeg is needed to make the clips" >&2; exit 1; }

clips=$(mktemp -d)
trap 'rm -rf "$clips"' EXIT
make() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
src() { echo "-f lavfi -i testsrc=size=$1:rate=$2:duration=$3"; }
sine="-f lavfi -i sine=duration=10"
# shellcheck disable=SC2046
{
    make $(src 640x480 25 10) -c:v mpeg4 -vtag XVID "$clips/xvid.avi"
    make $(src 640x480 25 10) -c:v mjpeg "$clips/mjpeg.avi"
    encoders=$(ffmpeg -hide_banner -encoders 2>/dev/null)
    if [[ $encoders == *libx264* ]]; then
        make $(src 1280x720 30000/1001 10) $sine -c:v libx264 -preset ultrafast "$clips/h264.mp4"
        make $(src 1280x720 24 10) $sine -c:v libx264 -preset ultrafast "$clips/h264.mkv"
    fi
    make $(src 352x288 25 10) $sine -c:v mpeg1video -c:a mp2 -f mpeg "$clips/mpeg1.mpg"
    make $(src 720x576 25 10) $sine -c:v mpeg2video -c:a mp2 -f vob "$clips/mpeg2.mpg"
    make $(src 640x480 25 10) $sine -c:v wmv2 -c:a wmav2 "$clips/clip.wmv"
    make $sine "$clips/audio.wav"
    head -c 100000 /dev/urandom | base64 > "$clips/notes.txt"
}
files=("$clips"/*)

# time_tool NAME COMMAND...: runs COMMAND FILE for every file, `rounds` times.
time_tool() {
    local name=$1
    shift
    command -v "$1" >/dev/null || { printf '%-12s (not installed)\n' "$name"; return; }
    "$@" "${files[0]}" >/dev/null 2>&1 || true # warm the cache
    local start end
    start=$(date +%s%N)
    for ((round = 0; round < rounds; ++round)); do
        for file in "${files[@]}"; do
            "$@" "$file" >/dev/null 2>&1 || true
        done
    done
    end=$(date +%s%N)
    local runs=$((rounds * ${#files[@]}))
    awk -v name="$name" -v ns=$((end - start)) -v runs="$runs" \
        'BEGIN { printf "%-12s %8.2f ms per file (%d runs)\n", name, ns / runs / 1e6, runs }'
}

echo "files: $(cd "$clips" && ls | tr '\n' ' ')"
echo "one process per file:"
time_tool korvane-cli "$cli" probe
time_tool ffprobe ffprobe -v error -show_streams -show_format
time_tool mediainfo mediainfo

# The probe inside one process: the video scan of a folder holding every clip ten times, so the
# start-up counts once for all of them.
scan=$(mktemp -d)
trap 'rm -rf "$clips" "$scan"' EXIT
for copy in $(seq 10); do
    mkdir "$scan/$copy"
    cp "${files[@]}" "$scan/$copy/"
done
count=$((10 * ${#files[@]}))
start=$(date +%s%N)
for ((round = 0; round < rounds; ++round)); do
    "$cli" --dir "$scan" video "$scan" >/dev/null
done
end=$(date +%s%N)
echo "one process for the whole folder:"
awk -v ns=$((end - start)) -v runs=$((rounds * count)) \
    'BEGIN { printf "%-12s %8.2f ms per file (%d files)\n", "korvane-cli video", ns / runs / 1e6, runs }'
