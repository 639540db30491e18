#!/usr/bin/env bash
# Builds the Debian package of a build folder, lists its files, checks that lintian finds no
# error in it, and runs the packaged vantola --version from the unpacked tree.
# Usage: package_test.sh BUILD_DIR VERSION. Exit 77 (skipped) when a tool is missing.
set -euo pipefail
build="$1"
version="$2"
for tool in cpack dpkg-deb; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is not installed (Debian packages cmake and dpkg)"
        exit 77
    fi
done
work="$(mktemp -d /tmp/vantola-package-XXXXXX)"
trap 'rm -rf -- "$work"' EXIT

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

cpack -G DEB -B "$work" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack -G DEB"; }
deb="$work/vantola_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no package $deb"

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' | tee "$work/files"
for expected in /usr/bin/vantola /usr/share/applications/vantola.desktop \
    /usr/share/icons/hicolor/16x16/apps/vantola.png \
    /usr/share/icons/hicolor/256x256/apps/vantola.png \
    /usr/share/icons/hicolor/scalable/apps/vantola.svg \
    /usr/share/man/man1/vantola.1.gz /usr/share/vantola/notice.htm \
    /usr/share/vantola/notice_en.htm /usr/share/doc/vantola/copyright \
    /usr/share/doc/vantola/changelog.gz; do
    grep -qxF "$expected" "$work/files" || fail "$expected is not in the package"
done
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "the dependencies do not come from the libraries"

if command -v lintian >/dev/null; then
    lintian "$deb" 2>&1 | tee "$work/lintian.log" || true
    if grep -q '^E:' "$work/lintian.log"; then fail "lintian reports errors"; fi
else
    echo "lintian is not installed: the package's lint check is left out"
fi

dpkg-deb -x "$deb" "$work/root"
shown="$("$work/root/usr/bin/vantola" --version)"
[ "$shown" = "vantola $version" ] || fail "the packaged vantola says '$shown'"
