#!/usr/bin/env bash
# The two Debian packages as built by CPack: their control fields and dependencies (the command-line
# package needs no Qt; the window package needs that command-line package of its own version),
# exactly the expected files (so no test program or stray file is installed), the copyright file
# against LICENSE, the changelog as dpkg reads it, every file's time, the installed programs, pages
# and icons working from the unpacked tree, and lintian without an error or a warning.
# Usage: check_deb.sh CLI_DEB WINDOW_DEB VERSION   (VERSION: the project's, without the revision)
set -uo pipefail
cli_deb=$1 window_deb=$2 version=$3
license=$(dirname "$0")/../../LICENSE
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
for deb in "$cli_deb" "$window_deb"; do [[ -s $deb ]] || { echo "FAIL: no package $deb" >&2; exit 1; }; done

field() { dpkg-deb --field "$1" "$2"; }
# has_dep DEPENDS PACKAGE: PACKAGE is one of the dependencies (with or without a version).
has_dep() { [[ ", $1," == *", $2"[\ ,]* ]]; }
files_of() { dpkg-deb --contents "$1" | awk '$1 !~ /^d/ {print $6}' | LC_ALL=C sort; }

# The fields and files both packages share. $1 deb, $2 package name.
check_common() {
  local deb=$1 name=$2 files
  [[ $(field "$deb" Package) == "$name" ]] || fail "$deb: Package is '$(field "$deb" Package)'"
  [[ $(field "$deb" Version) =~ ^$version-[0-9]+$ ]] || fail "$name: Version '$(field "$deb" Version)', the project is $version"
  [[ $(field "$deb" Section) == sound ]] || fail "$name: Section is '$(field "$deb" Section)'"
  [[ $(field "$deb" Source) == sonaveld ]] || fail "$name: Source is '$(field "$deb" Source)'"
  [[ -n $(field "$deb" Maintainer) ]] || fail "$name: no Maintainer"
  local description
  description=$(field "$deb" Description)
  [[ $(head -1 <<<"$description") == *"PCM WAV"* ]] || fail "$name: synopsis: $(head -1 <<<"$description")"
  [[ $description == *"24 or 32-bit integer or 32-bit float"* && $description != *"8 or 16 bits"* ]] ||
    fail "$name: the description does not name every sample kind: $description"
  dpkg-deb --contents "$deb" | awk '$2 != "root/root" {bad = 1} END {exit bad}' || fail "$name: files not owned by root"
  files=$(files_of "$deb")
  if [[ $files != "$(LC_ALL=C sort <<<"$3")" ]]; then
    fail "$name: the files differ from the expected list:$(echo; diff <(LC_ALL=C sort <<<"$3") <(echo "$files"))"
  fi
}

check_common "$cli_deb" sonaveld-cli "./usr/bin/sonaveld-cli
./usr/share/bash-completion/completions/sonaveld-cli
./usr/share/doc/sonaveld-cli/changelog.Debian.gz
./usr/share/doc/sonaveld-cli/copyright
./usr/share/lintian/overrides/sonaveld-cli
./usr/share/man/man1/sonaveld-cli.1.gz"
check_common "$window_deb" sonaveld "./usr/bin/sonaveld
./usr/share/applications/io.github.sonaveld.Sonaveld.desktop
./usr/share/doc/sonaveld/README.md
./usr/share/doc/sonaveld/changelog.Debian.gz
./usr/share/doc/sonaveld/copyright
./usr/share/icons/hicolor/256x256/apps/sonaveld.png
./usr/share/icons/hicolor/48x48/apps/sonaveld.png
./usr/share/icons/hicolor/scalable/apps/sonaveld.svg
./usr/share/lintian/overrides/sonaveld
./usr/share/man/man1/sonaveld.1.gz
./usr/share/metainfo/io.github.sonaveld.Sonaveld.metainfo.xml
./usr/share/mime/packages/sonaveld.xml"

# Library dependencies come from dpkg-shlibdeps; the font and the command-line package by hand.
cli_depends=$(field "$cli_deb" Depends)
for package in libc6 libstdc++6; do has_dep "$cli_depends" $package || fail "sonaveld-cli Depends lacks $package: $cli_depends"; done
[[ $cli_depends != *libqt* && $cli_depends != *libpulse* ]] || fail "sonaveld-cli depends on Qt or PulseAudio: $cli_depends"
window_depends=$(field "$window_deb" Depends)
for package in libqt6core6 libqt6gui6 libqt6widgets6 libpulse0 fonts-ipafont-gothic; do
  has_dep "$window_depends" $package || fail "sonaveld Depends lacks $package: $window_depends"
done
[[ ", $window_depends," == *", sonaveld-cli (= $(field "$cli_deb" Version)),"* ]] ||
  fail "sonaveld does not depend on sonaveld-cli (= $(field "$cli_deb" Version)): $window_depends"

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$cli_deb" "$tree"
if readelf -d "$tree/usr/bin/sonaveld-cli" | grep -E 'NEEDED.*(Qt|pulse)'; then fail "sonaveld-cli links Qt or PulseAudio"; fi
dpkg-deb -x "$window_deb" "$tree"

# Each package's copyright file: the machine-readable format, the holders and text of LICENSE.
for package in sonaveld-cli sonaveld; do
  copyright=$tree/usr/share/doc/$package/copyright
  [[ $(head -1 "$copyright") == "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ]] ||
    fail "$package: copyright is not in the machine-readable format"
  grep -qx "Files: \*" "$copyright" && grep -qx "License: Expat" "$copyright" || fail "$package: copyright lacks Files: * / License: Expat"
  holders=$(sed -n 's/^Copyright (c) //p' "$license")
  grep -qxF "Copyright: $holders" "$copyright" || fail "$package: copyright does not name '$holders'"
  # The licence text: the continuation lines of the License field, unindented, " ." as an empty line.
  text=$(sed -n '/^License: Expat$/,$p' "$copyright" | tail -n +2 | sed 's/^ //; s/^\.$//')
  [[ $text == "$(sed '1,/^Copyright (c)/d' "$license" | sed '/./,$!d')" ]] || fail "$package: copyright's licence text differs from LICENSE"
done

# The changelog: the same compressed bytes in both, without a name or time in the gzip header (so the
# same entry gives the same bytes), one entry for the package's version as dpkg-parsechangelog reads it.
changelog=$tree/usr/share/doc/sonaveld/changelog.Debian.gz
cmp -s "$changelog" "$tree/usr/share/doc/sonaveld-cli/changelog.Debian.gz" || fail "the packages' changelogs differ"
[[ $(head -c 8 "$changelog" | od -An -tx1 | tr -d ' \n') == 1f8b080000000000 ]] || fail "changelog.Debian.gz has a name or a time in its header"
entry=$(gzip -dc "$changelog" > "$tree/changelog" && dpkg-parsechangelog -l "$tree/changelog" 2>&1) || fail "dpkg-parsechangelog: $entry"
[[ $(dpkg-parsechangelog -l "$tree/changelog" -S Version) == "$(field "$window_deb" Version)" ]] || fail "changelog version: $entry"
[[ $(dpkg-parsechangelog -l "$tree/changelog" -S Source) == sonaveld ]] || fail "changelog source: $entry"
epoch=$(dpkg-parsechangelog -l "$tree/changelog" -S Timestamp)

# Every file, folder and control member carries the changelog's time (SOURCE_DATE_EPOCH), not the build's.
for deb in "$cli_deb" "$window_deb"; do
  times=$( { dpkg-deb --fsys-tarfile "$deb" | TZ=UTC tar -tv --full-time
            dpkg-deb --ctrl-tarfile "$deb" | TZ=UTC tar -tv --full-time; } | awk '{print $4 " " $5}' | sort -u)
  expected=$(TZ=UTC date -d "@$epoch" '+%Y-%m-%d %H:%M:%S')
  [[ $times == "$expected" ]] || fail "$(basename "$deb"): file times $times, not the changelog's $expected"
done

out=$("$tree/usr/bin/sonaveld-cli" --version) || fail "sonaveld-cli --version failed"
[[ $out == "sonaveld-cli $version" ]] || fail "sonaveld-cli --version: '$out'"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$tree/usr/bin/sonaveld" --version) || fail "sonaveld --version failed"
[[ $out == "sonaveld $version" ]] || fail "sonaveld --version: '$out'"
for program in sonaveld sonaveld-cli; do
  file "$tree/usr/bin/$program" | grep -q ', stripped' || fail "$program is not stripped"
  page=$tree/usr/share/man/man1/$program.1.gz
  gzip -t "$page" && gzip -dc "$page" | grep -q "^\.TH .*\"Sonaveld $version\"" || fail "$page: not a page of version $version"
done
for size in 48 256; do
  file "$tree/usr/share/icons/hicolor/${size}x$size/apps/sonaveld.png" | grep -q "$size x $size" || fail "the $size px icon"
done

# lintian: no error and no warning (the overrides in the packages say why each is overridden).
report=$(lintian --allow-root "$cli_deb" "$window_deb" 2>&1)
if grep -E '^[EW]: ' <<<"$report"; then fail "lintian reports errors or warnings"; fi
((failures == 0)) || exit 1
echo "PASS: $(basename "$cli_deb") and $(basename "$window_deb"): fields, dependencies, files, copyright, changelog," \
     "file times, programs, pages, icons, lintian"
