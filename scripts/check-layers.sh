#!/usr/bin/env bash
# Fails when an #include in src/ runs against the layers drawn in
# docs/ARCHITECTURE.md: a folder may include its own headers and those of the
# folders its line names, nothing else of src/. The drawing is read from the
# block that follows the line "<!-- layers: read by scripts/check-layers.sh -->",
# so the picture and the check cannot drift apart.
#
#   scripts/check-layers.sh [ROOT]      ROOT holds src/ and docs/ (default: the checkout)
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
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
folders=()
while read -r folder allowed; do
  allowed_by[$folder]=",$folder,${allowed},"
  folders+=("$folder")
done <<< "$rules"

# The folder a path under src/ belongs to: the longest drawn one (bookmarks/ui
# before bookmarks).
folder_of() {
  local path=$1 best="" f
  for f in "${folders[@]}"; do
    case "$path" in
      "$f"/*) [ ${#f} -gt ${#best} ] && best=$f ;;
    esac
  done
  printf '%s' "$best"
}

status=0
cd "$root/src"
while IFS= read -r -d '' file; do
  file=${file#./}
  own=$(folder_of "$file")
  if [ -z "$own" ]; then
    echo "check-layers: $file is in no drawn folder" >&2
    status=1
    continue
  fi
  while IFS= read -r line; do
    number=${line%%:*}
    target=${line#*\"}
    target=${target%%\"*}
    to=$(folder_of "$target")
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
