# Timing helpers the side-by-side benchmark scripts source.

# The median of the numbers on standard input, one per line.
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

# Wall time of one run of a command, its output and failure ignored.
time_us() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  echo $(( (end - start) / 1000 ))
}
time_ms() { echo $(( $(time_us "$@") / 1000 )); }
