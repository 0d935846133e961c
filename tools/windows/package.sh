#!/usr/bin/env bash
# Packages the Windows build: stages the two programs with the Qt and mingw DLLs they load into
# BUILD_DIR/stage/Vurnaboard, refuses a stage that imports a DLL it does not carry, and writes
# DIST_DIR/Vurnaboard-<version>.zip (the folder as it is) and DIST_DIR/Vurnaboard-<version>-setup.exe
# (the per-user installer, tools/windows/installer.nsi).
#   usage: package.sh BUILD_DIR QT_DIR DIST_DIR
set -euo pipefail
fail() { echo "package.sh: $*" >&2; exit 1; }
(( $# == 3 )) || fail "usage: package.sh BUILD_DIR QT_DIR DIST_DIR"
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
qt=$(cd "$2" && pwd)
mkdir -p "$3"
dist=$(cd "$3" && pwd)
objdump=x86_64-w64-mingw32-objdump
command -v "$objdump" >/dev/null || fail "$objdump is missing (bash tools/setup.sh --windows)"
command -v zip >/dev/null || fail "zip is missing (bash tools/setup.sh --windows)"
command -v makensis >/dev/null || fail "makensis is missing (bash tools/setup.sh --windows)"

# The package carries the version the programs' resource carries, which is what the update check
# compares; the resource script the build configured is where both come from.
resource=$build/Vurna3_version.rc
[[ -f $resource ]] || fail "$resource is missing: configure the Windows build first"
version=$(sed -n 's/^ *VALUE "ProductVersion", "\(.*\)"\r\{0,1\}$/\1/p' "$resource")
file_version=$(sed -n 's/^FILEVERSION \([0-9,]*\).*$/\1/p' "$resource" | tr , .)
[[ -n $version && -n $file_version ]] || fail "no ProductVersion or FILEVERSION in $resource"

# The Qt DLLs were built with this compiler's posix flavour; the newest one is what wine-run.sh uses.
gcc_dlls=$(printf '%s\n' /usr/lib/gcc/x86_64-w64-mingw32/*-posix | sort -V | tail -n 1)
[[ -d $gcc_dlls ]] || fail "no /usr/lib/gcc/x86_64-w64-mingw32/*-posix (g++-mingw-w64-x86-64-posix)"

stage_root=$build/stage
stage=$stage_root/Vurnaboard
rm -rf "$stage_root"
mkdir -p "$stage"

# put FILE [SUBFOLDER]: Qt looks for its plugins in category folders beside the program.
put() {
    [[ -f $1 ]] || fail "missing $1"
    mkdir -p "$stage/${2:-.}"
    cp "$1" "$stage/${2:-.}/"
}
put "$build/Vurna3.exe"
put "$build/Vurnup.exe"
for module in Core Gui Widgets Network; do
    put "$qt/bin/Qt6$module.dll"
done
put "$qt/plugins/platforms/qwindows.dll" platforms
put "$qt/plugins/platforms/qoffscreen.dll" platforms
put "$qt/plugins/styles/qwindowsvistastyle.dll" styles
put "$qt/plugins/imageformats/qico.dll" imageformats
put "$gcc_dlls/libstdc++-6.dll"
put "$gcc_dlls/libgcc_s_seh-1.dll"
put /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll
# Without it Qt would take the folder above the program as its prefix and load plugins from
# there too: under %LOCALAPPDATA%\Programs that is a folder every other program may write.
printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\n' >"$stage/qt.conf"
# Symbols and debugging sections are of no use on a member's PC and make up a third of the bytes
# (four fifths of libstdc++); Windows resolves imports through the export tables alone.
find "$stage" \( -name '*.exe' -o -name '*.dll' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +

# Windows finds a DLL in the program's folder (plugins' imports too) or among its own; an import
# that is neither would stop the program at start on a member's PC, where no Qt is installed.
declare -A known=()
for name in advapi32 authz bcrypt comctl32 comdlg32 crypt32 d3d11 d3d12 d3d9 dnsapi dwmapi dwrite dxgi gdi32 \
    imm32 iphlpapi kernel32 mpr msvcrt ncrypt netapi32 ntdll ole32 oleaut32 rpcrt4 secur32 setupapi shcore \
    shell32 shlwapi user32 userenv uxtheme version winhttp winmm wtsapi32 ws2_32; do
    known[$name.dll]=1
done
for f in "$stage"/*.dll; do
    name=${f##*/}
    known[${name,,}]=1
done
missing=()
while IFS= read -r file; do
    while IFS= read -r dll; do
        lower=${dll,,}
        if [[ -z ${known[$lower]:-} && $lower != api-ms-win-* && $lower != ext-ms-* ]]; then
            missing+=("${file#"$stage"/} imports $dll")
        fi
    done < <("$objdump" -p "$file" | sed -n 's/^\s*DLL Name: \(.*\)$/\1/p')
done < <(find "$stage" -type f \( -name '*.exe' -o -name '*.dll' \) | sort)
if (( ${#missing[@]} )); then
    printf '  %s\n' "${missing[@]}" >&2
    fail "the staged programs import DLLs that are neither staged nor part of Windows (above)"
fi

zip_file=$dist/Vurnaboard-$version.zip
setup_file=$dist/Vurnaboard-$version-setup.exe
rm -f "$zip_file" "$setup_file"
(cd "$stage_root" && zip -qrX "$zip_file" Vurnaboard)

# The uninstaller removes what this stage holds, file by file, so that nothing a member put into
# the program's folder is lost with it.
installed=$stage_root/installed-files.nsh
# shellcheck disable=SC2016 # $INSTDIR is the installer's own variable
{
    (cd "$stage" && find . -type f | sort) | while IFS= read -r f; do
        f=${f#./}
        printf 'Delete "$INSTDIR\\%s"\n' "${f//\//\\}"
    done
    (cd "$stage" && find . -mindepth 1 -type d | sort -r) | while IFS= read -r d; do
        d=${d#./}
        printf 'RMDir "$INSTDIR\\%s"\n' "${d//\//\\}"
    done
} >"$installed"

makensis -V2 -WX -INPUTCHARSET UTF8 \
    -DVERSION="$version" -DFILE_VERSION="$file_version" \
    -DSTAGE="$stage" -DINSTALLED_FILES="$installed" -DSIZE_KB="$(du -sk "$stage" | cut -f1)" \
    -DICON="$root/resources/windows/vurnaboard.ico" -DOUTFILE="$setup_file" \
    "$here/installer.nsi"
[[ -f $setup_file ]] || fail "makensis wrote no $setup_file"
echo "package.sh: $zip_file"
echo "package.sh: $setup_file"
