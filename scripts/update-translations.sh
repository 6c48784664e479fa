#!/usr/bin/env bash
# Brings translations/*.ts up to date with the texts in src/: new texts are
# added (unfinished, for a translator to fill in), texts no longer in the
# code are dropped. No source locations are written, so that the files change
# only where a text does.
#   update-translations.sh [--check] [LUPDATE]
# --check leaves the files alone: it updates copies and fails, naming the
# texts, when one in the code is missing from a file or not yet translated.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

check=false
if [ "${1:-}" = --check ]; then
  check=true
  shift
fi
# Qt 6's lupdate, not a Qt 5 one that may come first on the PATH.
lupdate=${1:-/usr/lib/qt6/bin/lupdate}

shopt -s nullglob
files=("$here"/translations/*.ts)
[ ${#files[@]} -gt 0 ] || { echo "update-translations.sh: no translations/*.ts" >&2; exit 2; }

if ! $check; then
  exec "$lupdate" -silent -locations none -no-obsolete "$here/src" -ts "${files[@]}"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
copies=()
for f in "${files[@]}"; do
  cp "$f" "$work/"
  copies+=("$work/$(basename "$f")")
done
"$lupdate" -silent -locations none -no-obsolete "$here/src" -ts "${copies[@]}"

status=0
for copy in "${copies[@]}"; do
  name=translations/$(basename "$copy")
  unfinished=$(grep -c 'type="unfinished"' "$copy" || true)
  if [ "$unfinished" -gt 0 ]; then
    echo "$name: $unfinished texts without a finished translation:" >&2
    grep -B2 'type="unfinished"' "$copy" | grep '<source>' >&2 || true
    status=1
  fi
done
if [ $status -ne 0 ]; then
  echo "Run scripts/update-translations.sh (or the update_translations target) and translate what it adds." >&2
fi
exit $status
