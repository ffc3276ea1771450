#!/usr/bin/env bash
# Times `sonaveld-cli pauses` on a 256 MiB 16-bit stereo WAV against `cp` of the same file and
# `ffmpeg -af silencedetect` on it (the same threshold and shortest pause), in the same run, and
# reports the peak memory of each (from /usr/bin/time).
# Usage: bench/pauses_bench.sh [rounds]   (SONAVELD_CLI=path overrides the tool; default build/bin)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
work="$root/bench/work"
cli="${SONAVELD_CLI:-$root/build/bin/sonaveld-cli}"
runs="${1:-7}"

need() {  # installs a missing tool's package (Debian, as root)
  command -v "$1" >/dev/null 2>&1 && return
  apt-get install -y "$2" >/dev/null 2>&1 || { apt-get update >/dev/null && apt-get install -y "$2" >/dev/null; }
}
need sox sox
need ffmpeg ffmpeg
[ -x /usr/bin/time ] || need /usr/bin/time time
[ -x "$cli" ] || { echo "no sonaveld-cli at $cli (build first or set SONAVELD_CLI)" >&2; exit 1; }

mkdir -p "$work"
src="$work/bench.wav"
frames=67108864  # 4 bytes a frame: 256 MiB of samples
if [ ! -f "$src" ] || [ "$(stat -c %s "$src")" -ne $((frames * 4 + 44)) ]; then
  echo "making $src ..."
  le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
  bytes=$((frames * 4))
  {
    printf "RIFF$(le32 $((bytes + 36)))WAVEfmt $(le32 16)\\x01\\x00\\x02\\x00$(le32 44100)$(le32 176400)\\x04\\x00\\x10\\x00"
    printf "data$(le32 "$bytes")"
    # Two tones, 1600 s of 44100 Hz stereo, cut to exactly 256 MiB.
    sox -q -n -t raw -r 44100 -c 2 -b 16 -e signed-integer - synth 1600 sine 440 sine 660 vol 0.4 | head -c "$bytes" || true
  } >"$src"
fi
cat "$src" >/dev/null  # every contender starts with the source in the page cache

# once NAME COMMAND...: times one run (bash's own timer: no extra process around the command) and
# keeps the best wall time of each contender; a second run under /usr/bin/time gives its peak RSS
# (the largest seen is kept) and its processor time, user + system (the least seen is kept), which
# other load on the machine disturbs less than the wall time.
declare -A best mem cpu
TIMEFORMAT=%3R
once() {
  local name="$1"; shift
  rm -f "$work"/out-*.wav
  sync; sleep 1  # let the removal and write-back of the previous output settle
  local secs kib
  secs=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
  if [ -z "${best[$name]:-}" ] || awk "BEGIN{exit !($secs < ${best[$name]})}"; then best[$name]=$secs; fi
  rm -f "$work"/out-*.wav
  /usr/bin/time -f "%M %U %S" -o "$work/time.txt" "$@" >/dev/null 2>&1
  local user sys used
  read -r kib user sys <"$work/time.txt"
  used=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.2f", u + s }')
  if [ -z "${mem[$name]:-}" ] || [ "$kib" -gt "${mem[$name]}" ]; then mem[$name]=$kib; fi
  if [ -z "${cpu[$name]:-}" ] || awk "BEGIN{exit !($used < ${cpu[$name]})}"; then cpu[$name]=$used; fi
}

echo "file: $(stat -c %s "$src") bytes, best of $runs rounds (each round runs all three), load: $(cut -d' ' -f1-3 /proc/loadavg)"
for _ in $(seq "$runs"); do
  once cp cp "$src" "$work/out-cp.wav"
  once silencedetect ffmpeg -nostdin -hide_banner -i "$src" -af silencedetect=noise=-50dB:d=1 -f null -
  once pauses "$cli" pauses "$src" --below -50 --min 1000
done
rm -f "$work"/out-*.wav "$work/time.txt"

for name in cp silencedetect pauses; do
  printf '%-14s %6s s wall %6s s cpu %8s KiB peak RSS\n' "$name" "${best[$name]}" "${cpu[$name]}" "${mem[$name]}"
done
awk -v p="${best[pauses]}" -v c="${best[cp]}" -v s="${best[silencedetect]}" 'BEGIN {
  printf "pauses / cp            = %.2f (target <= 1.0)\n", p / c
  printf "silencedetect / pauses = %.1f (target >= 10)\n", s / p
}'
