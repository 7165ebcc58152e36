#!/usr/bin/env bash
# Installs the build into a scratch prefix, checks the desktop layout and
# that the program starts through its link, then uninstalls and checks
# that nothing is left. The build's own install_manifest.txt is kept.
set -euo pipefail
build=$1
source_dir=$2
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
for f in lib/tessary/tessary lib/tessary/commands.dat share/applications/tessary.desktop share/mime/packages/tessary.xml \
         share/icons/hicolor/48x48/apps/tessary.png share/icons/hicolor/scalable/apps/tessary.svg; do
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
