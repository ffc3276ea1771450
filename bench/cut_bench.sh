#!/usr/bin/env bash
# Times sonaveld-cli's cut-edited file and split at marks on a 256 MiB 16-bit stereo WAV against cp of
# the same file, in one run, and reports the peak memory of sonaveld-cli.
# Usage: bench/cut_bench.sh [RUNS]   (needs build/bin/sonaveld-cli and build/bin/make-demo-wav)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
command -v /usr/bin/time >/dev/null || { apt-get update -qq && apt-get install -y -qq time; }
work=bench/work
mkdir -p "$work"
src=$work/big.wav
[ -f "$src" ] || build/bin/make-demo-wav "$src" 1522   # 1522 s = 268 MB of samples
size=$(stat -c %s "$src")
frames=$(( (size - 44) / 4 ))
marks20=$(seq -s, $(( frames / 21 )) $(( frames / 21 )) $(( frames / 21 * 20 )))
cat "$src" > /dev/null   # warm the page cache once for all contenders

best() {  # best wall time in seconds over $runs runs of the command
  local t b=999999
  for _ in $(seq "$runs"); do
    rm -f "$work"/out*
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    t=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
    b=$(echo "$t $b" | awk '{print ($1 < $2) ? $1 : $2}')
  done
  echo "$b"
}
peak_kb() {
  rm -f "$work"/out*
  /usr/bin/time -f %M -o "$work/time.txt" "$@" >/dev/null 2>&1
  tail -1 "$work/time.txt"
}

cli=build/bin/sonaveld-cli
t_cp=$(best cp "$src" "$work/out-cp.wav")
t_cut=$(best "$cli" cut "$src" -o "$work/out-cut.wav" --marks 1000 --yes)
t_split=$(best "$cli" split-marks "$src" -o "$work/out-piece.wav" --marks "$marks20" --yes)
m_cut=$(peak_kb "$cli" cut "$src" -o "$work/out-cut.wav" --marks 1000 --yes)
m_split=$(peak_kb "$cli" split-marks "$src" -o "$work/out-piece.wav" --marks "$marks20" --yes)
rm -f "$work"/out*

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
echo "file: $size bytes, best of $runs runs, warm cache"
echo "cp:                       ${t_cp} s"
echo "cut (mark near start):    ${t_cut} s  = $(ratio "$t_cut" "$t_cp") x cp   (target <= 1.3)  peak ${m_cut} KiB"
echo "split at 20 marks:        ${t_split} s  = $(ratio "$t_split" "$t_cp") x cp   (target <= 1.5)  peak ${m_split} KiB"
