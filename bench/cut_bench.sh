#!/usr/bin/env bash
# Times sonaveld-cli's cut-edited file and split at marks on a 256 MiB 16-bit stereo WAV against cp of
# the same file, in one run, each at marks out of page phase with the output (mark 1000) and in phase
# (source and output offsets a multiple of 4096 apart), and reports the peak memory of sonaveld-cli;
# then the same cut and split of a 24-bit stereo extensible file with a fact chunk made of the same
# sample bytes.
# Usage: bench/cut_bench.sh [RUNS]   (needs build/bin/sonaveld-cli, or SONAVELD_CLI=path, and
#                                      build/bin/make-demo-wav)
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
# In page phase: the cut at mark 1025 leaves out 4096 bytes of samples. split-marks ends its pieces
# on the 200-byte grid, one block past a mark on it: marks 50 frames short of a multiple of 25600
# frames (102400 bytes, 25 pages) put every piece's start on a page of the source.
step=$(( frames / 21 / 25600 * 25600 ))
marks20in=$(seq -s, $(( step - 49 )) "$step" $(( step * 20 - 49 )))
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

# Times the contenders named in $@ (shell functions) in turns, runs times over, so that a change of
# the machine's load falls on all of them alike; sets best_<name> to each one's best wall time in s.
race() {
  local name start end t
  for name in "$@"; do eval "best_$name=999999"; done
  for _ in $(seq "$runs"); do
    for name in "$@"; do
      rm -f "$work"/out*
      start=$(date +%s%N)
      "$name" >/dev/null 2>&1
      end=$(date +%s%N)
      t=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
      eval "best_$name=\$(echo \"$t \$best_$name\" | awk '{print (\$1 < \$2) ? \$1 : \$2}')"
    done
  done
}
peak_kb() {
  rm -f "$work"/out*
  /usr/bin/time -f %M -o "$work/time.txt" "$@" >/dev/null 2>&1
  tail -1 "$work/time.txt"
}

# How many outputs start their samples in page phase with the source's: a 44-byte header output whose
# samples begin b bytes into the source's samples is in phase when b % 4096 == 0. A cut leaves out
# what comes before it; the pieces of a split follow each other.
phase_cut() {
  rm -f "$work"/out*
  "$cli" cut "$src" -o "$work/out-cut.wav" --marks "$1" --yes >/dev/null 2>&1
  local b=$(( size - $(stat -c %s "$work/out-cut.wav") ))
  (( b % 4096 == 0 )) && echo "in phase" || echo "out of phase ($(( b % 4096 )))"
}
phase_split() {
  rm -f "$work"/out*
  "$cli" split-marks "$src" -o "$work/out-piece.wav" --marks "$1" --yes >/dev/null 2>&1
  local b=0 n=0 all=0 f
  for f in "$work"/out-piece*.wav; do
    all=$((all + 1)); (( b % 4096 == 0 )) && n=$((n + 1))
    b=$(( b + $(stat -c %s "$f") - 44 ))
  done
  echo "$n of $all pieces in phase"
}

cli=${SONAVELD_CLI:-build/bin/sonaveld-cli}
cp16() { cp "$src" "$work/out-cp.wav"; }
cut16() { "$cli" cut "$src" -o "$work/out-cut.wav" --marks 1000 --yes; }
cut16in() { "$cli" cut "$src" -o "$work/out-cut.wav" --marks 1025 --yes; }
split16() { "$cli" split-marks "$src" -o "$work/out-piece.wav" --marks "$marks20" --yes; }
split16in() { "$cli" split-marks "$src" -o "$work/out-piece.wav" --marks "$marks20in" --yes; }
cp24() { cp "$src24" "$work/out-cp.wav"; }
cut24() { "$cli" cut "$src24" -o "$work/out-cut.wav" --marks 1000 --yes; }
split24() { "$cli" split-marks "$src24" -o "$work/out-piece.wav" --marks "$marks24" --yes; }
race cp16 cut16 cut16in split16 split16in cp24 cut24 split24
p_cut=$(phase_cut 1000); p_cutin=$(phase_cut 1025)
p_split=$(phase_split "$marks20"); p_splitin=$(phase_split "$marks20in")
m_cut=$(peak_kb "$cli" cut "$src" -o "$work/out-cut.wav" --marks 1000 --yes)
m_split=$(peak_kb "$cli" split-marks "$src" -o "$work/out-piece.wav" --marks "$marks20" --yes)
rm -f "$work"/out*

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
row() { printf '%-28s %s s = %s x cp (target <= 1.05)  %s\n' "$1" "$2" "$(ratio "$2" "$3")" "$4"; }
echo "file: $size bytes, best of $runs runs in turns, warm cache, load average $(cut -d' ' -f1 /proc/loadavg)"
echo "cp:                          $best_cp16 s"
row "cut, mark 1000:" "$best_cut16" "$best_cp16" "$p_cut, peak $m_cut KiB"
row "cut, mark 1025:" "$best_cut16in" "$best_cp16" "$p_cutin"
row "split at 20 marks:" "$best_split16" "$best_cp16" "$p_split, peak $m_split KiB"
row "split at 20 marks in phase:" "$best_split16in" "$best_cp16" "$p_splitin"
echo "24-bit file: cp:             $best_cp24 s"
row "24-bit cut, mark 1000:" "$best_cut24" "$best_cp24" ""
row "24-bit split at 20 marks:" "$best_split24" "$best_cp24" ""
