#!/usr/bin/env bash
# Installs the built packages as a user would (apt-get install ./….deb), checks
# what they put on the system, purges them and checks that nothing of theirs
# is left (make package-check). Any complaint fails; the packages are purged
# whatever happens.
set -uo pipefail
dir=${1:?usage: check-package.sh PACKAGE_DIR}
packages=(farlisten farlisten-tools)
failed=0

complain() {
  echo "check-package: $*" >&2
  failed=1
}

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
apt() { DEBIAN_FRONTEND=noninteractive $sudo apt-get -y -q "$@"; }

debs=()
for p in "${packages[@]}"; do
  deb=$(ls "$dir"/"${p}"_*.deb 2>/dev/null | head -n 1)
  [ -n "$deb" ] || { echo "check-package: no ${p}_*.deb in $dir (make package)" >&2; exit 1; }
  debs+=("$(realpath "$deb")")
done

# An installed copy would be purged at the end: leave the user's alone.
for p in "${packages[@]}"; do
  if dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qv '^not-installed$'; then
    echo "check-package: $p is installed on this system already; remove it first" >&2
    exit 1
  fi
done

version=$(dpkg-deb --field "${debs[0]}" Version)

for deb in "${debs[@]}"; do
  echo "check-package: $(basename "$deb"): Installed-Size $(dpkg-deb --field "$deb" Installed-Size) KiB;" \
    "Depends: $(dpkg-deb --field "$deb" Depends)"
done

purge() {
  apt purge "${packages[@]}" >/dev/null || complain "apt-get purge failed"
}

apt install "${debs[@]}" || { complain "apt-get install failed"; purge; exit 1; }
trap purge EXIT

out=$(farlisten --version 2>&1)
[ "$out" = "Farlisten $version" ] || complain "farlisten --version printed '$out', the package is $version"
rxprobe --help >/dev/null 2>&1 || complain "rxprobe --help failed"
rxsim --help >/dev/null 2>&1 || complain "rxsim --help failed"

out=$(desktop-file-validate /usr/share/applications/farlisten.desktop 2>&1)
[ $? -eq 0 ] && [ -z "$out" ] || complain "desktop-file-validate: $out"
metainfo=/usr/share/metainfo/io.github.farlisten.farlisten.metainfo.xml
out=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1)
rc=$?
# Success is a single line; every finding is a line of its own with a letter
# for its weight (E, W, I, P).
if [ $rc -ne 0 ] || grep -qE '^[EWIP]: ' <<<"$out"; then
  complain "appstreamcli validate: $out"
fi
grep -q "<release version=\"$version\"" "$metainfo" || complain "the AppStream release is not $version"

# The whole dependency tree, as apt sees it with the packages installed: no
# compiler, no test harness, no development package.
tree=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks --no-replaces \
  --no-enhances "${packages[@]}" | grep -v '^ ' | sort -u)
bad=$(grep -E -- '-dev$|^(build-essential|gcc(-[0-9]+)?|g\+\+(-[0-9]+)?|cmake|googletest|debhelper|lintian)$' <<<"$tree")
[ -z "$bad" ] || complain "the packages pull in build or test packages: $(tr '\n' ' ' <<<"$bad")"

files=$(dpkg-query -L "${packages[@]}")
trap - EXIT
purge

for p in "${packages[@]}"; do
  dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qv '^not-installed$' \
    && complain "$p is still known to dpkg after purging"
done
# Folders such as /usr/share/icons/hicolor/48x48/apps belong to others too;
# every file is ours, and so is every folder named after us.
while IFS= read -r path; do
  [ -n "$path" ] || continue
  if [ -d "$path" ] && [ ! -L "$path" ]; then
    case "$path" in *farlisten*) complain "left behind: $path" ;; esac
  elif [ -e "$path" ] || [ -L "$path" ]; then
    complain "left behind: $path"
  fi
done <<<"$files"

[ $failed -eq 0 ] && echo "check-package: farlisten $version installed, ran, validated and purged without a trace"
exit $failed
