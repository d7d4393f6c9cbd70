#!/usr/bin/env bash
# Checks the download packages that scripts/package.sh wrote:
# - the archive names carry the version the built plug-in reports to hosts;
# - each archive unpacks into exactly the layout its INSTALL.txt lists: every
#   listed file and folder is there, every file lies in a listed place, each
#   bank holds the number of presets stated;
# - the plug-in binaries in them are byte for byte the ones the tests ran on.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

fail() {
  echo "check_package: $*" >&2
  exit 1
}

vendor=$(build/native/bin/vsthost info build/native/plugin/Tessaravox.so | sed -n 's/^Vendor version: //p')
[ -n "$vendor" ] || fail "the built plug-in reports no vendor version"
version="$((vendor / 1000)).$((vendor / 100 % 10)).$((vendor % 100))"
name="Tessaravox-$version"
zip_file="dist/$name-windows.zip"
tar_file="dist/$name-linux-x86_64.tar.gz"
[ -f "$zip_file" ] || fail "$zip_file is missing (vendor version $vendor)"
[ -f "$tar_file" ] || fail "$tar_file is missing (vendor version $vendor)"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT

# check_layout FOLDER: FOLDER/$name/INSTALL.txt against what FOLDER holds.
check_layout() {
  local top=$1/$name
  [ -f "$top/INSTALL.txt" ] || fail "no $name/INSTALL.txt in $1"
  [ "$(ls -A "$1")" = "$name" ] || fail "the archive holds more than the folder $name"
  # Listed entries: the indented lines of the contents list, path then two
  # or more spaces and a description; folders end in "/".
  local listed
  listed=$(tr -d '\r' <"$top/INSTALL.txt" | sed -n 's/^  \([^ ].*[^ ]\)  \+\(.*\)$/\1\t\2/p')
  [ -n "$listed" ] || fail "INSTALL.txt lists no contents"
  local path description count
  while IFS=$'\t' read -r path description; do
    if [[ $path == */ ]]; then
      [ -d "$top/$path" ] || fail "INSTALL.txt lists $path, which the archive lacks"
      if [[ $description =~ ^bank\ of\ ([0-9]+)\ presets$ ]]; then
        count=$(find "$top/$path" -maxdepth 1 -type f -name '*.prs' | wc -l)
        [ "$count" -eq "${BASH_REMATCH[1]}" ] || fail "$path holds $count presets, INSTALL.txt says ${BASH_REMATCH[1]}"
        [ "$count" -eq "$(find "$top/$path" -type f | wc -l)" ] || fail "$path holds files other than presets"
      fi
    else
      [ -f "$top/$path" ] || fail "INSTALL.txt lists $path, which the archive lacks"
    fi
  done <<<"$listed"
  local file relative folder covered
  while IFS= read -r file; do
    relative=${file#"$top/"}
    covered=no
    while IFS=$'\t' read -r path description; do
      if [ "$relative" = "$path" ] || { [[ $path == */ ]] && [[ $relative == "$path"* ]]; }; then
        covered=yes
        break
      fi
    done <<<"$listed"
    [ "$covered" = yes ] || fail "$relative is in the archive but not in INSTALL.txt"
  done < <(find "$top" -type f)
  # The folders the home folder needs exist even without themes.
  for folder in Tessaravox_Data/Presets Tessaravox_Data/Themes; do
    [ -d "$top/$folder" ] || fail "no $folder in the archive"
  done
}

mkdir -p "$unpacked/windows" "$unpacked/linux"
(cd "$unpacked/windows" && unzip -q "$root/$zip_file")
tar -xzf "$tar_file" -C "$unpacked/linux"
check_layout "$unpacked/windows"
check_layout "$unpacked/linux"

cmp -s "$unpacked/windows/$name/Tessaravox.dll" build/win64/plugin/Tessaravox.dll ||
  fail "Tessaravox.dll in the zip differs from build/win64/plugin/Tessaravox.dll"
cmp -s "$unpacked/windows/$name/Tessaravox_32.dll" build/win32/plugin/Tessaravox_32.dll ||
  fail "Tessaravox_32.dll in the zip differs from build/win32/plugin/Tessaravox_32.dll"
cmp -s "$unpacked/linux/$name/Tessaravox.so" build/native/plugin/Tessaravox.so ||
  fail "Tessaravox.so in the archive differs from build/native/plugin/Tessaravox.so"
diff -r "$unpacked/windows/$name/Tessaravox_Data" "$unpacked/linux/$name/Tessaravox_Data" >/dev/null ||
  fail "the two packages hold different data"
echo "check_package: $zip_file and $tar_file match their INSTALL.txt and the tested plug-ins"
