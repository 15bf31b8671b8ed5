#!/usr/bin/env bash
# Installs the build tree into a temporary DESTDIR and uses what is installed
# as a user would: the desktop files pass the desktop's own validators, the
# installed commands register the installed modules in a fresh registry under
# the XDG configuration folder and capture from another folder with the
# settings found there, and removing the files the install listed leaves
# nothing but empty folders.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
manifest="$build/install_manifest.txt"
# A manifest of the developer's own `make install` is kept.
[[ -f $manifest ]] && cp "$manifest" "$work/manifest.saved"
cleanup() {
  if [[ -f $work/manifest.saved ]]; then mv "$work/manifest.saved" "$manifest"; else rm -f "$manifest"; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

root="$work/root"
prefix=/opt/korvanta
DESTDIR="$root" cmake --install "$build" --prefix "$prefix" >/dev/null
installed="$root$prefix"

desktop-file-validate "$installed/share/applications/korvanta.desktop"
appstreamcli validate --no-net "$installed"/share/metainfo/*.metainfo.xml
grep -q '<launchable type="desktop-id">korvanta.desktop</launchable>' "$installed"/share/metainfo/*.metainfo.xml ||
  fail "the metainfo does not launch korvanta.desktop"
for size in 16 32 48 64 128 256; do
  icon="$installed/share/icons/hicolor/${size}x${size}/apps/korvanta.png"
  [[ $(file -b "$icon") == "PNG image data, $size x $size,"* ]] || fail "$icon is not a $size-pixel PNG"
done
for page in korvanta korvanta-capture korvanta-deck korvanta-regsvr; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$installed/share/man/man1/$page.1" 2>&1 >/dev/null)
  [[ -z $warnings ]] || fail "$page.1: $warnings"
done

# A user with nothing set up, in a folder of their own, far from the build tree.
export XDG_CONFIG_HOME="$work/config" HOME="$work/home"
unset KORVANTA_REGISTRY
export ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME/elsewhere" "$XDG_CONFIG_HOME/korvanta"
cd "$HOME/elsewhere"
ffmpeg -v error -f lavfi -i testsrc=size=720x576:rate=25 -f lavfi -i sine=frequency=440:sample_rate=48000 \
  -t 2 -target pal-dv tape.dv

"$installed/bin/korvanta-regsvr" --all
servers=$("$installed/bin/korvanta-regsvr" --list)
[[ $(grep -c "$installed/lib/korvanta/modules/lib" <<<"$servers") == 5 ]] ||
  fail "the five installed modules are not registered: $servers"
[[ -d $XDG_CONFIG_HOME/korvanta/registry ]] || fail "the registry is not in the XDG configuration folder"

"$installed/bin/korvanta-deck" add --name "Install deck" --tape tape.dv --vendor KORVANTA --model "INSTALL DECK" \
  --id 4B4F5256414E5441 >/dev/null
"$installed/bin/korvanta-capture" --list-devices 2>/dev/null | grep -q "^KORVANTA INSTALL DECK" ||
  fail "the deck added by the installed korvanta-deck is not listed"

# The capture folder and file naming come from the user's settings.
printf '[Capture]\nFolder = %s\nFileNaming = Tape\nFileType = 2\n' "$HOME/captures" >"$XDG_CONFIG_HOME/korvanta/Settings.ini"
mkdir "$HOME/captures"
output=$("$installed/bin/korvanta-capture" --input tape.dv --threshold none 2>/dev/null)
[[ $output == "file: $HOME/captures/Tape"*" frames: 50" ]] || fail "unexpected capture: $output"
file=${output#file: }
file=${file% frames: 50}
[[ $(ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames -of csv=p=0 "$file") == 50 ]] ||
  fail "$file does not hold 50 frames"

# The texts come from the installed language file; korvanta.ini in the
# current folder selects the German one.
missing=$("$installed/bin/korvanta-capture" --input tape.dv --folder "$HOME/nowhere" 2>&1 >/dev/null || true)
[[ $missing == *"The folder for recorded files does not exist."* ]] || fail "no English text: $missing"
printf '[App]\nlanguage = Language-de.ini\n' >korvanta.ini
missing=$("$installed/bin/korvanta-capture" --input tape.dv --folder "$HOME/nowhere" 2>&1 >/dev/null || true)
[[ $missing == *"Der Ordner für aufgenommene Dateien existiert nicht."* ]] || fail "no German text: $missing"

# Uninstalling: the listed files gone, only empty folders remain.
# The manifest's last line has no newline.
while IFS= read -r path || [[ -n $path ]]; do rm -f "$root$path"; done <"$manifest"
left=$(find "$root" -not -type d)
[[ -z $left ]] || fail "left behind after removing the manifest's files: $left"
echo "installed, used and removed cleanly"
