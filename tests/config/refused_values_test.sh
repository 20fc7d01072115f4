#!/usr/bin/env bash
# Bad design parameters are refused when the suite is configured, with one
# line that names the variable, the value given and what is allowed: each
# row of tests/data/refused_values.txt (VARIABLE=VALUE|allowed ...) through
# the checking module alone (script mode), and one bad value through a real
# configure of the project, which then leaves no build files.
# Usage: refused_values_test.sh CMAKE SOURCE-DIR
cmake=$1 root=$2 build=$(mktemp -d) status=0
trap 'rm -rf "$build"' EXIT
refused() {  # refused VAR=VALUE ALLOWED ARGS...: cmake -DVAR=VALUE ARGS fails with the line
  local line="${1%%=*} = ${1#*=}: not allowed; allowed $2" said
  said=$("$cmake" "-D$1" "${@:3}" 2>&1) && { echo "FAIL: -D$1 accepted"; status=1; }
  sed 's/^ *//' <<<"$said" | grep -qxF "$line" || { echo "FAIL: no line \"$line\" in: $said"; status=1; }
}
while IFS='|' read -r setting allowed; do
  refused "$setting" "$allowed" -P "$root/cmake/DesignParameters.cmake"
done <"$root/tests/data/refused_values.txt"
refused TAVRINE_TAPS=401 "are whole numbers from 1 to 400" -S "$root" -B "$build" -DFILTER_SUITE_TESTS=OFF
[ ! -e "$build/Makefile" ] || { echo "FAIL: a refused configuration generated build files"; status=1; }
exit $status
