#!/usr/bin/env bash
# Packaging checks: the desktop entry and the AppStream metainfo validate;
# one version and one release date everywhere; `cmake --install` of a built tree stays under its
# prefix and its programs run from there; the Debian packages build once
# (from a copy of the sources at a fixed place in the user's cache folder, so ccache, when
# the caller set it up, finds the last run's objects; tests off: the suite
# has run them) and pass
# lintian; the agent's package pulls in no Qt; the packages' programs run
# from a scratch root they are unpacked into and name the libraries they
# load on first use in dlopen notes.
#   scripts/check-packaging.sh [BUILDDIR]   (default build/plain)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/plain}
app_id=org.sysquill.Sysquill

scripts/deps.sh test
tools=(desktop-file-utils appstream lintian debhelper dpkg-dev)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "check-packaging: $*" >&2
  exit 1
}

echo "-- desktop entry and metainfo"
desktop-file-validate "data/$app_id.desktop"
appstreamcli validate --no-net "data/$app_id.metainfo.xml"

echo "-- one version: CMake, window caption, metainfo, manual pages, Debian changelog"
version=$(sed -n 's/^project(Sysquill VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no version in CMakeLists.txt"
grep -q "kCaption = QStringLiteral(\"Sysquill $version\")" ui/frmMain.h || fail "the window's caption is not Sysquill $version"
grep -q "<release version=\"$version\"" "data/$app_id.metainfo.xml" || fail "the metainfo has no release $version"
for page in data/man/*.1; do
  grep -q "^\.TH .* \"Sysquill $version\"" "$page" || fail "$page is not for Sysquill $version"
done
[ "$(dpkg-parsechangelog -S Version)" = "$version" ] || fail "debian/changelog is not at $version"
echo "-- one release date: Debian changelog, metainfo, manual pages"
released=$(date -u -d "$(dpkg-parsechangelog -S Date)" +%F)
grep -q "<release version=\"$version\" date=\"$released\"" "data/$app_id.metainfo.xml" ||
  fail "the metainfo's release $version is not dated $released as debian/changelog is"
for page in data/man/*.1; do
  grep -q "^\.TH [^ ]* [0-9] \"$released\" " "$page" || fail "$page is not dated $released as debian/changelog is"
done

echo "-- the metainfo's screenshot is one scripts/screenshots.sh writes, at the size it gives"
read -r width height shot < <(sed -n \
  's|.*<image type="source" width="\([0-9]*\)" height="\([0-9]*\)">.*/\([^/<]*\)</image>.*|\1 \2 \3|p' \
  "data/$app_id.metainfo.xml") || true
[ -n "${shot:-}" ] || fail "no screenshot in the metainfo"
[ -f "$build/build.ninja" ] ||
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSYSQUILL_WERROR=ON >/dev/null
ninja -C "$build" >/dev/null
scripts/screenshots.sh "$work/shots" "$build" >/dev/null
file "$work/shots/$shot" | grep -q "PNG image data, $width x $height," || fail "screenshots.sh wrote no $shot of $width x $height"

echo "-- cmake --install into a scratch DESTDIR"
prefix=/opt/sysquill
DESTDIR="$work/destdir" cmake --install "$build" --prefix "$prefix" >/dev/null
outside=$(cd "$work/destdir" && find . -mindepth 1 ! -path ./opt ! -path ".$prefix" ! -path ".$prefix/*")
[ -z "$outside" ] || fail "installed outside $prefix: $outside"
[ -z "$(find "$work/destdir" -name pci.ids)" ] || fail "pci.ids is the system's, not ours to install"
for program in sysquill sysquill-query sysquill-agent; do
  "$work/destdir$prefix/bin/$program" --version | grep -qx "$program $version.*" || fail "$program --version"
done
for size in 16 22 24 32 48 64 128 256; do
  file "$work/destdir$prefix/share/icons/hicolor/${size}x$size/apps/$app_id.png" | grep -q ", $size x $size," ||
    fail "no $size x $size icon"
done
# The completion, over the installed query tool.
PATH="$work/destdir$prefix/bin:$PATH" bash -c '
  source "$1"
  complete() { COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _sysquill_query sysquill-query; echo "${COMPREPLY[*]}"; }
  [ "$(complete sysquill-query --format j)" = json ] || exit 1
  # bash splits "--format=j" at "=" (COMP_WORDBREAKS).
  [ "$(complete sysquill-query --format = j)" = json ] || exit 1
  [ "$(complete sysquill-query --format =)" = "table csv mof json" ] || exit 1
  [ "$(complete sysquill-query -f c)" = csv ] || exit 1
  [ "$(complete sysquill-query --page bas)" = "Base\\ Board" ] || exit 1
  [ "$(complete sysquill-query "\"SELECT * FROM Win32_BI")" = "SELECT * FROM Win32_BIOS" ] || exit 1
' - "$work/destdir$prefix/share/bash-completion/completions/sysquill-query" || fail "bash completion"

echo "-- Debian packages (dpkg-buildpackage -us -uc -b, tests off)"
# The packages land beside their source folder. That folder is one fixed
# place per user, not one under each checkout: the Debian flags name it
# (-ffile-prefix-map), so only a fixed place lets ccache serve a later run
# from another clone. A lock keeps two runs of one user out of each other's way.
packages=${XDG_CACHE_HOME:-$HOME/.cache}/sysquill/package
mkdir -p "$packages"
exec {package_lock}>"$packages.lock"
flock "$package_lock"
rm -rf "$packages"
mkdir -p "$packages/src"
git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf - | tar -xf - -C "$packages/src"
start=$SECONDS
if ! (cd "$packages/src" && DEB_BUILD_OPTIONS="nocheck parallel=$(nproc)" \
  dpkg-buildpackage -us -uc -b -Pnocheck >"$packages/build.log" 2>&1); then
  tail -n 60 "$packages/build.log"
  fail "dpkg-buildpackage failed"
fi
echo "built in $((SECONDS - start)) s"
arch=$(dpkg --print-architecture)
changes="$packages/sysquill_${version}_$arch.changes"
lintian --fail-on error,warning --display-info "$changes"

echo "-- sysquill-agent pulls in no Qt; sysquill does"
agent_deb="$packages/sysquill-agent_${version}_$arch.deb"
window_deb="$packages/sysquill_${version}_$arch.deb"
agent_depends=$(dpkg-deb -f "$agent_deb" Depends)
echo "sysquill-agent Depends: $agent_depends"
# Every package those pull in, one level after another.
closure=$(echo "$agent_depends" | tr ',|' '\n\n' | sed 's/(.*)//; s/ //g; /^$/d' |
  xargs apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
    --no-replaces --no-enhances 2>/dev/null | sed -n 's/^ *\(Pre\)\?Depends: \([^ <>]*\).*/\2/p' | sort -u)
grep -qx libc6 <<<"$closure" || fail "could not follow the agent's dependencies"
if grep -i qt <<<"$agent_depends$closure"; then fail "sysquill-agent pulls in Qt"; fi
dpkg-deb -f "$window_deb" Depends | grep -q libqt6widgets6 || fail "sysquill does not depend on Qt Widgets"

echo "-- the packages' programs, from a scratch root"
root="$work/root"
dpkg-deb -x "$agent_deb" "$root"
if ldd "$root/usr/bin/sysquill-agent" | grep -i qt; then fail "sysquill-agent links Qt"; fi
dpkg-deb -x "$window_deb" "$root"
"$root/usr/bin/sysquill-query" --pages | grep -q "^48  Base Board " || fail "sysquill-query --pages"
for program in sysquill sysquill-query sysquill-agent; do
  "$root/usr/bin/$program" --version | grep -qx "$program $version.*" || fail "$program --version"
done
# The libraries loaded on first use are named in FDO dlopen notes, one each
# (readelf lists them, and fails for a note type it cannot decode).
for program in sysquill sysquill-query sysquill-agent; do
  notes=$({ readelf --notes "$root/usr/bin/$program" || true; } | sed -n "/found in: .note.dlopen\$/,/^\$/p")
  [ "$(grep -c '^ *FDO ' <<<"$notes")" -eq 5 ] || fail "$program: not five dlopen notes: $notes"
  json=$(readelf --string-dump=.note.dlopen --wide "$root/usr/bin/$program")
  for soname in libsystemd.so.0 libcups.so.2 libkmod.so.2 libblkid.so.1 libdrm.so.2; do
    grep -qF "\"soname\":[\"$soname\"]" <<<"$json" || fail "$program has no dlopen note for $soname"
  done
done
# The agent's handshake and one query, as ssh carries them: a Hello frame
# (magic "SQAG", protocol 1, software name), then a Query frame.
u32() { printf "\\x$(printf %02x $(($1 >> 24 & 255)))\\x$(printf %02x $(($1 >> 16 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))\\x$(printf %02x $(($1 & 255)))"; }
query="SELECT Manufacturer FROM Win32_BIOS"
answer=$({
  u32 13; printf '\x01SQAG\x00\x01'; u32 2; printf ci
  u32 $((5 + ${#query})); printf '\x02'; u32 ${#query}; printf %s "$query"
} | "$root/usr/bin/sysquill-agent" --stdio --root tests/fixtures/physical-desktop/tree | tr -c '[:print:]' .)
grep -q "sysquill-agent" <<<"$answer" || fail "the agent did not answer the hello: $answer"
grep -q "American Megatrends" <<<"$answer" || fail "the agent did not answer the query: $answer"
# Their dependencies can be met from the archive.
apt-get install -s "$window_deb" "$agent_deb" >/dev/null || fail "the packages' dependencies cannot be met"
echo "== packaging checks passed"
