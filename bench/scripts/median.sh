# Sourced by the bench scripts. `median` prints the median of the numbers on its input, separated
# by blanks or new lines: the middle one, or the mean of the middle two when their count is even.
median() {
    tr ' ' '\n' | grep . | sort -g | awk '{ v[NR] = $1 } END {
        print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
