#!/usr/bin/env bash
# Albums per second of the music scan, whole process: `korvane-cli music ROOT --print` beside the
# floor `find ROOT -type f -printf '%s\n'`, which also stats every file. The collection is made
# here: ALBUMS album folders root/Group/Album (ten per group) of FILES sparse files each, so it
# costs no disk. Both commands run once to warm the cache, then ROUNDS times; the best round counts.
#   bench/scan_bench.sh [BUILD_DIR] [ROUNDS]
# Environment: ALBUMS (10000), FILES (12), EXT (dat; mp3 makes the album details open one
# sparse file per album, which then measures the readers on zeros too), KEEP=1 keeps the tree.
# SAMPLE=FILE makes every track a hard link of that audio file (EXT becomes its ending), so that
# the readers read real headers at no disk cost; TOTALS=1 scans with --totals (album totals read
# every audio file) beside the floor of listing every file and reading the first 64 KiB of each.
set -euo pipefail

build_dir=${1:-build}
rounds=${2:-5}
albums=${ALBUMS:-10000}
files=${FILES:-12}
sample=${SAMPLE:-}
ext=${EXT:-dat}
[ -z "$sample" ] || ext=${sample##*.}
totals=()
[ "${TOTALS:-0}" = 1 ] && totals=(--totals)
cli="$build_dir/bin/korvane-cli"
[ -x "$cli" ] || { echo "no $cli: build korvane-cli first" >&2; exit 1; }

work=$(mktemp -d)
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT
root="$work/collection"
program="$work/program" # an empty program folder: set.ini defaults (min_limit 3)
mkdir -p "$root" "$program"

echo "making $albums album folders of $files .$ext files (${sample:-sparse}) in $root"
groups=$(((albums + 9) / 10))
made=0
for ((g = 0; g < groups; g++)); do
    printf -v group '%s/Group %05d' "$root" "$g"
    paths=()
    dirs=()
    for ((a = 0; a < 10 && made < albums; a++, made++)); do
        printf -v album '%s/%d - Album %02d' "$group" $((1990 + a)) "$a"
        dirs+=("$album")
        for ((f = 1; f <= files; f++)); do
            printf -v track '%s/%02d - Track.%s' "$album" "$f" "$ext"
            paths+=("$track")
        done
    done
    mkdir -p "${dirs[@]}"
    if [ -n "$sample" ]; then
        # A group of links made once, then linked whole as each group; a copy of the sample
        # per 400 groups keeps each file below ext4's 65,000 links.
        template="$work/template$((g / 400))"
        if [ ! -d "$template" ]; then
            mkdir -p "$template"
            cp "$sample" "$template.$ext"
            for path in "${paths[@]}"; do
                mkdir -p "$template/$(basename "$(dirname "$path")")"
                ln "$template.$ext" "$template/$(basename "$(dirname "$path")")/$(basename "$path")"
            done
        fi
        rm -rf "$group"
        cp -al "$template" "$group"
    else
        # 4 to 9 MiB per file, so every album is above the size limit.
        truncate -s $(((4 + g % 6) * 1048576 + g)) "${paths[@]}"
    fi
done

# best_of NAME COMMAND...: the best wall time over the rounds, after one warm-up run, with the
# processor time (user + system) of that round: on a shared machine the wall time also holds
# the waits for a processor.
best_of() {
    local name=$1 best= cpu= line wall used
    shift
    "$@" >/dev/null
    for ((r = 0; r < rounds; r++)); do
        line=$({ TIMEFORMAT='%R %U %S'; time "$@" >/dev/null 2>&1; } 2>&1)
        read -r wall user system <<<"$line"
        used=$(echo "$user + $system" | bc -l)
        if [ -z "$best" ] || (($(echo "$wall < $best" | bc -l))); then
            best=$wall
            cpu=$used
        fi
    done
    printf '%-34s %7.3f s wall %7.3f s cpu  %8.0f albums/s\n' "$name" "$best" "$cpu" \
        "$(echo "$albums / $best" | bc -l)"
}

# The floor of the totals: every file listed and stated, the first 64 KiB of each audio file read.
heads() {
    find "$root" -type f -printf '%s\n' >/dev/null
    find "$root" -type f -name "*.$ext" -print0 | xargs -0 head -qc 65536 >/dev/null
}

rows=$("$cli" --dir "$program" music "$root" "${totals[@]}" --print | wc -l)
[ "$rows" -eq "$albums" ] || { echo "expected $albums rows, got $rows" >&2; exit 1; }
echo "$albums albums, $((albums * files)) files, best of $rounds rounds on a warm cache:"
best_of "korvane-cli music ROOT ${totals[*]} --print" "$cli" --dir "$program" music "$root" \
    "${totals[@]}" --print
best_of "find ROOT -type f -printf '%s\\n'" find "$root" -type f -printf '%s\n'
[ ${#totals[@]} -eq 0 ] || best_of "find, then head -c 64KiB of each" heads
