#!/bin/bash
# Runs kelvora-export again and again, RUNS times at --jobs 8 and RUNS times
# at --jobs 1, each run on 12 characters drawn at random, and counts runs
# that crashed (killed by a signal) or failed otherwise.
#   bench/stress_export.sh [RUNS] [path/to/kelvora-export]
set -u
RUNS=${1:-300}
EXPORT=${2:-build/app/kelvora-export}
CHARS_PER_RUN=12
[ -x "$EXPORT" ] || { echo "no exporter at $EXPORT (build it first)" >&2; exit 2; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
ulimit -c 0
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="$WORK"

# One line per run: CHARS_PER_RUN supported characters picked at random.
/usr/bin/python3 - "$(dirname "$0")/../resources/tables/KT6763" "$RUNS" "$CHARS_PER_RUN" >"$WORK/sets" <<'PY'
import random, sys
chars = open(sys.argv[1], 'rb').read().decode('gb2312').strip()
for _ in range(int(sys.argv[2])):
    print(''.join(random.sample(chars, int(sys.argv[3]))))
PY

total_bad=0
for jobs in 8 1; do
    crashes=0 failures=0
    start=$(date +%s)
    for ((i = 1; i <= RUNS; i++)); do
        chars=$(sed -n "${i}p" "$WORK/sets")
        rm -rf "$WORK/out"
        "$EXPORT" --out "$WORK/out" --chars "$chars" --jobs "$jobs" 2>"$WORK/err"
        code=$?
        if [ $code -ge 128 ]; then
            crashes=$((crashes + 1))
            echo "run $i, --jobs $jobs: killed by signal $((code - 128)) ($chars)"
        elif [ $code -ne 0 ]; then
            failures=$((failures + 1))
            echo "run $i, --jobs $jobs: exit $code: $(tail -1 "$WORK/err")"
        elif [ "$(ls "$WORK/out" | wc -l)" -ne $CHARS_PER_RUN ]; then
            failures=$((failures + 1))
            echo "run $i, --jobs $jobs: $(ls "$WORK/out" | wc -l) pictures instead of $CHARS_PER_RUN"
        fi
    done
    echo "--jobs $jobs: $RUNS runs, $crashes crashes, $failures other failures ($(( $(date +%s) - start )) s, load $(cut -d' ' -f1-3 /proc/loadavg))"
    total_bad=$((total_bad + crashes + failures))
done
[ $total_bad -eq 0 ]
