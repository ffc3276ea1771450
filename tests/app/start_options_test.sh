#!/usr/bin/env bash
# sonaveld --version and --help answer on stdout and exit 0 without a display: the xcb platform is
# forced and no display is set, so creating the application object would abort the program.
# Usage: start_options_test.sh SONAVELD VERSION
set -uo pipefail
app=$1 version=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
run() { env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$app" "$@" 2>&1; }

out=$(run --version) || fail "--version exited with $?: $out"
[[ "$out" == "sonaveld $version" ]] || fail "--version printed '$out', expected 'sonaveld $version'"
# Qt's own options before it do not hide it.
out=$(run -platform xcb --version) || fail "-platform xcb --version exited with $?: $out"
[[ "$out" == "sonaveld $version" ]] || fail "-platform xcb --version printed '$out'"
for option in --help -h; do
  out=$(run "$option") || fail "$option exited with $?: $out"
  [[ "$out" == "usage: sonaveld [WAV]"* ]] || fail "$option printed '$out'"
done
echo "PASS: sonaveld --version, --help and -h without a display"
