#!/usr/bin/env bash
# Packs a finished build as a Debian package and checks what a user would get: the package's
# file name, its files, its fields and dependencies, the installed tree as AppStream sees it, and
# a lintian run with nothing to report.
# usage: check-deb.sh BUILD_DIR VERSION EXPECTED_FILES
set -euo pipefail
build=$1
version=$2
expected=$3

out="$build/package"
rm -rf "$out"
mkdir -p "$out"
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" > "$out/cpack.log" 2>&1; then
  cat "$out/cpack.log"
  exit 1
fi
deb="$out/vistrel_${version}_$(dpkg --print-architecture).deb"
if [ ! -f "$deb" ]; then
  echo "cpack did not write $deb"
  exit 1
fi

status=0
fail() {
  echo "$*"
  status=1
}

if ! diff -u "$expected" <(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | sort); then
  fail "the package's files are not the installed layout above"
fi

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = vistrel ] || fail "Package: $(field Package)"
[ "$(field Section)" = graphics ] || fail "Section: $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description | sed 1d)" ] || fail "no long Description"
depends=$(field Depends)
depended_on=$(sed 's/ ([^)]*)//g; s/, /\n/g' <<<"$depends")
# The Qt libraries come from the programs' own links; the platform plugins, Qt's translations and
# the font are named.
for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins qt6-wayland \
  qt6-translations-l10n fonts-wqy-microhei; do
  grep -Fxq "$needed" <<<"$depended_on" || fail "Depends lacks $needed: $depends"
done

# The screensaver module is of use only with the screensaver.
grep -Eq '(^|, )xscreensaver(,|$| )' <<<"$(field Suggests)" || fail "Suggests lacks xscreensaver: $(field Suggests)"

# The installed tree as a software centre sees it: the AppStream file, the entry it launches and
# the icons, together.
dpkg-deb -x "$deb" "$out/root"
appstreamcli validate-tree --no-net --strict "$out/root" > "$out/appstream.log" ||
  fail "appstreamcli validate-tree: $(cat "$out/appstream.log")"

lintian --fail-on error,warning "$deb" 2>/dev/null || fail "lintian reports the findings above"
exit $status
