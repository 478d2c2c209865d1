#!/usr/bin/env bash
# The catalogue's update beside a fresh scan and the floor `find ROOT -printf '%s %T@\n'` (a stat
# of every entry, times included), whole processes: ALBUMS album folders (ten per group) of FILES
# sparse .mp3 files, so the fresh scan opens one per album and the update opens none. Rounds:
# one warm-up, then ROUNDS; the best counts. Also the catalogue's size per album row.
#   bench/catalogue_bench.sh [BUILD_DIR] [ROUNDS]
# Environment: ALBUMS (10000), FILES (12), KEEP=1 keeps the tree.
set -euo pipefail

build_dir=${1:-build}
rounds=${2:-5}
albums=${ALBUMS:-10000}
files=${FILES:-12}
cli="$build_dir/bin/korvane-cli"
[ -x "$cli" ] || { echo "no $cli: build korvane-cli first" >&2; exit 1; }

work=$(mktemp -d)
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT
root="$work/collection"
program="$work/program"
mkdir -p "$root" "$program"

echo "making $albums album folders of $files sparse .mp3 files in $root"
album_dirs=()
groups=$(((albums + 9) / 10))
made=0
for ((g = 0; g < groups; g++)); do
    paths=()
    dirs=()
    for ((a = 0; a < 10 && made < albums; a++, made++)); do
        printf -v album '%s/Group %05d/%d - Album %02d' "$root" "$g" $((1990 + a)) "$a"
        dirs+=("$album")
        for ((f = 1; f <= files; f++)); do
            printf -v track '%s/%02d - Track.mp3' "$album" "$f"
            paths+=("$track")
        done
    done
    mkdir -p "${dirs[@]}"
    album_dirs+=("${dirs[@]}")
    truncate -s $(((4 + g % 6) * 1048576 + g)) "${paths[@]}"
done

# timed NAME PREPARE COMMAND...: best wall time over the rounds after a warm-up, with the
# processor time of that round; PREPARE runs untimed before each run.
timed() {
    local name=$1 prepare=$2 best= cpu= line wall user system used
    shift 2
    $prepare
    "$@" >/dev/null 2>&1
    for ((r = 0; r < rounds; r++)); do
        $prepare
        line=$({ TIMEFORMAT='%R %U %S'; time "$@" >/dev/null 2>&1; } 2>&1)
        read -r wall user system <<<"$line"
        used=$(echo "$user + $system" | bc -l)
        if [ -z "$best" ] || (($(echo "$wall < $best" | bc -l))); then
            best=$wall
            cpu=$used
        fi
    done
    printf '%-44s %7.3f s wall %7.3f s cpu\n' "$name" "$best" "$cpu"
}

nothing() { :; }
# One album in a hundred gets one byte more in its first track.
change_one_percent() {
    local i
    for ((i = 0; i < ${#album_dirs[@]}; i += 100)); do
        truncate -s +1 "${album_dirs[i]}/01 - Track.mp3"
    done
}

echo "$albums albums, $((albums * files)) files, best of $rounds rounds on a warm cache:"
timed "find ROOT -printf '%s %T@\\n'" nothing find "$root" -printf '%s %T@\n'
timed "korvane-cli music ROOT --store (fresh scan)" nothing \
    "$cli" --dir "$program" music "$root" --store
echo "korvane.db: $(stat -c %s "$program/korvane.db") bytes," \
    "$(($(stat -c %s "$program/korvane.db") / albums)) bytes per album row"
timed "korvane-cli music --update (unchanged)" nothing "$cli" --dir "$program" music --update
timed "korvane-cli music --update (1 % changed)" change_one_percent \
    "$cli" --dir "$program" music --update
change_one_percent
"$cli" --dir "$program" music --update 2>&1 >/dev/null | sed 's/^/a 1 % update says: /'
