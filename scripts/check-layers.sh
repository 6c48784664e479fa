#!/usr/bin/env bash
# Fails when an #include in src/ runs against the layers drawn in
# docs/ARCHITECTURE.md: a folder may include its own headers and those of the
# folders its line names, nothing else of src/. The drawing is read from the
# block that follows the line "<!-- layers: read by scripts/check-layers.sh -->",
# so the picture and the check cannot drift apart.
#
#   scripts/check-layers.sh [ROOT]      ROOT holds src/ and docs/ (default: the checkout)
#   scripts/check-layers.sh --plant FILE HEADER
#       proves the check: in a copy of the checkout, FILE (under src/) gets
#       '#include "HEADER"'; succeeds only if the check then fails naming it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ "${1:-}" = "--plant" ]; then
  file=${2:?--plant FILE HEADER} header=${3:?--plant FILE HEADER}
  copy=$(mktemp -d)
  trap 'rm -rf "$copy"' EXIT
  cp -r "$here/../src" "$here/../docs" "$copy/"
  printf '#include "%s"\n' "$header" >> "$copy/src/$file"
  if report=$(bash "$0" "$copy" 2>&1); then
    echo "check-layers: an include of $header in $file passed" >&2
    exit 1
  fi
  case "$report" in
    *"src/$file:"*"$header"*) echo "$report"; exit 0 ;;
    *) echo "check-layers: the planted include was not named: $report" >&2; exit 1 ;;
  esac
fi
root=${1:-$(cd "$here/.." && pwd)}
doc="$root/docs/ARCHITECTURE.md"

# "floor N  folder  -> a, b, c" or "         folder  (Qt only)", one folder a line.
rules=$(awk '
  /<!-- layers: read by scripts\/check-layers.sh -->/ { armed = 1; next }
  armed && /^```/ { if (inside) exit; inside = 1; next }
  inside {
    line = $0
    sub(/^floor [0-9]+/, "", line)
    n = split(line, parts, "->")
    folder = parts[1]; gsub(/[[:space:]]|\(Qt only\)/, "", folder)
    if (folder == "") next
    allowed = (n > 1) ? parts[2] : ""
    gsub(/[[:space:]]/, "", allowed)
    print folder " " allowed
  }' "$doc")
[ -n "$rules" ] || { echo "check-layers: no layer drawing found in $doc" >&2; exit 2; }

declare -A allowed_by
while read -r folder allowed; do
  allowed_by[$folder]=",$folder,${allowed},"
done <<< "$rules"

# The folder a path under src/ belongs to: its own directory when that is
# drawn (bookmarks/ui), else its first one; nothing when neither is.
# Sets `folder` rather than printing it: no subshell per include.
folder_of() {
  local path=$1
  folder=""
  if [ -n "${allowed_by[${path%/*}]:-}" ]; then
    folder=${path%/*}
  elif [ "${path#*/}" != "$path" ] && [ -n "${allowed_by[${path%%/*}]:-}" ]; then
    folder=${path%%/*}
  fi
}

status=0
cd "$root/src"
while IFS= read -r -d '' file; do
  file=${file#./}
  folder_of "$file"
  own=$folder
  if [ -z "$own" ]; then
    echo "check-layers: $file is in no drawn folder" >&2
    status=1
    continue
  fi
  while IFS= read -r line; do
    number=${line%%:*}
    target=${line#*\"}
    target=${target%%\"*}
    folder_of "$target"
    to=$folder
    [ -n "$to" ] || continue
    case "${allowed_by[$own]}" in
      *",$to,"*) ;;
      *)
        echo "src/$file:$number: $own may not include $target ($to is not below it)" >&2
        status=1
        ;;
    esac
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
done < <(find . -type f \( -name '*.h' -o -name '*.cpp' \) -print0)
exit $status
