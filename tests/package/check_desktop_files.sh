#!/usr/bin/env bash
# The desktop integration files in data/: the desktop entry passes desktop-file-validate, the
# AppStream metainfo passes `appstreamcli validate --no-net`, the two agree on the id, the newest
# release is the project's version, and the icon the entry names exists as SVG and as 48 and 256
# pixel PNGs of those sizes.
# Usage: check_desktop_files.sh DATA_DIR VERSION
set -uo pipefail
data=$1 version=$2
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
for tool in desktop-file-validate appstreamcli file; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (scripts/install-deps)" >&2; exit 1; }
done

metainfo=$(ls "$data"/*.metainfo.xml)
[[ $(wc -l <<<"$metainfo") -eq 1 ]] || fail "expected one metainfo file, found: $metainfo"
id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$metainfo")
desktop=$data/$id.desktop
[[ -f $desktop ]] || fail "no desktop entry $desktop named after the id '$id'"
[[ $(basename "$metainfo") == "$id.metainfo.xml" ]] || fail "$(basename "$metainfo") is not named after the id '$id'"

out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
[[ -z $out ]] || fail "desktop-file-validate reports: $out"
out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $out"

grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch $id.desktop"
newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1 | cut -d'"' -f2)
[[ $newest == "$version" ]] || fail "the newest release in the metainfo is '$newest', the project is $version"

# What the entry must keep: the program with a file, the WAV types, its icon.
grep -qx 'Exec=sonaveld %f' "$desktop" || fail "Exec is not 'sonaveld %f'"
grep -q '^MimeType=.*audio/x-wav;' "$desktop" || fail "MimeType lacks audio/x-wav"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[[ -n $icon ]] || fail "the desktop entry names no icon"
grep -q "<icon type=\"stock\">$icon</icon>" "$metainfo" || fail "the metainfo's icon is not '$icon'"
[[ -s $data/icons/$icon.svg ]] || fail "no $data/icons/$icon.svg"
for size in 48 256; do
  png=$data/icons/hicolor/${size}x$size/apps/$icon.png
  file "$png" | grep -q "PNG image data, $size x $size, 8-bit/color RGBA" || fail "$png is not a $size px RGBA PNG"
done
((failures == 0)) || exit 1
echo "PASS: desktop entry, metainfo and icons"
