#!/usr/bin/env bash
# Builds the Debian packages farlisten and farlisten-tools into build/package/
# and runs lintian over them (make package).
#
# The packages are built from a copy of the files git knows, under
# build/package/farlisten-VERSION/, so the checkout stays clean. A tree with
# uncommitted changes is refused, as its packages would carry a version that
# no commit has; ALLOW_DIRTY=1 builds it anyway. debian/changelog is written
# into the copy from the version and release date in CMakeLists.txt, the one
# place they live.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/package

fail() {
  echo "package: $*" >&2
  exit 1
}

version=$(sed -n 's/^project(Farlisten VERSION \([0-9][0-9.]*\) .*/\1/p' CMakeLists.txt)
date=$(sed -n 's/^set(FARLISTEN_RELEASE_DATE \([0-9]\{4\}-[0-9]\{2\}-[0-9]\{2\}\))$/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no version in CMakeLists.txt (project(Farlisten VERSION x.y.z ...))"
[ -n "$date" ] || fail "no release date in CMakeLists.txt (set(FARLISTEN_RELEASE_DATE yyyy-mm-dd))"

git rev-parse --is-inside-work-tree >/dev/null 2>&1 || fail "not a git checkout: the packages are built from the files git knows"
if [ -n "$(git status --porcelain)" ]; then
  if [ "${ALLOW_DIRTY:-0}" != 1 ]; then
    git status --short >&2
    fail "the working tree has changes that are not committed (above); commit them, or build anyway with ALLOW_DIRTY=1"
  fi
  echo "package: building with uncommitted changes (ALLOW_DIRTY=1)" >&2
fi

source="$out/farlisten-$version"
rm -rf "$out"
mkdir -p "$source"
# Tracked and new files as they are in the working tree (the same as HEAD in
# a clean tree); files deleted but not yet committed are left out.
git ls-files -z --cached --others --exclude-standard \
  | while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done \
  | tar --null --files-from=- -cf - | tar -xf - -C "$source"

maintainer=$(sed -n 's/^Maintainer: //p' debian/control)
cat >"$source/debian/changelog" <<EOF
farlisten ($version) bookworm; urgency=medium

  * Farlisten $version.

 -- $maintainer  $(LC_ALL=C date -u -R -d "$date")
EOF

# debhelper gives the build a HOME of its own, where ccache would start an
# empty cache: keep the user's. Paths relative to the checkout (CCACHE_BASEDIR
# in the Makefile) let another clone of the same sources hit it.
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache
  CCACHE_DIR=${CCACHE_DIR:-$(ccache --get-config cache_dir)}
  export CCACHE_DIR
fi

(cd "$source" && dpkg-buildpackage --build=binary --no-sign -j"${JOBS:-$(nproc)}")

# Kept warnings are overridden in debian/*.lintian-overrides with the reason.
lintian --fail-on error,warning "$out"/farlisten_"$version"_*.changes
ls "$out"/*.deb
