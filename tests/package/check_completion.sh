#!/usr/bin/env bash
# The bash completion of sonaveld-cli: what it offers after each kind of word, WAV and mark list
# files from a real folder, and that it knows every command and option that --help lists.
# Usage: check_completion.sh COMPLETION_FILE SONAVELD_CLI
set -uo pipefail
completion=$(realpath "$1") cli=$(realpath "$2")
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# shellcheck source=/dev/null
source "$completion"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir takes
touch a.wav B.WAV c.wave notes.txt d.mp3 takes/x.wav

# offered "WORDS" : what completing the last word of WORDS offers, sorted, space-separated.
offered() {
  read -r -a COMP_WORDS <<<"$1"
  [[ $1 == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE=$1 COMP_POINT=${#1}
  COMPREPLY=()
  _sonaveld_cli
  printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}

expect() {  # expect "WORDS" "OFFERED"
  local got
  got=$(offered "$1")
  [[ "$got" == "$2" ]] || fail "completing '$1' offered '$got', expected '$2'"
}

# Commands, and the program's own options.
expect "sonaveld-cli " "cut help info join loudness mark marks normalize pauses split split-channels split-marks"
expect "sonaveld-cli sp" "split split-channels split-marks"
expect "sonaveld-cli split-channels a.wav --" "--quiet --yes"
expect "sonaveld-cli --" "--help --version"
# Options by command: --keep-head only where it is accepted.
expect "sonaveld-cli cut a.wav --" "--below --cue --cue-marks --exact --keep-head --labels --marks --marks-file --min --pauses --quiet --yes"
expect "sonaveld-cli split-marks a.wav --" "--below --cue --cue-marks --exact --labels --marks --marks-file --min --names --pauses --quiet --yes"
expect "sonaveld-cli marks a.wav --to " "cue labels txt"
expect "sonaveld-cli mark a.wav --cue " "B.WAV a.wav c.wave d.mp3 notes.txt takes"
expect "sonaveld-cli normalize --" "-- --album --dither --dual-mono --files-from --jobs --linked --mode --output-dir --percent --preset --quiet --replace --report --restore --skip-existing --target --true-peak"
expect "sonaveld-cli normalize --preset p" "podcast"
expect "sonaveld-cli normalize --output-dir " "takes"
expect "sonaveld-cli info --" "--json --quiet"
expect "sonaveld-cli loudness a.wav --" "-- --dual-mono --json --quiet"
expect "sonaveld-cli info a.wav --j" "--json"
expect "sonaveld-cli normalize --mode " "average loudness peak"
expect "sonaveld-cli normalize --mode a" "average"
# Files: WAV files (any case, .wave too) and folders; mark list files after --marks-file; any
# file after -o; nothing for numbers.
expect "sonaveld-cli info " "B.WAV a.wav c.wave takes"
expect "sonaveld-cli cut takes/" "takes/x.wav"
expect "sonaveld-cli cut a.wav --marks-file " "notes.txt takes"
expect "sonaveld-cli cut a.wav -o " "B.WAV a.wav c.wave d.mp3 notes.txt takes"
expect "sonaveld-cli cut a.wav --marks " ""
expect "sonaveld-cli normalize --percent " ""
expect "sonaveld-cli frobnicate " ""
# Completing must leave the shell's options as they were.
shopt -q extglob && fail "extglob left switched on"
shopt -q nocasematch && fail "nocasematch left switched on"

# Every command and option of the usage text is offered somewhere.
usage=$("$cli" --help | grep -v '\$(')  # example command lines name other programs' options
all_offered=" $(offered "sonaveld-cli ") $(offered "sonaveld-cli --") $(offered "sonaveld-cli cut a.wav -") $(offered "sonaveld-cli split a.wav -")"
all_offered+=" $(offered "sonaveld-cli marks a.wav -") $(offered "sonaveld-cli normalize -") $(offered "sonaveld-cli pauses -") $(offered "sonaveld-cli info -")"
all_offered+=" $(offered "sonaveld-cli loudness -") "
words=$( (grep -oE -- '(^|[][ |])--?[a-z][-a-z]*' <<<"$usage" | sed 's/^[][ |]//'
         grep -oE -- '^ +sonaveld-cli [a-z][-a-z]*' <<<"$usage" | sed 's/.* //') | grep -vx -- '-inf' | sort -u)
[[ $(wc -w <<<"$words") -ge 15 ]] || fail "read only these words from the usage: $words"
for word in $words; do
  [[ "$all_offered" == *" $word "* ]] || fail "the usage lists '$word' but completion never offers it"
done

complete -p sonaveld-cli >/dev/null 2>&1 || fail "no completion registered for sonaveld-cli"
((failures == 0)) || exit 1
echo "PASS: bash completion of sonaveld-cli"
