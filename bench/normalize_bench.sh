#!/usr/bin/env bash
# Times `sonaveld-cli normalize` on a 256 MiB 16-bit stereo WAV and a 256 MiB 24-bit stereo WAV,
# each against `cp` of the same file in the same round, and `sox --norm` of the 16-bit file; reports
# the peak memory of each (from /usr/bin/time -v) and the load average at the start.
# Usage: bench/normalize_bench.sh [runs]   (SONAVELD_CLI=path overrides the tool; default build/bin)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
work="$root/bench/work"
cli="${SONAVELD_CLI:-$root/build/bin/sonaveld-cli}"
runs="${1:-3}"

need() {  # installs a missing tool's package (Debian, as root)
  command -v "$1" >/dev/null 2>&1 && return
  apt-get install -y "$2" >/dev/null 2>&1 || { apt-get update >/dev/null && apt-get install -y "$2" >/dev/null; }
}
need sox sox
[ -x /usr/bin/time ] || need /usr/bin/time time
[ -x "$cli" ] || { echo "no sonaveld-cli at $cli (build first or set SONAVELD_CLI)" >&2; exit 1; }

mkdir -p "$work"
le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
# make FILE BITS FRAMES: two tones at 44100 Hz stereo, canonical 44-byte header, made once.
make() {
  local file="$1" bits="$2" frames="$3" align=$(($2 / 4))
  local bytes=$((frames * align))
  [ -f "$file" ] && [ "$(stat -c %s "$file")" -eq $((bytes + 44)) ] && return
  echo "making $file ..."
  {
    printf "RIFF$(le32 $((bytes + 36)))WAVEfmt $(le32 16)\\x01\\x00\\x02\\x00$(le32 44100)$(le32 $((44100 * align)))"
    printf "$(printf '\\x%02x' "$align")\\x00$(printf '\\x%02x' "$bits")\\x00data$(le32 "$bytes")"
    sox -q -n -t raw -r 44100 -c 2 -b "$bits" -e signed-integer - synth 1600 sine 440 sine 660 vol 0.4 |
      head -c "$bytes" || true
  } >"$file"
}
src="$work/bench.wav"
src24="$work/bench24.wav"
make "$src" 16 67108864    # 4 bytes a frame: 256 MiB of samples
make "$src24" 24 44739242  # 6 bytes a frame: 256 MiB less 4 bytes
cat "$src" "$src24" >/dev/null  # every contender starts with the sources in the page cache

# once NAME COMMAND...: times one run; keeps the best wall time of each contender and its peak RSS.
declare -A best mem
once() {
  local name="$1"; shift
  rm -f "$work"/out-*.wav "$work"/bench-n.wav "$work"/bench24-n.wav
  sync; sleep 1  # let the removal and write-back of the previous output settle
  /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >/dev/null
  local secs kib
  read -r secs kib <"$work/time.txt"
  if [ -z "${best[$name]:-}" ] || awk "BEGIN{exit !($secs < ${best[$name]})}"; then
    best[$name]=$secs; mem[$name]=$kib
  fi
}

echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "files: $(stat -c %s "$src") and $(stat -c %s "$src24") bytes, best of $runs rounds (each round runs all five)"
for _ in $(seq "$runs"); do
  once cp cp "$src" "$work/out-cp.wav"
  once normalize "$cli" normalize "$src"
  once cp24 cp "$src24" "$work/out-cp.wav"
  once normalize24 "$cli" normalize "$src24"
  once sox_norm sox -V1 --norm "$src" "$work/out-sox.wav"
done
rm -f "$work"/out-*.wav "$work"/bench-n.wav "$work"/bench24-n.wav "$work/time.txt"

for name in cp normalize cp24 normalize24 sox_norm; do
  printf '%-12s %6s s %8s KiB peak RSS\n' "$name" "${best[$name]}" "${mem[$name]}"
done
awk -v n="${best[normalize]}" -v c="${best[cp]}" -v n24="${best[normalize24]}" -v c24="${best[cp24]}" \
    -v s="${best[sox_norm]}" 'BEGIN {
  printf "normalize / cp (16-bit)     = %.2f (target <= 1.7)\n", n / c
  printf "normalize / cp (24-bit)     = %.2f (target <= 3)\n", n24 / c24
  printf "sox --norm / normalize      = %.1f (target >= 8)\n", s / n
}'
