#!/usr/bin/env bash
# Times sonaveld-cli's cut-edited file and split at marks on a 256 MiB 16-bit stereo WAV against cp of
# the same file, in one run, and reports the peak memory of sonaveld-cli; then the same cut and split
# of a 24-bit stereo extensible file with a fact chunk made of the same sample bytes.
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
le32() { local v=$1; printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255)); }
src24=$work/big24.wav
if [ ! -f "$src24" ]; then  # 80-byte extensible header (24-bit stereo, fact chunk), then the same bytes
  data=$(( size - 44 ))
  { printf "RIFF$(le32 $(( data + 72 )))WAVEfmt $(le32 40)\xfe\xff\x02\x00$(le32 44100)$(le32 264600)"
    printf "\x06\x00\x18\x00\x16\x00\x18\x00$(le32 3)\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71"
    printf "fact$(le32 4)$(le32 $(( data / 6 )))data$(le32 "$data")"
    tail -c +45 "$src"; } > "$src24"
fi
frames24=$(( (size - 44) / 6 ))
marks24=$(seq -s, $(( frames24 / 21 )) $(( frames24 / 21 )) $(( frames24 / 21 * 20 )))
cat "$src" "$src24" > /dev/null   # warm the page cache once for all contenders

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
t_cp24=$(best cp "$src24" "$work/out-cp.wav")
t_cut24=$(best "$cli" cut "$src24" -o "$work/out-cut.wav" --marks 1000 --yes)
t_split24=$(best "$cli" split-marks "$src24" -o "$work/out-piece.wav" --marks "$marks24" --yes)
rm -f "$work"/out*

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
echo "file: $size bytes, best of $runs runs, warm cache"
echo "cp:                       ${t_cp} s"
echo "cut (mark near start):    ${t_cut} s  = $(ratio "$t_cut" "$t_cp") x cp   (target <= 1.3)  peak ${m_cut} KiB"
echo "split at 20 marks:        ${t_split} s  = $(ratio "$t_split" "$t_cp") x cp   (target <= 1.5)  peak ${m_split} KiB"
echo "24-bit file: cp ${t_cp24} s, cut ${t_cut24} s = $(ratio "$t_cut24" "$t_cp24") x cp (target <= 1.3),"\
     "split at 20 marks ${t_split24} s = $(ratio "$t_split24" "$t_cp24") x cp (target <= 1.5)"
