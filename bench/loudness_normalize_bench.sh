#!/usr/bin/env bash
# Times `sonaveld-cli normalize --mode loudness` (measure I, LRA and true peak, write the file with
# one plain gain, measure the output again) on the 256 MiB 16-bit stereo WAV against cp of the same
# file, then a batch of 8 files of 32 MiB against the one 256 MiB file, with the sources in the page
# cache; cp and the pass take turns RUNS times (default 5) and the best of each is kept, wall time
# and processor time (user + system, which the load of other processes disturbs less). Last, once,
# ffmpeg's loudnorm run twice as a two-pass normalizer does it (measure; then apply the measured
# values with linear=true, written to a WAV), against the pass. Prints the peak memory of the
# one-file pass. Set FFMPEG=0 to leave ffmpeg out (it takes about a minute).
# Usage: bench/loudness_normalize_bench.sh [RUNS]   (needs build/bin/sonaveld-cli and make-demo-wav;
# SONAVELD_CLI=path times another build)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
need() {  # installs a missing tool's package (Debian, as root); false when that fails
  command -v "$1" >/dev/null 2>&1 && return
  apt-get install -y -qq "$2" >/dev/null 2>&1 || { apt-get update -qq >/dev/null && apt-get install -y -qq "$2" >/dev/null; } ||
    return 1
}
need /usr/bin/time time
work=bench/work
mkdir -p "$work/batch" "$work/out"
src=$work/big.wav
[ -f "$src" ] || build/bin/make-demo-wav "$src" 1522   # 1522 s = 268 MB of samples
for i in 1 2 3 4 5 6 7 8; do
  [ -f "$work/batch/part$i.wav" ] || build/bin/make-demo-wav "$work/batch/part$i.wav" 190  # 32 MiB each
done
cat "$src" "$work"/batch/part*.wav >/dev/null   # into the page cache
echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"

timed() {  # "wall cpu" seconds of one run of the command (cpu: user + system of all threads)
  /usr/bin/time -f "%e %U %S" -o "$work/time.txt" "$@" >/dev/null 2>&1
  awk '{ printf "%.3f %.3f", $1, $2 + $3 }' "$work/time.txt"
}
least() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
cli=${SONAVELD_CLI:-build/bin/sonaveld-cli}
normalize=("$cli" normalize --mode loudness --quiet --output-dir "$work/out")
declare -A wall cpu
keep() {  # keep NAME "wall cpu": the least of each
  local w c
  read -r w c <<<"$2"
  wall[$1]=$(least "$w" "${wall[$1]:-}")
  cpu[$1]=$(least "$c" "${cpu[$1]:-}")
}
for _ in $(seq "$runs"); do
  rm -f "$work"/out/*.wav "$work/out-cp.wav"
  sync
  keep cp "$(timed cp "$src" "$work/out-cp.wav")"
  rm -f "$work/out-cp.wav"
  sync
  keep one "$(timed "${normalize[@]}" "$src")"
  rm -f "$work"/out/*.wav
  sync
  keep batch "$(timed "${normalize[@]}" "$work"/batch/part*.wav)"
done
rm -f "$work"/out/*.wav
/usr/bin/time -f %M -o "$work/time.txt" "${normalize[@]}" "$src" >/dev/null
m_one=$(tail -1 "$work/time.txt")
rm -f "$work"/out/*.wav
echo "file: $(stat -c %s "$src") bytes; batch: 8 x $(stat -c %s "$work/batch/part1.wav") bytes; best of $runs"
echo "cp:                          ${wall[cp]} s  cpu ${cpu[cp]} s"
echo "normalize --mode loudness:   ${wall[one]} s  cpu ${cpu[one]} s  ($(ratio "${wall[one]}" "${wall[cp]}") x cp wall, $(ratio "${cpu[one]}" "${cpu[cp]}") x cp cpu), peak RSS ${m_one} KiB"
echo "the same, 8 files of 32 MiB: ${wall[batch]} s  cpu ${cpu[batch]} s  ($(ratio "${wall[batch]}" "${wall[one]}") x the one file)"

if [ "${FFMPEG:-1}" = 0 ]; then exit 0; fi
if ! need ffmpeg ffmpeg; then
  echo "ffmpeg: not installed and apt-get could not install it; the comparison is left out"
  exit 0
fi
# Pass 1 measures (the figures are the JSON at the end of its log); pass 2 applies them as one
# linear gain to the source's rate and writes the WAV.
ff=(ffmpeg -nostdin -hide_banner -y -i "$src")
filter="loudnorm=I=-23:TP=-1:LRA=7"
read -r w1 c1 <<<"$(timed "${ff[@]}" -af "$filter:print_format=json" -f null -)"
ffmpeg -nostdin -hide_banner -i "$src" -af "$filter:print_format=json" -f null - 2>"$work/loudnorm.txt" >/dev/null
value() { sed -n "s/.*\"$1\" : \"\\([^\"]*\\)\".*/\\1/p" "$work/loudnorm.txt"; }
measured="measured_I=$(value input_i):measured_TP=$(value input_tp):measured_LRA=$(value input_lra)"
measured="$measured:measured_thresh=$(value input_thresh):offset=$(value target_offset)"
rate=$("$cli" info "$src" | sed -n 's/^rate: \([0-9]*\).*/\1/p')
read -r w2 c2 <<<"$(timed "${ff[@]}" -af "$filter:$measured:linear=true:print_format=summary" -ar "${rate:-44100}" \
  "$work/out/ffmpeg-n.wav")"
rm -f "$work/out/ffmpeg-n.wav"
w_ff=$(awk -v a="$w1" -v b="$w2" 'BEGIN { printf "%.3f", a + b }')
c_ff=$(awk -v a="$c1" -v b="$c2" 'BEGIN { printf "%.3f", a + b }')
echo "ffmpeg loudnorm, two passes: ${w_ff} s  cpu ${c_ff} s  (pass 1 ${w1} s, pass 2 ${w2} s; $measured)"
echo "ffmpeg / sonaveld-cli:       $(ratio "$w_ff" "${wall[one]}") x wall, $(ratio "$c_ff" "${cpu[one]}") x cpu"
