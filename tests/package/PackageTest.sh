#!/usr/bin/env bash
# PackageTest.sh <build folder>: installs the build into a scratch prefix,
# validates the desktop file, the collection MIME type and the AppStream
# metainfo, then makes the .deb with cpack and checks its file list and its
# Depends.
set -euo pipefail
build="$(cd "$1" && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failures=0

Fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Every line of the list in $1 matches a line of the file $2.
ExpectAll() {
  local wanted="$1" list="$2" pattern
  while read -r pattern; do
    [ -z "$pattern" ] && continue
    grep -qxE "$pattern" "$list" || Fail "$(basename "$list") has no line matching $pattern"
  done <<<"$wanted"
}

readonly kIconSizes="16 22 24 32 48 64 128 256"
readonly kInstalled="usr/bin/lirabox
usr/share/applications/lirabox.desktop
usr/share/metainfo/io.github.quenda.lirabox.metainfo.xml
usr/share/mime/packages/io.github.quenda.lirabox.xml
usr/share/icons/hicolor/scalable/apps/lirabox.svg
$(for s in $kIconSizes; do echo "usr/share/icons/hicolor/${s}x${s}/apps/lirabox.png"; done)
usr/share/man/man1/lirabox.1.gz
usr/share/doc/lirabox/help/index.html
usr/share/doc/lirabox/help/player.html
usr/share/doc/lirabox/help/collection.html
usr/share/doc/lirabox/help/cd.html
usr/share/doc/lirabox/help/options.html
usr/share/doc/lirabox/help/windows.html"

# 1. cmake --install into a prefix of our own.
root="$scratch/root"
cmake --install "$build" --prefix "$root/usr" >"$scratch/install.log"
(cd "$root" && find . -type f | sed 's|^\./||' | sort) >"$scratch/installed"
ExpectAll "$kInstalled" "$scratch/installed"
desktop-file-validate "$root/usr/share/applications/lirabox.desktop" || Fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/io.github.quenda.lirabox.metainfo.xml" ||
  Fail "appstreamcli validate"
# The metainfo names the desktop file that is installed.
grep -q '<launchable type="desktop-id">lirabox.desktop</launchable>' \
  "$root/usr/share/metainfo/io.github.quenda.lirabox.metainfo.xml" || Fail "metainfo launchable"

# The collection type: the MIME database compiles it, a *.lst file is of it
# with a weight below the default 50 (other programs' .lst files win when
# they say more), and the desktop file offers the player for it.
readonly kCollectionType=application/x-lirabox-collection
mime="$root/usr/share/mime"
# Only this prefix is searched, so the answers below come from what it installs.
lookup=(env PATH="$root/usr/bin:$PATH" XDG_DATA_HOME="$scratch/none" XDG_DATA_DIRS="$root/usr/share")
"${lookup[@]}" update-mime-database "$mime" 2>"$scratch/mime.log" || Fail "update-mime-database"
[ -s "$scratch/mime.log" ] && Fail "update-mime-database: $(cat "$scratch/mime.log")"
[ -f "$mime/$kCollectionType.xml" ] || Fail "the MIME database has no $kCollectionType"
weight="$(awk -F: -v type="$kCollectionType" '$2 == type && $3 == "*.lst" { print $1 }' "$mime/globs2" 2>/dev/null || true)"
[ -n "$weight" ] && [ "$weight" -lt 50 ] || Fail "*.lst is not $kCollectionType with a low weight: '$weight'"
grep -qxE "MimeType=([^;]+;)*$kCollectionType;" "$root/usr/share/applications/lirabox.desktop" ||
  Fail "the desktop file's MimeType lacks $kCollectionType"
update-desktop-database "$root/usr/share/applications" || Fail "update-desktop-database"
printf 'C:\\MIDI\\song.mid\r\n' >"$scratch/party.lst"
found="$("${lookup[@]}" gio info -a standard::content-type \
  "$scratch/party.lst" 2>/dev/null | sed -n 's/^ *standard::content-type: //p' || true)"
[ "$found" = "$kCollectionType" ] || Fail "a .lst file is of type '$found'"
handlers="$("${lookup[@]}" gio mime "$kCollectionType" 2>/dev/null || true)"
grep -qx $'\tlirabox\\.desktop' <<<"$handlers" || Fail "no application is registered for $kCollectionType: $handlers"

for s in $kIconSizes; do
  file -b "$root/usr/share/icons/hicolor/${s}x${s}/apps/lirabox.png" | grep -q "^PNG image data, $s x $s," ||
    Fail "icon ${s}x${s} is not a $s px PNG"
done
zcat "$root/usr/share/man/man1/lirabox.1.gz" | grep -q '^\.TH LIRABOX 1' || Fail "man page"
for word in /A /S /R /I '\[Drives\]' LIRABOX_DRIVES LIRABOX_AUDIO_SINK Lirabox.conf VolumeControl; do
  zcat "$root/usr/share/man/man1/lirabox.1.gz" | grep -q -- "$word" || Fail "man page does not mention $word"
done

# 2. cpack -G DEB: the file name, the file list and the Depends line.
(cd "$build" && cpack -G DEB -B "$scratch/deb" >"$scratch/cpack.log") || {
  cat "$scratch/cpack.log" >&2
  Fail "cpack"
}
version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")"
deb="$scratch/deb/lirabox_${version}_amd64.deb"
if [ ! -f "$deb" ]; then
  Fail "no $(basename "$deb"): $(ls "$scratch/deb")"
else
  dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $NF }' | sed 's|^\./||' | sort >"$scratch/packaged"
  ExpectAll "$kInstalled" "$scratch/packaged"
  # Only what a user needs: no headers, static libraries, tests or tools.
  unexpected="$(grep -vE '^usr/(bin/lirabox|share/(applications|metainfo|mime/packages|icons|man|doc/lirabox)/)' "$scratch/packaged" || true)"
  [ -z "$unexpected" ] || Fail "unexpected files in the package: $unexpected"
  depends="$(dpkg-deb -f "$deb" Depends)"
  for package in 'libqt6widgets6' 'libgstreamer1.0-0' 'libcdio19' 'gstreamer1.0-plugins-base' \
    'gstreamer1.0-plugins-good' 'gstreamer1.0-plugins-bad' 'gstreamer1.0-libav' \
    'gstreamer1.0-pulseaudio \| gstreamer1.0-alsa' 'timgm6mb-soundfont \| fluid-soundfont-gm' \
    'fonts-ipafont-gothic' 'qt6-translations-l10n' 'libqt6svg6'; do
    grep -qE "(^|, )$package( |,|$)" <<<"$depends" || Fail "Depends lacks $package: $depends"
  done
  [ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || Fail "architecture"
fi

[ "$failures" -eq 0 ] && echo "package checks passed"
exit $((failures > 0))
