#!/usr/bin/env bash
# The Windows packages of a build in build-windows/ (scripts/windows/build.sh): a folder with
# both programs, the Qt DLLs and plugins they load, the compiler's runtime, Qt's Chinese texts,
# the sample history and the README; zipped as the portable copy and packed by NSIS as
# quarvel-setup-VERSION.exe. Usage: package.sh BUILD_DIR
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=$(cd "${1:?usage: package.sh BUILD_DIR}" && pwd)
prefix=${QUARVEL_WINDOWS_PREFIX:-$HOME/.cache/quarvel-windows}
qt=$prefix/qt
version=$(sed -n 's/^project(quarvel VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
name=quarvel-$version
out=$build/package
stage=$out/$name
strip=x86_64-w64-mingw32-strip

rm -rf "$out" && mkdir -p "$stage"
install -m 755 "$build/bin/quarvel.exe" "$build/bin/quarvel-cli.exe" "$stage/"
# The page fetch's module: Qt Network is loaded only when the update runs.
install -m 644 "$build/bin/quarvel_network.dll" "$stage/"
$strip "$stage/quarvel.exe" "$stage/quarvel-cli.exe"
for dll in Qt6Core Qt6Gui Qt6Widgets Qt6Network; do install -m 644 "$qt/bin/$dll.dll" "$stage/"; done
# Qt's plugins beside the programs, where qt.conf points Qt.
for plugin in platforms/qwindows styles/qwindowsvistastyle tls/qschannelbackend \
  tls/qcertonlybackend imageformats/qico; do
  if [ -f "$qt/plugins/$plugin.dll" ]; then
    install -D -m 644 "$qt/plugins/$plugin.dll" "$stage/$plugin.dll"
  fi
done
for dll in libstdc++-6.dll libgcc_s_seh-1.dll; do
  install -m 644 "$(x86_64-w64-mingw32-g++-posix -print-file-name=$dll)" "$stage/"
done
install -m 644 /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$stage/"
$strip "$stage"/*.dll "$stage"/*/*.dll
mkdir -p "$stage/translations"
for qm in qtbase_zh_CN qt_zh_CN; do
  if [ -f "/usr/share/qt6/translations/$qm.qm" ]; then
    install -m 644 "/usr/share/qt6/translations/$qm.qm" "$stage/translations/"
  fi
done
printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = translations\r\n' >"$stage/qt.conf"
install -D -m 644 "$build/bin/历史号码/示例历史号码.txt" "$stage/历史号码/示例历史号码.txt"
# The documents with Windows line ends, for Notepad.
sed 's/$/\r/' "$repo/README.md" >"$stage/README.txt"
sed 's/$/\r/' "$repo/LICENSE" >"$stage/LICENSE.txt"
# The user guide beside the program, where the help items look first.
install -m 644 "$repo/docs/使用说明.html" "$stage/使用说明.html"
install -m 644 "$build/icons/quarvel.ico" "$stage/"

# The portable zip: the folder as it is (the history is kept beside the programs).
(cd "$out" && zip -q -r -X "$build/$name-windows-x64.zip" "$name")

# The installer: its file lists name every installed file, so that the uninstaller removes
# those and nothing the user made.
: >"$out/install_files.nsh"
: >"$out/uninstall_files.nsh"
dirs=()
while IFS= read -r -d '' f; do
  rel=${f#"$stage"/}
  win=${rel//\//\\}
  dir=$(dirname "$rel")
  if [ "$dir" = . ]; then
    echo "SetOutPath \"\$INSTDIR\"" >>"$out/install_files.nsh"
  else
    echo "SetOutPath \"\$INSTDIR\\${dir//\//\\}\"" >>"$out/install_files.nsh"
    dirs+=("$dir")
  fi
  echo "File \"$f\"" >>"$out/install_files.nsh"
  echo "Delete \"\$INSTDIR\\$win\"" >>"$out/uninstall_files.nsh"
done < <(find "$stage" -type f -print0 | sort -z)
printf '%s\n' "${dirs[@]}" | sort -u -r | while IFS= read -r d; do
  [ -n "$d" ] && echo "RMDir \"\$INSTDIR\\${d//\//\\}\"" >>"$out/uninstall_files.nsh"
done
echo 'SetOutPath "$INSTDIR"' >>"$out/install_files.nsh"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DLISTS="$out" \
  -DOUTFILE="$build/quarvel-setup-$version.exe" "$repo/packaging/windows/quarvel.nsi"

ls -l "$build/$name-windows-x64.zip" "$build/quarvel-setup-$version.exe"
