#!/usr/bin/env bash
# The Debian package as built by CPack: its control fields, exactly the expected files (so no test
# program or stray file is installed), and the installed programs, pages and icons working from
# the unpacked tree.
# Usage: check_deb.sh DEB VERSION
set -uo pipefail
deb=$1 version=$2
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
[[ -s $deb ]] || { echo "FAIL: no package $deb" >&2; exit 1; }

field() { dpkg-deb --field "$deb" "$1"; }
[[ $(field Package) == sonaveld ]] || fail "Package is '$(field Package)'"
[[ $(field Version) == "$version" ]] || fail "Version is '$(field Version)', the project is $version"
[[ $(field Section) == sound ]] || fail "Section is '$(field Section)'"
[[ -n $(field Maintainer) ]] || fail "no Maintainer"
[[ $(field Description) == *"PCM WAV"* ]] || fail "Description: $(field Description)"
# Library dependencies come from dpkg-shlibdeps; the font is named by hand.
depends=$(field Depends)
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6multimedia6 fonts-ipafont-gothic; do
  [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends lacks $package: $depends"
done

expected="./usr/bin/sonaveld
./usr/bin/sonaveld-cli
./usr/share/applications/io.github.sonaveld.Sonaveld.desktop
./usr/share/bash-completion/completions/sonaveld-cli
./usr/share/doc/sonaveld/LICENSE
./usr/share/doc/sonaveld/README.md
./usr/share/icons/hicolor/256x256/apps/sonaveld.png
./usr/share/icons/hicolor/48x48/apps/sonaveld.png
./usr/share/icons/hicolor/scalable/apps/sonaveld.svg
./usr/share/man/man1/sonaveld-cli.1.gz
./usr/share/man/man1/sonaveld.1.gz
./usr/share/metainfo/io.github.sonaveld.Sonaveld.metainfo.xml
./usr/share/mime/packages/sonaveld.xml"
files=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $6}' | LC_ALL=C sort)
if [[ $files != "$(LC_ALL=C sort <<<"$expected")" ]]; then
  fail "the package's files differ from the expected list:$(echo; diff <(LC_ALL=C sort <<<"$expected") <(echo "$files"))"
fi
dpkg-deb --contents "$deb" | awk '$2 != "root/root" {bad = 1} END {exit bad}' || fail "files not owned by root"

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
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
((failures == 0)) || exit 1
echo "PASS: $(basename "$deb"): fields, $(wc -l <<<"$files") files, programs, pages and icons"
