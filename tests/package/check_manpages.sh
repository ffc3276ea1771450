#!/usr/bin/env bash
# The manual pages as built: groff reads them without a warning, they carry the project's version,
# the compressed copies match the sources, and sonaveld-cli(1) documents every command and option
# that `sonaveld-cli --help` lists (sonaveld(1) those of `sonaveld --help` when it is built).
# Usage: check_manpages.sh MAN_BUILD_DIR VERSION SONAVELD_CLI [SONAVELD]
set -uo pipefail
mandir=$1 version=$2 cli=$3 app=${4:-}
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
command -v groff >/dev/null || { echo "FAIL: groff is not installed (Debian: groff-base)" >&2; exit 1; }

# render PAGE: the page as plain text, no hyphenation at line ends to get in the way.
render() { LC_ALL=C.UTF-8 groff -k -man -Tutf8 -P-cbou -rLL=200n "$1" 2>/dev/null; }

# usage_words TEXT: the commands and options of a usage text.
usage_words() {
  (grep -oE -- '(^|[][ |,])--?[a-z][-a-z]*' <<<"$1" | sed 's/^[][ |,]//'
   grep -oE -- '^ +sonaveld(-cli)? [a-z][-a-z]*' <<<"$1" | sed 's/.* //') | sort -u
}

check_page() {  # check_page NAME PROGRAM
  local page=$mandir/$1.1 text words word
  [[ -s $page ]] || { fail "$page was not built"; return; }
  local warnings
  warnings=$(LC_ALL=C.UTF-8 groff -k -man -Tutf8 -ww -z "$page" 2>&1 | head -n 5)
  [[ -z $warnings ]] || fail "groff warns about $1.1: $warnings"
  cmp -s <(gzip -dc "$page.gz") "$page" || fail "$1.1.gz is not the compressed $1.1"
  text=$(render "$page")
  grep -q "Sonaveld $version" <<<"$text" || fail "$1(1) does not name version $version"
  grep -q '@[A-Z_]*@' "$page" && fail "$1.1 has an unfilled @VARIABLE@"
  words=$(usage_words "$("$2" --help)")
  [[ $(wc -w <<<"$words") -ge 2 ]] || fail "read only '$words' from $1 --help"
  for word in $words; do
    grep -qE -- "(^|[^-a-z])$word([^-a-z]|$)" <<<"$text" || fail "$1(1) does not mention '$word' of its --help"
  done
}

check_page sonaveld-cli "$cli"
[[ -n $app ]] && check_page sonaveld "$app"
# Sections a reader looks for.
for section in NAME SYNOPSIS DESCRIPTION "EXIT STATUS" EXAMPLES "MARK LIST FILE" "SEE ALSO"; do
  render "$mandir/sonaveld-cli.1" | grep -q "^$section" || fail "sonaveld-cli(1) has no $section section"
done
((failures == 0)) || exit 1
echo "PASS: manual pages"
