#!/bin/bash
# Instructions of one steady-state frame by part, counted by callgrind: the same on every
# machine, so a change to the frame's code can be judged without timing anything.
# Usage: bench/scripts/frame_instructions.sh PROGRAM [width height density]
# (PROGRAM is misto-frame-instructions; 1920 1080 50 when the size is left out.)
set -euo pipefail
program=${1:?usage: $0 misto-frame-instructions [width height density]}
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

valgrind --tool=callgrind --instr-atstart=no --collect-atstart=no \
    --callgrind-out-file="$work/callgrind.out" "$program" "$@" >"$work/run.txt" 2>"$work/valgrind.txt" ||
    { cat "$work/valgrind.txt" >&2; exit 1; }
callgrind_annotate --inclusive=yes --threshold=100 "$work/callgrind.out" >"$work/annotated.txt"

# Inclusive instructions of the first function whose name starts with $1 (0 when not called).
inclusive() {
    awk -v name="$1" '{
        i = index($0, ":" name)
        if (i > 0 && $1 ~ /^[0-9,]+$/) { gsub(",", "", $1); print $1; found = 1; exit }
    } END { if (!found) print 0 }' "$work/annotated.txt"
}

total=$(awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1; exit }' "$work/annotated.txt")
step=$(inclusive "RainField::step(")
film=$(inclusive "TrackShape::blit(")
refraction=$(inclusive "void Tracer::refract<4>(")
smoothing=$(inclusive "void Tracer::antiAlias<4>(")
rest=$((total - step - refraction - smoothing))

echo "One steady-state frame, ${1:-1920} x ${2:-1080} density ${3:-50}, 32 bpp ($(cat "$work/run.txt")):"
row() { awk -v n="$1" -v c="$2" -v t="$total" 'BEGIN { printf "  %-44s %12d  %5.1f %%\n", n, c, 100 * c / t }'; }
row "step (drops moved and stamped, less film)" $((step - film))
row "track film (the tracks stamped on the map)" "$film"
row "refraction" "$refraction"
row "smoothing" "$smoothing"
row "the rest (rectangles, prefetch of rows)" "$rest"
row "frame" "$total"
