# Timing helpers the side-by-side benchmark scripts source.

# The median of the numbers on standard input, one per line.
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

# Wall time of one run of a command, its output and failure ignored, in
# microseconds. Read from bash's own clock: timing with date(1) would add two
# processes' start and end to every run.
time_us() {
  local start end
  start=${EPOCHREALTIME/[.,]/}
  "$@" >/dev/null 2>&1 || true
  end=${EPOCHREALTIME/[.,]/}
  echo $(( end - start ))
}
time_ms() { echo $(( $(time_us "$@") / 1000 )); }
