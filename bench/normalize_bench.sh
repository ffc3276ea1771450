#!/usr/bin/env bash
# Times `sonaveld-cli normalize` on a 256 MiB 16-bit stereo WAV against `cp` and `sox --norm` of the
# same file, in the same run, and reports the peak memory of each (from /usr/bin/time -v).
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

# once NAME COMMAND...: times one run; keeps the best wall time of each contender and its peak RSS.
declare -A best mem
once() {
  local name="$1"; shift
  rm -f "$work"/out-*.wav "$work"/bench-n.wav
  sync; sleep 1  # let the removal and write-back of the previous output settle
  /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >/dev/null
  local secs kib
  read -r secs kib <"$work/time.txt"
  if [ -z "${best[$name]:-}" ] || awk "BEGIN{exit !($secs < ${best[$name]})}"; then
    best[$name]=$secs; mem[$name]=$kib
  fi
}

echo "file: $(stat -c %s "$src") bytes, best of $runs rounds (each round runs all three)"
for _ in $(seq "$runs"); do
  once cp cp "$src" "$work/out-cp.wav"
  once sox_norm sox -V1 --norm "$src" "$work/out-sox.wav"
  once normalize "$cli" normalize "$src"
done
rm -f "$work"/out-*.wav "$work"/bench-n.wav "$work/time.txt"

for name in cp sox_norm normalize; do
  printf '%-12s %6s s %8s KiB peak RSS\n' "$name" "${best[$name]}" "${mem[$name]}"
done
awk -v n="${best[normalize]}" -v c="${best[cp]}" -v s="${best[sox_norm]}" 'BEGIN {
  printf "normalize / cp         = %.2f (target <= 2)\n", n / c
  printf "sox --norm / normalize = %.1f (target >= 8)\n", s / n
}'
