#!/usr/bin/env bash
# Installs the build into a scratch prefix, checks the desktop layout, then
# uninstalls and checks that nothing is left. Then builds the Debian package,
# checks its contents and desktop files, and installs, starts and removes it
# in a throwaway dpkg root. The build's own install_manifest.txt is kept.
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
scratch=$(mktemp -d)
manifest=$build/install_manifest.txt
[ -f "$manifest" ] && cp "$manifest" "$scratch/kept_manifest"
restore() {
    if [ -f "$scratch/kept_manifest" ]; then cp "$scratch/kept_manifest" "$manifest"; else rm -f "$manifest"; fi
    rm -rf "$scratch"
}
trap restore EXIT

prefix=$scratch/usr
cmake --install "$build" --prefix "$prefix" >/dev/null
installed_files=(lib/tessary/tessary lib/tessary/commands.dat lib/tessary/uses.tsv lib/tessary/installed
                 share/applications/tessary.desktop share/mime/packages/tessary.xml
                 share/icons/hicolor/48x48/apps/tessary.png share/icons/hicolor/scalable/apps/tessary.svg
                 share/metainfo/org.tessary.tessary.metainfo.xml share/man/man1/tessary.1.gz)
for f in "${installed_files[@]}"; do
    [ -f "$prefix/$f" ] || { echo "missing $f"; exit 1; }
done
[ "$(readlink -f "$prefix/bin/tessary")" = "$prefix/lib/tessary/tessary" ] || { echo "bin/tessary does not lead to the program"; exit 1; }
grep -qx "Exec=\"$prefix/bin/tessary\" %f" "$prefix/share/applications/tessary.desktop" || { echo "launcher does not start the link"; exit 1; }
if command -v update-mime-database >/dev/null; then
    grep -q 'x-tessary-cfg:\*\.cfg' "$prefix/share/mime/globs2" || { echo "MIME database not refreshed"; exit 1; }
fi

cp "$manifest" "$scratch/manifest"
cmake -DMANIFEST="$scratch/manifest" -P "$source_dir/cmake/Uninstall.cmake" >/dev/null
left=$(find "$prefix" \( -type f -o -type l \) ! -path "$prefix/share/mime/*" ! -name 'icon-theme.cache' ! -name 'mimeinfo.cache')
[ -z "$left" ] || { echo "left after uninstall:"; echo "$left"; exit 1; }
[ ! -e "$prefix/lib/tessary" ] || { echo "program folder left after uninstall"; exit 1; }
[ ! -e "$prefix/share/mime/packages/tessary.xml" ] || { echo "MIME definitions left"; exit 1; }
echo "install and uninstall ok"

# The package. Its tools are in the test command's package list: a missing
# one fails here rather than skipping the check.
for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli man; do
    command -v "$tool" >/dev/null || { echo "$tool is needed to check the package"; exit 1; }
done
(cd "$scratch" && cpack --config "$build/CPackConfig.cmake" -B "$scratch/package" >"$scratch/cpack.log" 2>&1) \
    || { cat "$scratch/cpack.log"; exit 1; }
deb=$(ls "$scratch"/package/tessary_*.deb)
listing=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in bin/tessary "${installed_files[@]}"; do
    grep -qx "./usr/$f" <<<"$listing" || { echo "the package lacks /usr/$f"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libqt6widgets6' <<<"$depends" || { echo "the package does not depend on the Qt runtime: $depends"; exit 1; }
! grep -q -- '-dev' <<<"$depends" || { echo "the package depends on a development package: $depends"; exit 1; }

unpacked=$scratch/unpacked
dpkg-deb -x "$deb" "$unpacked"
desktop-file-validate "$unpacked/usr/share/applications/tessary.desktop"
grep -qx 'Exec="/usr/bin/tessary" %f' "$unpacked/usr/share/applications/tessary.desktop" \
    || { echo "the packaged launcher does not start /usr/bin/tessary"; exit 1; }
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/org.tessary.tessary.metainfo.xml" >/dev/null
man_warnings=$(MANWIDTH=80 man --warnings -l "$unpacked/usr/share/man/man1/tessary.1.gz" 2>&1 >/dev/null)
[ -z "$man_warnings" ] || { echo "the manual page does not render cleanly: $man_warnings"; exit 1; }
MANWIDTH=80 man -l "$unpacked/usr/share/man/man1/tessary.1.gz" | grep -q 'recovery' \
    || { echo "the manual page lacks the recovery copies"; exit 1; }

# Installed into an empty dpkg root (the libraries it depends on are the
# host's), started once as root with a document, and removed: nothing of it
# may stay behind, data.dat included.
root=$scratch/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
dpkg --root="$root" --force-depends -i "$deb" >/dev/null 2>&1 || { echo "dpkg could not install the package"; exit 1; }
printf 'sensitivity 3\r\n' > "$scratch/config.cfg"
mkdir -p "$scratch/xdg"
# It runs until its data.dat is there (at most 20 seconds), then is killed.
XDG_DATA_HOME=$scratch/xdg QT_QPA_PLATFORM=offscreen "$root/usr/bin/tessary" "$scratch/config.cfg" >/dev/null 2>&1 &
program=$!
for _ in $(seq 200); do
    [ -f "$scratch/xdg/Tessary/data.dat" ] && break
    sleep 0.1
done
kill -KILL "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
[ -f "$scratch/xdg/Tessary/data.dat" ] || { echo "the installed program did not keep its data in the user's folder"; exit 1; }
dpkg --root="$root" --force-depends -r tessary >/dev/null 2>&1 || { echo "dpkg could not remove the package"; exit 1; }
left=$(find "$root" -mindepth 1 -path "$root/var" -prune -o -print)
[ -z "$left" ] || { echo "left after removing the package:"; echo "$left"; exit 1; }
echo "package ok"
