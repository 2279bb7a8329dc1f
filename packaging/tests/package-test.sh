#!/usr/bin/env bash
# Builds the Debian package from a build folder, unpacks it into a new folder and starts
# both programs from there on a fresh home under the offscreen platform: the printing
# program must install the samples and the designer must open one, each with its
# libraries loaded from the unpacked package. Checks the layout, the menu entries, the
# file types and the package itself (lintian, failing on errors).
#   package-test.sh <build folder> [sanitize]
# A sanitizer build is skipped (77): its programs need the sanitizer run time.
set -uo pipefail

build=$(cd "$1" && pwd)
if [ "${2:-}" = sanitize ]; then
    echo "skipped: the package is made from the plain build"
    exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/dox-package-test.XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
need() { command -v "$1" >/dev/null || { echo "FAILED: $1 is missing (bash tools/install-deps.sh)"; exit 1; }; }
cpack=${CPACK:-cpack}
for tool in "$cpack" dpkg-deb dpkg-shlibdeps lintian desktop-file-validate update-mime-database \
            update-desktop-database gio xdg-mime xmllint readelf; do need "$tool"; done

echo "== building the package"
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"; echo "FAILED: cpack"; exit 1
fi
deb=$(ls "$work"/pkg/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { cat "$work/cpack.log"; echo "FAILED: no package made"; exit 1; }
root=$work/root
dpkg-deb -x "$deb" "$root" || { echo "FAILED: dpkg-deb -x"; exit 1; }

echo "== layout"
for file in usr/bin/DoxKQRunner usr/bin/DoxDesigner \
            usr/lib/dox/libDoxCore.so usr/lib/dox/libBrindle.so usr/lib/dox/libVududirura.so \
            usr/lib/dox/libDoxKQPlus.so usr/lib/dox/libMarvConnKQCalcFunc.so \
            usr/share/DoxKQRunner/templates/version.vvc \
            usr/share/applications/DoxKQRunner.desktop usr/share/applications/DoxTemplateDesigner.desktop \
            usr/share/mime/packages/dox.xml \
            usr/share/doc/dox/copyright usr/share/doc/dox/changelog.gz usr/share/doc/dox/README.md \
            usr/share/doc/dox/template-file.md usr/share/man/man1/DoxKQRunner.1.gz; do
    [ -f "$root/$file" ] || fail "$file is not in the package"
done
ls "$root"/usr/share/DoxKQRunner/templates/*.dxt >/dev/null 2>&1 || fail "no sample template in the package"
for size in 16 22 24 32 48 64 128 256; do
    for icon in apps/DoxKQRunner apps/DoxDesigner mimetypes/application-x-dox-template mimetypes/application-x-dox-backup; do
        [ -f "$root/usr/share/icons/hicolor/${size}x${size}/$icon.png" ] || fail "icon ${size}x${size}/$icon.png missing"
    done
done
# Libraries are found relative to the binary, never through a folder of the build.
while IFS= read -r -d '' elf; do
    cmp -s -n 4 "$elf" <(printf '\177ELF') || continue
    while read -r path; do
        case "$path" in
            '$ORIGIN'|'$ORIGIN/'*) ;;
            *) fail "${elf#"$root"/} searches libraries in $path" ;;
        esac
    done < <(readelf -d "$elf" | sed -n 's/.*(R\(UN\)\{0,1\}PATH).*\[\(.*\)\]/\2/p' | tr ':' '\n')
done < <(find "$root" -type f -print0)
if grep -rlF "$build" "$root" >"$work/build-paths"; then
    fail "files keep the build folder's path: $(tr '\n' ' ' <"$work/build-paths")"
fi
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 qt6-qpa-plugins \
               libsqlite3-0 libtinyxml2-9 zlib1g libgcab-1.0-0 fonts-wqy-zenhei; do
    grep -qE "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends lacks $package: $depends"
done

echo "== menu entries and file types"
for entry in "$root"/usr/share/applications/*.desktop; do
    desktop-file-validate "$entry" || fail "desktop-file-validate $(basename "$entry")"
    program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
    [ -x "$root/usr/bin/$program" ] || fail "$(basename "$entry") starts $program, which is not in usr/bin"
    grep -qx 'Categories=Office;' "$entry" || fail "$(basename "$entry") is not in Office"
    grep -qx 'MimeType=application/x-dox-template;' "$entry" || fail "$(basename "$entry") does not open templates"
    grep -q '^Name\[zh_CN\]=' "$entry" || fail "$(basename "$entry") has no Chinese name"
done
xmllint --noout "$root/usr/share/mime/packages/dox.xml" || fail "xmllint dox.xml"
# Files that administrators and other packages write are not the package's.
if find "$root" -name '*mimeapps.list' -o -name 'defaults.list' -o -name 'mimeinfo.cache' | grep -q .; then
    fail "the package ships a list of default applications: $(find "$root" -name '*.list' -o -name '*.cache')"
fi
# A double-clicked template opens in the printing program; the designer is still offered.
# The desktop as it stands after the install: the entries with their cache, the
# programs on the path, and no choice of the user's; asked as GIO and as xdg-mime ask,
# on no desktop and on some usual ones.
mkdir -p "$work/xdg/share" "$work/xdg/home" "$work/xdg/config"
cp -r "$root/usr/share/applications" "$work/xdg/share/"
update-desktop-database "$work/xdg/share/applications" || fail "update-desktop-database"
for desktop in "" GNOME XFCE LXQt; do
    desktop_env=(env -i PATH="$root/usr/bin:/usr/bin:/bin" HOME="$work/xdg/home" XDG_DATA_HOME="$work/xdg/home"
                 XDG_CONFIG_HOME="$work/xdg/config" XDG_CONFIG_DIRS="$work/xdg/config"
                 XDG_DATA_DIRS="$work/xdg/share" XDG_CURRENT_DESKTOP="$desktop")
    gio_mime=$("${desktop_env[@]}" gio mime application/x-dox-template 2>&1)
    grep -q "^Default application for .*: DoxKQRunner.desktop$" <<<"$gio_mime" ||
        fail "gio's default for templates on '$desktop' is not DoxKQRunner: $gio_mime"
    grep -q "^[[:space:]]*DoxTemplateDesigner.desktop$" <<<"$gio_mime" ||
        fail "gio does not offer the designer for templates on '$desktop': $gio_mime"
    xdg_default=$("${desktop_env[@]}" xdg-mime query default application/x-dox-template 2>&1)
    [ "$xdg_default" = DoxKQRunner.desktop ] ||
        fail "xdg-mime's default for templates on '$desktop' is not DoxKQRunner: $xdg_default"
done
mkdir -p "$work/mime/packages"
cp "$root/usr/share/mime/packages/dox.xml" "$work/mime/packages/"
if ! XDG_DATA_DIRS=$work update-mime-database "$work/mime" >"$work/mime.log" 2>&1 || [ -s "$work/mime.log" ]; then
    cat "$work/mime.log"; fail "update-mime-database"
fi
grep -q 'x-dox-template:\*\.dxt$' "$work/mime/globs2" || fail "no glob *.dxt for templates"
grep -q 'x-dox-backup:\*\.dxb$' "$work/mime/globs2" || fail "no glob *.dxb for backups"
grep -q 'x-dox-backup application/vnd.ms-cab-compressed$' "$work/mime/subclasses" || fail "backups are not cabinets"
# The magic: offset 0, the 7 bytes of "DOXDOT!".
printf '[50:application/x-dox-template]\n>0=\0\007DOXDOT!\n' >"$work/magic-expected"
cmp -s <(tail -c +13 "$work/mime/magic") "$work/magic-expected" ||
    fail "templates are not told by the magic DOXDOT! at offset 0"
for type in template backup; do
    grep -qx "application/x-dox-$type:application-x-dox-$type" "$work/mime/icons" || fail "no icon for $type files"
done

echo "== starting the programs from the package"
home=$work/home
mkdir -p "$home/run"
chmod 700 "$home/run"
# A person's session: no variable of the build or the test environment leaks in.
start() {
    local log=$1; shift
    (cd "$home" && exec env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/run" \
        LANG=zh_CN.UTF-8 QT_QPA_PLATFORM=offscreen "$@" >"$log" 2>&1) &
    pids+=($!)
    started=$!
}
# Waits until the check passes while the program keeps running (60 s at most: CI is busy).
wait_for() {
    local pid=$1 check=$2
    for _ in $(seq 600); do
        kill -0 "$pid" 2>/dev/null || return 1
        eval "$check" && return 0
        sleep 0.1
    done
    return 1
}
loaded_from_package() {
    local pid=$1 library
    for library in libDoxCore.so libDoxKQPlus.so libMarvConnKQCalcFunc.so libBrindle.so libVududirura.so; do
        grep -q " $root/usr/lib/dox/$library\$" "/proc/$pid/maps" 2>/dev/null || return 1
    done
}

library=$home/.local/share/DoxKQRunner/templates
start "$work/runner.log" "$root/usr/bin/DoxKQRunner"
runner=$started
if wait_for "$runner" "loaded_from_package $runner && [ -f '$library/version.vvc' ]"; then
    sleep 1
    kill -0 "$runner" 2>/dev/null || fail "DoxKQRunner ended after starting"
    for sample in "$root"/usr/share/DoxKQRunner/templates/*.dxt; do
        cmp -s "$sample" "$library/$(basename "$sample")" || fail "sample $(basename "$sample") not installed"
    done
else
    cat "$work/runner.log"; fail "DoxKQRunner did not come up with the libraries of the package and the samples"
fi
kill "$runner" 2>/dev/null

template=$library/转账支票.dxt
[ -f "$template" ] || template=$(ls "$library"/*.dxt 2>/dev/null | head -n 1)
if [ -n "$template" ]; then
    start "$work/designer.log" "$root/usr/bin/DoxDesigner" "$template"
    designer=$started
    opened() { ls -l "/proc/$1/fd" 2>/dev/null | grep -qF -- "-> $template"; }
    if wait_for "$designer" "loaded_from_package $designer && opened $designer"; then
        sleep 1
        kill -0 "$designer" 2>/dev/null || fail "DoxDesigner ended after opening $(basename "$template")"
    else
        cat "$work/designer.log"; fail "DoxDesigner did not come up with $(basename "$template") open"
    fi
    kill "$designer" 2>/dev/null
else
    fail "no template in the user's library to open in the designer"
fi

echo "== lintian"
lintian --fail-on error "$deb" || fail "lintian reports errors"

[ "$failures" = 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "the package installs and both programs start from it"
