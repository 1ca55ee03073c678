#!/usr/bin/env bash
# The Debian package as a person meets it: made by cpack from the build tree,
# checked by lintian, installed with apt-get, used (the installed
# pixelnook-build builds a site, the installed wizard starts), removed with
# apt-get, and then none of its files may be left. Needs root and apt; exit
# status 77 where it cannot run. The package is removed again on every way
# out, a failure included.
# Usage: package_test.sh BUILD_DIR SCRATCH_DIR DEB_VERSION APP_ID PICTURE
set -euo pipefail
build=$1
scratch=$2
version=$3
app_id=$4
picture=$5

skip() {
    echo "SKIPPED: $*"
    exit 77
}
fail() {
    echo "FAILED: $*"
    exit 1
}
step() { echo "[${SECONDS}s] $*"; }

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
for tool in apt-get dpkg dpkg-deb dpkg-shlibdeps lintian cpack flock; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/install-deps --tests)"
done

# Two of these tests at once, from two build trees, would install and
# remove the one package under each other.
exec 9>/run/lock/pixelnook-package-test.lock
flock -w 600 9 || fail "another package test held the lock for ten minutes"

package_status() { dpkg-query -W -f='${db:Status-Status}' pixelnook 2>/dev/null || true; }
case $(package_status) in
"" | not-installed) ;;
*) skip "a pixelnook package is on this machine already; this test would replace and remove it" ;;
esac

cleanup() {
    case $(package_status) in
    "" | not-installed) ;;
    *)
        echo "removing the package left installed"
        DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq -o DPkg::Lock::Timeout=300 pixelnook \
            >/dev/null 2>&1 || dpkg --purge pixelnook >/dev/null 2>&1 || true
        ;;
    esac
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

rm -rf "$scratch"
mkdir -p "$scratch"
scratch=$(cd "$scratch" && pwd)

step "cpack -G DEB"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; fail "cpack could not make the package"; }
deb="$scratch/pixelnook_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack made: $(cd "$scratch" && ls ./*.deb 2>/dev/null)"
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"

# The libraries are found in the programs, not written down by hand.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libqt6widgets6 libjpeg62-turbo libstdc++6; do
    [[ ", $depends," == *", $library "* ]] || fail "Depends lacks $library"
done

# Everything under /usr, and every piece where Debian and the desktop look.
contents=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|; s|/$||')
expected=(
    /usr/bin/pixelnook /usr/bin/pixelnook-build
    /usr/libexec/pixelnook/pixelnook /usr/libexec/pixelnook/pixelnook-build
    /usr/share/applications/$app_id.desktop /usr/share/metainfo/$app_id.metainfo.xml
    /usr/share/doc/pixelnook/README.md /usr/share/doc/pixelnook/copyright
    /usr/share/doc/pixelnook/changelog.Debian.gz
    /usr/share/man/man1/pixelnook.1.gz /usr/share/man/man1/pixelnook-build.1.gz)
for n in 1 2 3 4 5 6; do expected+=(/usr/libexec/pixelnook/templates/template$n.html); done
for size in 48 64 128 256; do expected+=(/usr/share/icons/hicolor/${size}x$size/apps/pixelnook.png); done
for path in "${expected[@]}"; do
    grep -qxF "$path" <<<"$contents" || fail "the package lacks $path"
done
outside=$(grep -v -e '^/usr$' -e '^/usr/' <<<"$contents" || true)
[ -z "$outside" ] || fail "the package puts files outside /usr: $outside"
! grep -q '^/usr/local' <<<"$contents" || fail "the package puts files under /usr/local"

step "lintian"
lintian --fail-on error "$deb" || fail "lintian reports errors"

step "apt-get install"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=300 "$deb" >"$scratch/install.log" 2>&1 ||
    { cat "$scratch/install.log"; fail "apt-get could not install the package"; }
[ "$(package_status)" = installed ] || fail "dpkg does not have the package installed"
mapfile -t owned < <(dpkg -L pixelnook)

step "the installed programs"
[ "$(command -v pixelnook-build)" = /usr/bin/pixelnook-build ] ||
    fail "pixelnook-build on the PATH is $(command -v pixelnook-build), not the package's"
site="$scratch/site"
/usr/bin/pixelnook-build --site-folder "$site" --template 4 "$picture" >"$scratch/build.log" 2>&1 ||
    { cat "$scratch/build.log"; fail "the installed pixelnook-build could not build a site"; }
name=$(basename "$picture")
for path in "$site/index1.html" "$site/images/$name" "$site/thumbnails/tn$name"; do
    [ -f "$path" ] || { cat "$scratch/build.log"; fail "the installed pixelnook-build did not write $path"; }
done
# The wizard cannot end by itself: still running after two seconds is the pass.
rc=0
HOME=$scratch QT_QPA_PLATFORM=offscreen timeout 2 /usr/bin/pixelnook >"$scratch/wizard.log" 2>&1 || rc=$?
[ "$rc" -eq 124 ] || { cat "$scratch/wizard.log"; fail "the installed wizard ended early ($rc)"; }

step "apt-get remove"
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq -o DPkg::Lock::Timeout=300 pixelnook \
    >"$scratch/remove.log" 2>&1 || { cat "$scratch/remove.log"; fail "apt-get could not remove the package"; }
case $(package_status) in
"" | not-installed) ;;
*) fail "after apt-get remove dpkg still has the package as $(package_status)" ;;
esac
# A file of the package must be gone; a folder may stay only while another
# package or other files still use it.
left=()
for path in "${owned[@]}"; do
    if [ -d "$path" ] && [ ! -L "$path" ]; then
        if [[ $path == *pixelnook* ]]; then
            left+=("$path")
        elif [ -z "$(ls -A "$path")" ] && ! dpkg -S "$path" >/dev/null 2>&1; then
            left+=("$path")
        fi
    elif [ -e "$path" ] || [ -L "$path" ]; then
        left+=("$path")
    fi
done
[ ${#left[@]} -eq 0 ] || fail "left after removal: ${left[*]}"
step "done"
