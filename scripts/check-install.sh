#!/usr/bin/env bash
# Installs a build tree into a scratch folder and reads what landed there as
# the desktop's own tools do: the desktop entry (desktop-file-validate), the
# AppStream metadata with the entry and icon it names (appstreamcli
# validate-tree) and the manual pages (man). The program's --version must name
# the AppStream release. Any complaint fails.
set -uo pipefail
build=${1:?usage: check-install.sh BUILD_DIR}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failed=0

complain() {
  echo "check-install: $*" >&2
  failed=1
}

cmake --install "$build" --prefix "$prefix" >/dev/null || { complain "cmake --install failed"; exit 1; }

for file in bin/farlisten share/applications/farlisten.desktop \
    share/icons/hicolor/scalable/apps/farlisten.svg \
    share/metainfo/io.github.farlisten.farlisten.metainfo.xml share/man/man1/farlisten.1 \
    share/doc/farlisten/README.md; do
  [ -f "$prefix/$file" ] || complain "not installed: $file"
done
for size in 16 22 24 32 48 64 128 256 512; do
  [ -f "$prefix/share/icons/hicolor/${size}x${size}/apps/farlisten.png" ] || complain "no ${size}x${size} icon"
done

release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$prefix/share/metainfo/io.github.farlisten.farlisten.metainfo.xml")
out=$("$prefix/bin/farlisten" --version 2>&1)
[ "$out" = "Farlisten $release" ] || complain "farlisten --version printed '$out', the AppStream release is '$release'"

out=$(desktop-file-validate "$prefix/share/applications/farlisten.desktop" 2>&1)
[ $? -eq 0 ] && [ -z "$out" ] || complain "desktop-file-validate: $out"

out=$(appstreamcli validate-tree --no-net --pedantic "$prefix" 2>&1)
rc=$?
# Success is a single line; every finding is a line of its own with a letter
# for its weight (E, W, I, P).
if [ $rc -ne 0 ] || grep -qE '^[EWIP]: ' <<<"$out"; then
  complain "appstreamcli validate-tree: $out"
fi

pages=("$prefix"/share/man/man1/*.1)
for page in "${pages[@]}"; do
  out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [ -z "$out" ] || complain "man $(basename "$page"): $out"
done
grep -q 'farlisten - listen to public web shortwave receivers' \
  < <(LC_ALL=C.UTF-8 MANWIDTH=80 man -E UTF-8 -l "$prefix/share/man/man1/farlisten.1" 2>/dev/null) \
  || complain "man: the page does not read"

[ $failed -eq 0 ] && echo "check-install: program, desktop entry, icons, metainfo, manual pages ($(basename -a "${pages[@]}" | tr '\n' ' ')) and README installed and clean"
exit $failed
