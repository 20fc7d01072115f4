#!/usr/bin/env bash
# Design parameters are checked when the suite is configured. Each row of
# tests/data/refused_values.txt, "SETTINGS|LINE", configures the checks
# alone (tests/config) with the settings, the others at their defaults:
# with a LINE, the configuration must fail with exactly that line; without
# one, it must pass. Then one bad value through a real configure of the
# project, which must leave no build files, and, where the armhf cross
# compiler is installed, a band requirement refused in a cross configure.
# Usage: refused_values_test.sh CMAKE SOURCE-DIR
cmake=$1 root=$2 build=$(mktemp -d) status=0
trap 'rm -rf "$build"' EXIT
while IFS='|' read -r settings line; do
  read -ra args <<<"$settings"
  said=$("$cmake" -S "$root/tests/config" -B "$build/checks" -U'PELMORA_*' -U'TAVRINE_*' "${args[@]}" 2>&1)
  passed=$?
  if [ -z "$line" ]; then
    [ $passed -eq 0 ] || { echo "FAIL: $settings refused: $said"; status=1; }
  elif [ $passed -eq 0 ]; then
    echo "FAIL: $settings accepted"; status=1
  elif ! sed 's/^ *//' <<<"$said" | grep -qxF "$line"; then
    echo "FAIL: no line \"$line\" in: $said"; status=1
  fi
done <"$root/tests/data/refused_values.txt"
said=$("$cmake" -S "$root" -B "$build/suite" -DFILTER_SUITE_TESTS=OFF -DTAVRINE_TAPS=401 2>&1) && status=1
grep -q "TAVRINE_TAPS = 401: not allowed" <<<"$said" || { echo "FAIL: TAVRINE_TAPS=401: $said"; status=1; }
[ ! -e "$build/suite/Makefile" ] || { echo "FAIL: a refused configuration generated build files"; status=1; }
# A cross configure refuses a band requirement as a native one does: its
# check is built with the build machine's compiler.
if command -v arm-linux-gnueabihf-g++ >/dev/null; then
  said=$("$cmake" -S "$root/tests/config" -B "$build/cross" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/arm-linux-gnueabihf.cmake" \
         -DTAVRINE_TYPE=low-pass -DTAVRINE_METHOD=equiripple -DTAVRINE_TAPS=auto -DTAVRINE_LPF_FC1=1100 \
         -DTAVRINE_TRANSITION_HZ=50 -DTAVRINE_FSAMP=8000 2>&1) && status=1
  grep -q "TAVRINE_TAPS = auto: not allowed; .*; this one needs 440 taps" <<<"$said" ||
    { echo "FAIL: cross: $said"; status=1; }
fi
exit $status
