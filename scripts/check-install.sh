#!/usr/bin/env bash
# Installs a build tree into a scratch folder and reads what landed there as
# the desktop's own tools do: the desktop entry (desktop-file-validate), the
# AppStream metadata with the entry and icon it names (appstreamcli
# validate-tree) and the manual page (man). Any complaint fails.
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

out=$(desktop-file-validate "$prefix/share/applications/farlisten.desktop" 2>&1)
[ $? -eq 0 ] && [ -z "$out" ] || complain "desktop-file-validate: $out"

out=$(appstreamcli validate-tree --no-net --pedantic "$prefix" 2>&1)
rc=$?
# Success is a single line; every finding is a line of its own with a letter
# for its weight (E, W, I, P).
if [ $rc -ne 0 ] || grep -qE '^[EWIP]: ' <<<"$out"; then
  complain "appstreamcli validate-tree: $out"
fi

out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$prefix/share/man/man1/farlisten.1" 2>&1 >/dev/null)
[ -z "$out" ] || complain "man: $out"
grep -q 'farlisten - listen to public web shortwave receivers' \
  < <(LC_ALL=C.UTF-8 MANWIDTH=80 man -E UTF-8 -l "$prefix/share/man/man1/farlisten.1" 2>/dev/null) \
  || complain "man: the page does not read"

[ $failed -eq 0 ] && echo "check-install: program, desktop entry, icon, metainfo, manual page and README installed and clean"
exit $failed
