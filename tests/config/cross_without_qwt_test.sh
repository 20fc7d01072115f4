#!/usr/bin/env bash
# A cross build for armhf configured with the toolchain file alone, where
# the build machine's Qwt is the only one: it must not be taken. The tuners
# are left out with the line that says how to get them, or, asked for,
# the configure stops with that line. Skipped (status 77) where the armhf
# cross compiler, Qt 5 or OpenCV are not installed.
# Usage: cross_without_qwt_test.sh CMAKE SOURCE-DIR
cmake=$1 root=$2 build=$(mktemp -d) status=0
trap 'rm -rf "$build"' EXIT
command -v arm-linux-gnueabihf-g++ >/dev/null && ls /usr/lib/arm-linux-gnueabihf/libQt5Widgets.so.5 \
  /usr/lib/arm-linux-gnueabihf/libopencv_highgui.so.4* >/dev/null 2>&1 || exit 77
how="set QWT_ROOT to a folder with the target's libqwt-qt5-dev and libqwt-qt5-6 unpacked, as scripts/check-armhf"
how+=" does in build-armhf/qwt-armhf"
configure() { "$cmake" -S "$root" -B "$build/$1" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/arm-linux-gnueabihf.cmake" \
                -DFILTER_SUITE_TESTS=OFF "${@:2}" 2>&1 | sed 's/^ *//'; }
said=$(configure auto)
grep -qxF "The live tuners are left out: no Qwt for arm is found; to build them, $how." <<<"$said" ||
  { echo "FAIL: no line that the tuners are left out in: $said"; status=1; }
grep -q 'pelmora-tune' "$build/auto/Makefile" 2>/dev/null && { echo "FAIL: the tuners are built"; status=1; }
said=$(configure asked -DFILTER_SUITE_TUNERS=ON)
grep -qxF "The live tuners need Qwt for arm, and none is found: $how, or configure with -DFILTER_SUITE_TUNERS=OFF." \
  <<<"$said" || { echo "FAIL: no line that the tuners need Qwt in: $said"; status=1; }
[ ! -e "$build/asked/Makefile" ] || { echo "FAIL: build files generated without Qwt"; status=1; }
exit $status
