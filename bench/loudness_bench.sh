#!/usr/bin/env bash
# Times sonaveld-cli loudness (I, LRA, maximum momentary and short-term loudness, sample and true
# peak) on the 256 MiB 16-bit stereo WAV against cp of the file and libebur128 measuring I, LRA
# and true peak, side by side in one run with the file in the page cache; prints both tools'
# figures and the peak memory of sonaveld-cli.
# Usage: bench/loudness_bench.sh   (needs build/bin/sonaveld-cli, make-demo-wav, ebur128_measure)
set -euo pipefail
cd "$(dirname "$0")/.."
command -v /usr/bin/time >/dev/null || { apt-get update -qq && apt-get install -y -qq time; }
work=bench/work
mkdir -p "$work"
src=$work/big.wav
[ -f "$src" ] || build/bin/make-demo-wav "$src" 1522   # 1522 s = 268 MB of samples
cat "$src" > /dev/null   # into the page cache

seconds() {  # wall time of one run of the command, in seconds
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}
cli=build/bin/sonaveld-cli
t_cp=$(seconds cp "$src" "$work/out-cp.wav")
rm -f "$work/out-cp.wav"
t_cli=$(seconds "$cli" loudness --quiet "$src")
t_ref=$(seconds build/bin/ebur128_measure "$src")
/usr/bin/time -f %M -o "$work/time.txt" "$cli" loudness --quiet "$src" >/dev/null
m_cli=$(tail -1 "$work/time.txt")
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
echo "file: $(stat -c %s "$src") bytes"
echo "cp:                    ${t_cp} s"
echo "sonaveld-cli loudness: ${t_cli} s  ($(ratio "$t_cli" "$t_cp") x cp), peak RSS ${m_cli} KiB"
echo "libebur128 (I,LRA,TP): ${t_ref} s  ($(ratio "$t_ref" "$t_cp") x cp)"
echo "libebur128 / sonaveld: $(ratio "$t_ref" "$t_cli") x"
echo "sonaveld-cli: $("$cli" loudness --quiet "$src" | cut -f2)"
echo "libebur128:   $(build/bin/ebur128_measure "$src")"
