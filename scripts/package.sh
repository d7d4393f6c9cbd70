#!/usr/bin/env bash
# Writes the download packages from the built plug-ins:
#   dist/Tessaravox-<version>-windows.zip        both DLLs, the factory banks, our themes, INSTALL.txt
#   dist/Tessaravox-<version>-linux-x86_64.tar.gz the .so and the same data
# Each unpacks into one folder, Tessaravox-<version>, whose Tessaravox_Data
# folder is laid out as the plug-in's home folder: Presets/<bank>/*.prs and
# Themes/<theme>/. The version is the one the build derived from the
# plug-in's vendor version (build/native/version.txt).
# Needs the native, win64 and win32 builds (scripts/build.sh makes them).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

version_file=build/native/version.txt
dll64=build/win64/plugin/Tessaravox.dll
dll32=build/win32/plugin/Tessaravox_32.dll
so=build/native/plugin/Tessaravox.so
for needed in "$version_file" "$dll64" "$dll32" "$so"; do
  if [ ! -f "$needed" ]; then
    echo "package: $needed is missing; build the three configurations first (scripts/build.sh)" >&2
    exit 1
  fi
done
version=$(cat "$version_file")
name="Tessaravox-$version"
stage=build/package
rm -rf "$stage"
mkdir -p "$stage/windows/$name" "$stage/linux/$name" dist

# The factory banks and our themes, as the home folder holds them.
copy_data() {
  local data=$1/Tessaravox_Data
  mkdir -p "$data/Presets" "$data/Themes"
  local bank
  for bank in presets/*/; do
    [ -d "$bank" ] || continue
    mkdir -p "$data/Presets/$(basename "$bank")"
    cp "$bank"*.prs "$data/Presets/$(basename "$bank")/"
  done
  local theme
  for theme in themes/*/; do
    [ -d "$theme" ] || continue
    cp -R "$theme" "$data/Themes/$(basename "$theme")"
  done
}

# The contents list of INSTALL.txt: one line per file or folder of the
# archive, relative to its top folder. scripts/check_package.sh reads it.
contents() {
  local plugins=$1
  echo "$plugins"
  local bank count
  for bank in presets/*/; do
    [ -d "$bank" ] || continue
    count=$(find "$bank" -maxdepth 1 -name '*.prs' | wc -l)
    printf '  %-42s  %s\n' "Tessaravox_Data/Presets/$(basename "$bank")/" "bank of $count presets"
  done
  local theme
  if compgen -G "themes/*/" >/dev/null; then
    for theme in themes/*/; do
      printf '  %-42s  %s\n' "Tessaravox_Data/Themes/$(basename "$theme")/" "colour theme"
    done
  else
    printf '  %-42s  %s\n' "Tessaravox_Data/Themes/" "empty, for themes of your own"
  fi
  printf '  %-42s  %s\n' "INSTALL.txt" "this file"
}

menus_note() {
  cat <<'NOTE'
3. Where the menus are

The right mouse button opens the menus: on the header strip at the top of
the window the main menu (save, load and init presets, window size, themes,
preset banks, MIDI controller settings); on a module's title bar that
module's menu (copy, paste, reset and more). A click on the preset name
lists the presets of the current bank and, below them, every bank with its
presets. The editor names these menus in its header when the mouse rests
where they open.
NOTE
}

themes_note() {
  if compgen -G "themes/*/" >/dev/null; then
    echo "Each folder under Themes is a colour theme: choose it in the main menu's"
    echo "theme list; it takes effect the next time the editor opens."
  else
    echo "Themes of your own go into the Themes folder, one folder per theme."
  fi
}

write_windows_install() {
  local plugins
  plugins=$(printf '  %-42s  %s\n  %-42s  %s' "Tessaravox.dll" "the plug-in for 64-bit hosts" \
    "Tessaravox_32.dll" "the plug-in for 32-bit hosts")
  cat <<EOF
Tessaravox $version for Windows
VST 2.4 instrument by Morrowfen Software

The archive unpacks into one folder, $name, holding:

$(contents "$plugins")

1. The plug-in

Copy the DLL that matches your host into one of the host's VST 2 plug-in
folders, for example C:\\Program Files\\VSTPlugins or
C:\\Program Files\\Steinberg\\VstPlugins, or any folder you add in the host's
plug-in settings, and let the host rescan its plug-ins: Tessaravox.dll for a
64-bit host, Tessaravox_32.dll for a 32-bit host. Nothing else needs to be
installed: the C++ runtime is linked into the DLL.

2. The sound library and the themes

Tessaravox keeps its presets, themes and settings in its home folder. Choose
one of two ways:

a) Usual install: copy the two folders inside Tessaravox_Data, Presets and
   Themes, into

       %LOCALAPPDATA%\\Morrowfen Software\\Tessaravox

   (for example C:\\Users\\<you>\\AppData\\Local\\Morrowfen Software\\Tessaravox),
   merging them with the folders there. The plug-in creates this folder the
   first time it runs; its main menu opens it with "Show Home Folder".

b) Portable install: copy the whole Tessaravox_Data folder into the same
   folder as the DLL. When a Tessaravox_Data folder sits beside the plug-in,
   Tessaravox uses it as its home folder instead, settings included.

Each folder under Presets is a preset bank: choose it in the main menu's
preset bank list, then pick its presets from the preset menu or step through
them with the arrows.

$(themes_note)

$(menus_note)
EOF
}

write_linux_install() {
  local plugins
  plugins=$(printf '  %-42s  %s' "Tessaravox.so" "the plug-in for 64-bit Linux hosts")
  cat <<EOF
Tessaravox $version for Linux (x86-64)
VST 2.4 instrument by Morrowfen Software

The archive unpacks into one folder, $name, holding:

$(contents "$plugins")

1. The plug-in

Copy Tessaravox.so into a folder your host scans for VST 2 plug-ins, for
example ~/.vst or /usr/lib/vst, and let the host rescan its plug-ins.

2. The sound library and the themes

Tessaravox keeps its presets, themes and settings in its home folder. Choose
one of two ways:

a) Usual install: copy the two folders inside Tessaravox_Data, Presets and
   Themes, into

       \${XDG_DATA_HOME:-~/.local/share}/Morrowfen Software/Tessaravox

   merging them with the folders there. The plug-in creates this folder the
   first time it runs.

b) Portable install: copy the whole Tessaravox_Data folder into the same
   folder as Tessaravox.so. When a Tessaravox_Data folder sits beside the
   plug-in, Tessaravox uses it as its home folder instead, settings included.

Each folder under Presets is a preset bank: choose it in the main menu's
preset bank list, then pick its presets from the preset menu or step through
them with the arrows.

$(themes_note)

$(menus_note)
EOF
}

# CR LF, so that Notepad shows the lines on any Windows version.
win="$stage/windows/$name"
cp "$dll64" "$dll32" "$win/"
copy_data "$win"
write_windows_install | sed 's/$/\r/' >"$win/INSTALL.txt"

lin="$stage/linux/$name"
cp "$so" "$lin/"
copy_data "$lin"
write_linux_install >"$lin/INSTALL.txt"

zip_file="dist/$name-windows.zip"
tar_file="dist/$name-linux-x86_64.tar.gz"
rm -f "$zip_file" "$tar_file"
(cd "$stage/windows" && zip -q -r -X "$root/$zip_file" "$name")
tar -czf "$tar_file" -C "$stage/linux" --owner=0 --group=0 --sort=name "$name"
echo "package: $zip_file, $tar_file"
