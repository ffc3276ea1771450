#!/usr/bin/env bash
# Times `sonaveld-cli normalize --mode loudness` (measure I, LRA and true peak, write the file with
# one plain gain, measure the output again) on the 256 MiB 16-bit stereo WAV against cp of the same
# file, then a batch of 8 files of 32 MiB against the one 256 MiB file, side by side in one run with
# the sources in the page cache; prints the peak memory of the one-file pass.
# Usage: bench/loudness_normalize_bench.sh   (needs build/bin/sonaveld-cli and make-demo-wav)
set -euo pipefail
cd "$(dirname "$0")/.."
command -v /usr/bin/time >/dev/null || { apt-get update -qq && apt-get install -y -qq time; }
work=bench/work
mkdir -p "$work/batch" "$work/out"
src=$work/big.wav
[ -f "$src" ] || build/bin/make-demo-wav "$src" 1522   # 1522 s = 268 MB of samples
for i in 1 2 3 4 5 6 7 8; do
  [ -f "$work/batch/part$i.wav" ] || build/bin/make-demo-wav "$work/batch/part$i.wav" 190  # 32 MiB each
done
cat "$src" "$work"/batch/part*.wav >/dev/null   # into the page cache

seconds() {  # wall time of one run of the command, in seconds
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
cli=build/bin/sonaveld-cli
normalize=("$cli" normalize --mode loudness --quiet --output-dir "$work/out")
rm -f "$work"/out/*.wav
t_cp=$(seconds cp "$src" "$work/out-cp.wav")
rm -f "$work/out-cp.wav"
t_one=$(seconds "${normalize[@]}" "$src")
rm -f "$work"/out/*.wav
/usr/bin/time -f %M -o "$work/time.txt" "${normalize[@]}" "$src" >/dev/null
m_one=$(tail -1 "$work/time.txt")
rm -f "$work"/out/*.wav
t_batch=$(seconds "${normalize[@]}" "$work"/batch/part*.wav)
rm -f "$work"/out/*.wav
echo "file: $(stat -c %s "$src") bytes; batch: 8 x $(stat -c %s "$work/batch/part1.wav") bytes"
echo "cp:                               ${t_cp} s"
echo "normalize --mode loudness:        ${t_one} s  ($(ratio "$t_one" "$t_cp") x cp), peak RSS ${m_one} KiB"
echo "the same, 8 files of 32 MiB:      ${t_batch} s  ($(ratio "$t_batch" "$t_one") x the one file)"
