#!/usr/bin/env bash
# Korvane beside the floor and beside its peers, whole processes on one generated collection.
#
#   bench/compare.sh [--albums N[,N...]] [--files N] [--clips N] [--runs N] [--sample N]
#                    [--batch-sample N] [--build DIR] [--keep DIR] [--no-install]
#
# Builds a Release korvane-cli in its own build folder (build-compare), installs the peers
# (mediainfo, exiftool, ffmpeg, lame, vorbis-tools, time) with apt-get when they are missing,
# makes a collection of N album folders (default 1,000, 10,000 and 100,000 in turn, one table
# each, so that the growth shows; 100,000 albums take 29 GB of disk) of 12 files each in Group/Album
# layout: every file of an album an mp3, wma or ogg of 4 to 9 MiB made from an encoder-made seed
# with tags (its head and tail real, the middle a sparse hole: 24 KiB of disk). Then it times,
# on a warm cache, the median of RUNS runs (default 3) with the peak resident memory:
#
#   music: korvane-cli music ROOT --print
#          the floor: find ROOT -type f -printf '%s\n' (a stat of every file) while the first
#            8 KiB of the first file of each album are read (one walk, head fed by xargs)
#          mediainfo (batched by xargs), ffprobe (one process per file) and exiftool -fast
#            (one process, -@ list) on the first file of each album
#   video: korvane-cli video ROOT --print on CLIPS tiny clips (default 300) made by ffmpeg,
#          beside ffprobe (one process per file) and mediainfo (batched)
#
# The peers are given the list of first files ready made (not timed), so they do less than
# korvane-cli, which also walks the tree and measures every folder. A peer that runs one
# process per file is timed on SAMPLE files (default 300) and its time extrapolated to all of
# them; a batched peer (mediainfo, exiftool) likewise on BATCH-SAMPLE files (default 10,000) when
# there are more; the table says so.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
album_sizes=1000,10000,100000
files=12
clips=300
runs=3
sample=300
batch_sample=10000
build="$repo/build-compare"
keep=
install=1
while (($#)); do
    case $1 in
    --albums) album_sizes=$2; shift 2 ;;
    --files) files=$2; shift 2 ;;
    --clips) clips=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --sample) sample=$2; shift 2 ;;
    --batch-sample) batch_sample=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --keep) keep=$2; shift 2 ;;
    --no-install) install=0; shift ;;
    -h | --help) sed -n '2,27p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "unknown option $1 (see --help)" >&2; exit 2 ;;
    esac
done
((files >= 2)) || { echo "--files must be 2 or more" >&2; exit 2; }

# --- peers and tools ---------------------------------------------------------------------------
need=()
for pair in mediainfo:mediainfo exiftool:libimage-exiftool-perl ffprobe:ffmpeg ffmpeg:ffmpeg \
    lame:lame oggenc:vorbis-tools /usr/bin/time:time python3:python3; do
    command -v "${pair%%:*}" >/dev/null || need+=("${pair#*:}")
done
if ((${#need[@]})); then
    ((install)) || { echo "missing: ${need[*]}" >&2; exit 1; }
    sudo=; [ "$(id -u)" = 0 ] || sudo=sudo
    echo "installing ${need[*]}"
    $sudo apt-get update -q >/dev/null
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${need[@]}" >/dev/null
fi

# --- korvane-cli, Release ------------------------------------------------------------------------
echo "building korvane-cli (Release) in $build"
cmake -G Ninja -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKORVANE_TESTS=OFF >/dev/null
cmake --build "$build" --target korvane-cli -j2 >/dev/null
cli="$build/bin/korvane-cli"

# --- the collection ------------------------------------------------------------------------------
if [ -n "$keep" ]; then
    work=$keep
    mkdir -p "$work"
else
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
fi
video="$work/video"
seeds="$work/seeds"
program="$work/program" # an empty program folder: set.ini defaults (min_limit 3)
mkdir -p "$seeds" "$program"

enc() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
# A few seconds of sound, encoded as the collections hold it: lame VBR and CBR with ID3v2 and
# ID3v1, ffmpeg wmav2 with ASF tags, oggenc with Vorbis comments.
enc -f lavfi -i "sine=frequency=440:duration=6" "$seeds/tone.wav"
lame --quiet -V 4 --add-id3v2 --ta "Artist Vbr" --tl "Album Vbr" --ty 2001 --tg Rock \
    "$seeds/tone.wav" "$seeds/vbr.mp3"
lame --quiet -b 192 --add-id3v2 --ta "Artist Cbr" --tl "Album Cbr" --ty 1998 --tg Punk \
    "$seeds/tone.wav" "$seeds/cbr.mp3"
enc -i "$seeds/tone.wav" -c:a wmav2 -b:a 128k -metadata artist="Artist Wma" \
    -metadata title=Track -metadata album="Album Wma" -metadata date=2005 -metadata genre=Ska \
    "$seeds/tone.wma"
oggenc --quiet -q 3 -a "Artist Ogg" -l "Album Ogg" -d 2010 -G Jazz -t Track \
    -o "$seeds/tone.ogg" "$seeds/tone.wav"
seed_files=("$seeds/vbr.mp3" "$seeds/cbr.mp3" "$seeds/tone.wma" "$seeds/tone.ogg")

if [ ! -f "$video/.made-$clips" ]; then
    rm -rf "$video"
    mkdir -p "$video/seeds"
    echo "making $clips tiny clips in $video"
    src() { echo "-f lavfi -i testsrc=size=$1:rate=$2:duration=1"; }
    tone="-f lavfi -i sine=duration=1"
    # shellcheck disable=SC2046,SC2086
    {
        enc $(src 320x240 25) -c:v mpeg4 -vtag XVID -q:v 10 "$video/seeds/xvid.avi"
        enc $(src 320x240 25) $tone -c:v mpeg1video -c:a mp2 -f mpeg "$video/seeds/mpeg1.mpg"
        enc $(src 352x288 25) $tone -c:v mpeg2video -c:a mp2 -f vob "$video/seeds/mpeg2.vob"
        enc $(src 320x240 30) $tone -c:v wmv2 -c:a wmav2 "$video/seeds/clip.wmv"
        enc $(src 320x240 25) $tone -c:v mpeg4 -c:a aac "$video/seeds/clip.mp4"
        enc $(src 320x240 24) $tone -c:v mjpeg -c:a pcm_s16le "$video/seeds/clip.mkv"
    }
    video_seeds=("$video/seeds"/*)
    for ((c = 0; c < clips; c++)); do
        printf -v folder '%s/Films %02d' "$video" $((c / 50))
        mkdir -p "$folder"
        seed=${video_seeds[$((c % ${#video_seeds[@]}))]}
        cp "$seed" "$folder/Clip $(printf %04d "$c").${seed##*.}"
    done
    mv "$video/seeds" "$work/video-seeds"
    touch "$video/.made-$clips"
fi
find "$video" -type f ! -name '.*' | sort >"$work/clips.txt"
head -n "$sample" "$work/clips.txt" >"$work/clips-sample.txt"
clip_count=$(wc -l <"$work/clips.txt")
clip_sample=$(wc -l <"$work/clips-sample.txt")

# --- timing --------------------------------------------------------------------------------------
# measure NAME SCALE NOTE COMMAND...: one warm-up run, then RUNS runs under /usr/bin/time; keeps
# the median wall and processor seconds (times SCALE, for sampled peers) and the largest peak RSS.
names=() walls=() cpus=() rsss=() notes=()
measure() {
    local name=$1 scale=$2 note=$3
    shift 3
    "$@" >/dev/null 2>&1 || true
    local w=() c=() m=0 r line
    for ((r = 0; r < runs; r++)); do
        /usr/bin/time -o "$work/time.txt" -f '%e %U %S %M' "$@" >/dev/null 2>&1 || true
        line=$(tail -n 1 "$work/time.txt")
        read -r wall user system rss <<<"$line"
        w+=("$wall")
        c+=("$(echo "$user + $system" | bc -l)")
        ((rss > m)) && m=$rss
    done
    median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
    names+=("$name")
    walls+=("$(echo "$(median "${w[@]}") * $scale" | bc -l)")
    cpus+=("$(echo "$(median "${c[@]}") * $scale" | bc -l)")
    rsss+=("$m")
    notes+=("$note")
}

# table TITLE: prints the rows measured since the last table; the first row is Korvane's.
table() {
    echo
    echo "$1"
    printf '| %-66s | %8s | %9s | %7s | %9s | %8s | %s\n' command "median s" "× Korvane" \
        "cpu s" "cpu ×" "peak RSS" note
    printf '|%s|%s|%s|%s|%s|%s|%s\n' "$(printf -- '-%.0s' {1..68})" "----------" "-----------" \
        "---------" "-----------" "----------" "-----"
    local i base=${walls[0]} cpu_base=${cpus[0]}
    for i in "${!names[@]}"; do
        printf '| %-66s | %8.2f | %9.2f | %7.2f | %9.2f | %4d MiB | %s\n' "${names[i]}" \
            "${walls[i]}" "$(echo "${walls[i]} / $base" | bc -l)" "${cpus[i]}" \
            "$(echo "${cpus[i]} / $cpu_base" | bc -l)" $((rsss[i] / 1024)) "${notes[i]}"
    done
    names=() walls=() cpus=() rsss=() notes=()
}

scale_video=$(echo "$clip_count / $clip_sample" | bc -l)
per_file() { # per_file LIST COMMAND...: the command once per file of LIST
    local list=$1 file
    shift
    while IFS= read -r file; do "$@" "$file" >/dev/null 2>&1 || true; done <"$list"
}
export -f per_file

# music_tables: for each size of --albums, its collection (kept in $work/music-N) and its table.
music_tables() {
    local albums music first_count sample_count scale_music sampled rows batch_count scale_batch
    local batch_note
    for albums in ${album_sizes//,/ }; do
        music="$work/music-$albums"
        if [ ! -f "$music/.made-$albums-$files" ]; then
            rm -rf "$music"
            echo "making $albums album folders of $files files in $music"
            # Every file of an album: the first 16 KiB of its seed (tags, the first frames or pages), a
            # sparse hole, and the seed's last 8 KiB (the last frames and the ID3v1 tag, or the last Ogg
            # page), 4 to 9 MiB in all; so whichever file the listing returns first reads like a real one.
            python3 - "$music" "$albums" "$files" "${seed_files[@]}" <<'PY'
import os, sys
root, albums, files, seeds = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4:]
parts = []
for seed in seeds:
    data = open(seed, "rb").read()
    parts.append((data[:16384], data[-8192:], os.path.splitext(seed)[1]))
for n in range(albums):
    g, a = divmod(n, 10)
    head, tail, ext = parts[n % len(parts)]
    album = os.path.join(root, "Group %05d" % g, "%d - Album %02d" % (1990 + a, a))
    os.makedirs(album)
    size = (4 + g % 6) * 1048576 + g
    for f in range(1, files + 1):
        with open(os.path.join(album, "%02d - Track%s" % (f, ext)), "wb") as out:
            out.write(head)
            out.seek(size - len(tail))
            out.write(tail)
PY
            touch "$music/.made-$albums-$files"
        fi
        # The first file of each album, for the peers.
        find "$music" -type f -name '01 - *' | sort >"$work/firsts.txt"
        head -n "$sample" "$work/firsts.txt" >"$work/firsts-sample.txt"
        head -n "$batch_sample" "$work/firsts.txt" >"$work/firsts-batch.txt"
        first_count=$(wc -l <"$work/firsts.txt")
        sample_count=$(wc -l <"$work/firsts-sample.txt")
        batch_count=$(wc -l <"$work/firsts-batch.txt")
        scale_batch=$(echo "$first_count / $batch_count" | bc -l)
        batch_note=
        ((batch_count < first_count)) &&
            batch_note="sampled $batch_count of $first_count files, extrapolated"
        rows=$("$cli" --dir "$program" music "$music" --print | wc -l)
        [ "$rows" -eq "$albums" ] || { echo "expected $albums music rows, got $rows" >&2; exit 1; }
        scale_music=$(echo "$first_count / $sample_count" | bc -l)
        sampled="sampled $sample_count of $first_count files, extrapolated"
        echo "load before: $(uptime | sed 's/.*load average: //')"
        measure "korvane-cli music ROOT --print" 1 "" "$cli" --dir "$program" music "$music" --print
        measure "floor: find -printf '%s\\n' + first 8 KiB of one file per album" 1 "" \
            bash -c "find \"\$1\" -type f -printf '%s\n' -name '01 - *' -fprint0 /dev/stderr \
                2>&1 >/dev/null | xargs -0 head -qc 8192 >/dev/null" _ "$music"
        measure "mediainfo, first file of each album (xargs)" "$scale_batch" "$batch_note" \
            bash -c 'tr "\n" "\0" <"$1" | xargs -0 mediainfo' _ "$work/firsts-batch.txt"
        measure "exiftool -fast, first file of each album (-@ list)" "$scale_batch" "$batch_note" \
            exiftool -fast -q -q -@ "$work/firsts-batch.txt"
        measure "ffprobe -show_format -show_streams, one process per file" "$scale_music" "$sampled" \
            bash -c 'per_file "$1" ffprobe -v error -show_format -show_streams' _ "$work/firsts-sample.txt"
        table "music: $albums album folders"
        echo "load after: $(uptime | sed 's/.*load average: //')"
    done
}

echo
echo "machine: $(nproc) cores, $(. /etc/os-release && echo "$PRETTY_NAME"), $(uname -r)"
echo "load before: $(uptime | sed 's/.*load average: //')"
echo "collections: $album_sizes albums × $files files (files of 4 to 9 MiB, sparse between a" \
    "real mp3/wma/ogg head and tail), $clip_count video clips; median of $runs runs on a warm cache"

music_tables

measure "korvane-cli video ROOT --print" 1 "" "$cli" --dir "$program" video "$video" --print
measure "ffprobe -show_format -show_streams, one process per file" "$scale_video" \
    "sampled $clip_sample of $clip_count clips, extrapolated" \
    bash -c 'per_file "$1" ffprobe -v error -show_format -show_streams' _ "$work/clips-sample.txt"
measure "mediainfo, every clip (xargs)" 1 "" \
    bash -c 'tr "\n" "\0" <"$1" | xargs -0 mediainfo' _ "$work/clips.txt"
table "video: $clip_count clips"
echo "load after: $(uptime | sed 's/.*load average: //')"
