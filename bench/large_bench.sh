#!/usr/bin/env bash
# Times sonaveld-cli on files past 4 GiB against cp: the cut of a 6 GiB 24-bit stereo RF64 file
# (everything after a mark near the start, written as RF64 again) against cp of it, and the join of
# two 3 GiB RIFF files into one 6 GiB RF64 file against cp of both. The files hold real bytes (a
# sparse file would let cp skip its holes); the script refuses to start without room for them.
# Prints the best wall time and the least processor time (user + system) of each.
# Usage: bench/large_bench.sh [RUNS]   (needs build/bin/sonaveld-cli; SONAVELD_CLI=path times another build)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-1}
command -v /usr/bin/time >/dev/null || { apt-get update -qq && apt-get install -y -qq time; }
work=bench/work
mkdir -p "$work"
gib=$((1 << 30))
need=$(( 26 * gib ))   # the sources (12 GiB) and two 6 GiB outputs, with some room left
free=$(( $(df --output=avail -B1 "$work" | tail -1) ))
if [ "$free" -lt "$need" ]; then
  echo "large_bench: $(( free / gib )) GiB free under $work, $(( need / gib )) GiB needed; not run" >&2
  exit 0
fi
le32() { local v=$1; printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255)); }
le64() { printf '%s%s' "$(le32 $(( $1 & 0xFFFFFFFF )))" "$(le32 $(( $1 >> 32 )))"; }
fmt24="fmt $(le32 16)\x01\x00\x02\x00$(le32 48000)$(le32 288000)\x06\x00\x18\x00"
block=$work/block.raw
[ -f "$block" ] || head -c $(( 64 << 20 )) /dev/urandom > "$block"
samples() { for _ in $(seq "$1"); do cat "$block"; done; }   # $1 × 64 MiB of sample bytes
big=$work/big-rf64.wav
if [ ! -f "$big" ]; then
  data=$(( 96 * (64 << 20) ))  # 6 GiB
  { printf "RF64\xff\xff\xff\xffWAVEds64$(le32 28)$(le64 $(( data + 72 )))$(le64 "$data")$(le64 $(( data / 6 )))$(le32 0)"
    printf "${fmt24}data\xff\xff\xff\xff"; samples 96; } > "$big"
fi
for part in a b; do
  f=$work/take-$part.wav
  if [ ! -f "$f" ]; then
    data=$(( 48 * (64 << 20) ))  # 3 GiB
    { printf "RIFF$(le32 $(( data + 36 )))WAVE${fmt24}data$(le32 "$data")"; samples 48; } > "$f"
  fi
done

best() {  # "wall cpu": the best wall time and the least cpu time (user + system) in seconds over $runs runs
  local w c bw=999999 bc=999999
  for _ in $(seq "$runs"); do
    rm -f "$work"/out-*
    sync
    /usr/bin/time -f "%e %U %S" -o "$work/time.txt" "$@" >/dev/null 2>&1
    read -r w c <<<"$(awk '{ printf "%.3f %.3f", $1, $2 + $3 }' "$work/time.txt")"
    bw=$(echo "$w $bw" | awk '{print ($1 < $2) ? $1 : $2}')
    bc=$(echo "$c $bc" | awk '{print ($1 < $2) ? $1 : $2}')
  done
  echo "$bw $bc"
}
cp_both() { cp "$work/take-a.wav" "$work/out-a.wav" && cp "$work/take-b.wav" "$work/out-b.wav"; }
export -f cp_both
export work

cli=${SONAVELD_CLI:-build/bin/sonaveld-cli}
echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
read -r t_cp c_cp <<<"$(best cp "$big" "$work/out-cp.wav")"
read -r t_cut c_cut <<<"$(best "$cli" cut "$big" -o "$work/out-cut.wav" --marks 1000 --yes --quiet)"
read -r t_cp2 c_cp2 <<<"$(best bash -c cp_both)"
read -r t_join c_join <<<"$(best "$cli" join -o "$work/out-join.wav" "$work/take-a.wav" "$work/take-b.wav" --yes --quiet)"
"$cli" join -o "$work/out-join.wav" "$work/take-a.wav" "$work/take-b.wav" --yes --quiet >/dev/null
container=$("$cli" info "$work/out-join.wav" | sed -n 's/^container: //p')
rm -f "$work"/out-*

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
echo "cp 6 GiB RF64          ${t_cp} s  cpu ${c_cp} s"
echo "cut 6 GiB RF64         ${t_cut} s  cpu ${c_cut} s  $(ratio "$t_cut" "$t_cp") x cp wall, $(ratio "$c_cut" "$c_cp") x cp cpu   (target <= 1.05)"
echo "cp two 3 GiB files     ${t_cp2} s  cpu ${c_cp2} s"
echo "join two 3 GiB files   ${t_join} s  cpu ${c_join} s  $(ratio "$t_join" "$t_cp2") x cp wall, $(ratio "$c_join" "$c_cp2") x cp cpu   (target <= 1.05; output: $container)"
