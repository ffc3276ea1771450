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

timed() {  # "wall cpu" seconds of one run of the command (cpu: user + system of all threads)
  /usr/bin/time -f "%e %U %S" -o "$work/time.txt" "$@" >/dev/null 2>&1
  awk '{ printf "%.3f %.3f", $1, $2 + $3 }' "$work/time.txt"
}
cli=build/bin/sonaveld-cli
read -r t_cp c_cp <<<"$(timed cp "$src" "$work/out-cp.wav")"
rm -f "$work/out-cp.wav"
read -r t_cli c_cli <<<"$(timed "$cli" loudness --quiet "$src")"
read -r t_ref c_ref <<<"$(timed build/bin/ebur128_measure "$src")"
/usr/bin/time -f %M -o "$work/time.txt" "$cli" loudness --quiet "$src" >/dev/null
m_cli=$(tail -1 "$work/time.txt")
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
echo "file: $(stat -c %s "$src") bytes; wall and cpu (user + system) seconds of one run each"
echo "cp:                    ${t_cp} s  cpu ${c_cp} s"
echo "sonaveld-cli loudness: ${t_cli} s  cpu ${c_cli} s  ($(ratio "$t_cli" "$t_cp") x cp), peak RSS ${m_cli} KiB"
echo "libebur128 (I,LRA,TP): ${t_ref} s  cpu ${c_ref} s  ($(ratio "$t_ref" "$t_cp") x cp)"
echo "libebur128 / sonaveld: $(ratio "$t_ref" "$t_cli") x wall, $(ratio "$c_ref" "$c_cli") x cpu"
echo "sonaveld-cli: $("$cli" loudness --quiet "$src" | cut -f2)"
echo "libebur128:   $(build/bin/ebur128_measure "$src")"
