#!/usr/bin/env bash
# Times sonaveld-cli normalize (peak, then --linked average) and loudness on a 16-bit 5.1 WAV against
# a 16-bit stereo WAV of the same size (about 220 MB each) and cp, so that the cost per byte of a
# file of more than two channels can be compared with stereo's. Best of RUNS rounds.
# Usage: bench/poly_bench.sh [runs]   (needs build/bin/sonaveld-cli and build/bin/poly_wav)
set -euo pipefail
cd "$(dirname "$0")/.."
command -v /usr/bin/time >/dev/null || { apt-get update -qq && apt-get install -y -qq time; }
work=bench/work
mkdir -p "$work"
cli=${SONAVELD_CLI:-build/bin/sonaveld-cli}
runs="${1:-3}"
[ -f "$work/six.wav" ] || build/bin/poly_wav "$work/six.wav" 6 384
[ -f "$work/two.wav" ] || build/bin/poly_wav "$work/two.wav" 2 1152
cat "$work/six.wav" "$work/two.wav" >/dev/null

declare -A best
once() {  # NAME COMMAND...: keeps the best wall time
  local name="$1"; shift
  rm -f "$work"/six-n.wav "$work"/two-n.wav "$work/out-cp.wav"
  /usr/bin/time -f "%e" -o "$work/time.txt" "$@" >/dev/null 2>&1
  local secs; secs=$(tail -1 "$work/time.txt")
  if [ -z "${best[$name]:-}" ] || awk "BEGIN{exit !($secs < ${best[$name]})}"; then best[$name]=$secs; fi
}
for _ in $(seq "$runs"); do
  once cp cp "$work/six.wav" "$work/out-cp.wav"
  for n in six two; do
    once "peak-$n" "$cli" normalize --quiet "$work/$n.wav"
    once "average-linked-$n" "$cli" normalize --quiet --mode average --linked "$work/$n.wav"
    once "loudness-$n" "$cli" loudness --quiet "$work/$n.wav"
    once "normalize-loudness-$n" "$cli" normalize --quiet --mode loudness "$work/$n.wav"
  done
done
rm -f "$work"/six-n.wav "$work"/two-n.wav "$work/out-cp.wav" "$work/time.txt"
echo "files: $(stat -c %s "$work/six.wav") and $(stat -c %s "$work/two.wav") bytes; best of $runs"
printf '%-26s %7s s\n' cp "${best[cp]}"
for what in peak average-linked loudness normalize-loudness; do
  six=${best[$what-six]} two=${best[$what-two]}
  awk -v w="$what" -v s="$six" -v t="$two" 'BEGIN { printf "%-26s 5.1 %7.2f s  stereo %7.2f s  5.1 / stereo %.2f\n", w, s, t, s / t }'
done
