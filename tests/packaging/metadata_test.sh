#!/usr/bin/env bash
# Installs the build into a scratch root under /usr and checks the menu entry
# with desktop-file-validate and the software-centre entry with appstreamcli
# (offline), which also finds the menu entry the latter names as its
# launchable, and that every screenshot it names is one of the pictures
# kept in packaging/screenshots for publishing. Exit status 77: a checker is
# not installed.
# Usage: metadata_test.sh BUILD_DIR SCRATCH_DIR SCREENSHOT_DIR
set -euo pipefail
build=$1
root=$2
screenshots=$3

for tool in desktop-file-validate appstreamcli; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is not installed (scripts/install-deps --tests)"
        exit 77
    fi
done

rm -rf "$root"
trap 'rm -rf "$root"' EXIT
cmake --install "$build" --prefix "$root/usr" >/dev/null

entries=("$root"/usr/share/applications/*.desktop)
[ -f "${entries[0]}" ] || { echo "no menu entry installed"; exit 1; }
for entry in "${entries[@]}"; do
    # It prints hints and warnings as well as errors: all of them fail.
    report=$(desktop-file-validate "$entry" 2>&1) || true
    if [ -n "$report" ]; then
        echo "desktop-file-validate ${entry#"$root"}:"
        echo "$report"
        exit 1
    fi
done

metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
[ -f "${metainfo[0]}" ] || { echo "no software-centre entry installed"; exit 1; }
appstreamcli validate-tree --no-net "$root"

images=$(sed -n 's|.*<image[^>]*>\(.*\)</image>.*|\1|p' "${metainfo[@]}")
[ -n "$images" ] || { echo "the software-centre entry shows no screenshot"; exit 1; }
for url in $images; do
    [ -f "$screenshots/${url##*/}" ] || { echo "$url is not in $screenshots"; exit 1; }
done
