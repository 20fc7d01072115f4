#!/usr/bin/env bash
# Bad design parameters are refused when the suite is configured, with one
# line that names the variable, the value given and what is allowed: each
# row of the table through the checking module alone (script mode), and one
# bad value through a real configure of the project, which then leaves no
# build files.
# Usage: refused_values_test.sh CMAKE SOURCE-DIR
cmake=$1 root=$2 build=$(mktemp -d) status=0
trap 'rm -rf "$build"' EXIT
refused() {  # refused VAR=VALUE ALLOWED ARGS...: cmake -DVAR=VALUE ARGS fails with the line
  local line="${1%%=*} = ${1#*=}: not allowed; allowed $2" said
  said=$("$cmake" "-D$1" "${@:3}" 2>&1) && { echo "FAIL: -D$1 accepted"; status=1; }
  sed 's/^ *//' <<<"$said" | grep -qxF "$line" || { echo "FAIL: no line \"$line\" in: $said"; status=1; }
}
while IFS='|' read -r setting allowed; do refused "$setting" "$allowed" -P "$root/cmake/DesignParameters.cmake"; done <<'TABLE'
PELMORA_TYPE=notch|are low-pass, high-pass, band-pass, band-reject
PELMORA_ORDER=3|are 1 and 2
PELMORA_FC1=2kHz|are numbers from 110.25 to 10694.25 (Hz: PELMORA_FSAMP / 200 to 0.485 PELMORA_FSAMP)
PELMORA_FC2=1500|are numbers from 2110.25 to 10804.5 (Hz: PELMORA_FC1 + PELMORA_FSAMP / 200 to 0.49 PELMORA_FSAMP)
PELMORA_ATTENUATION_DB=0|are numbers from 0.000001 to 60 (dB)
PELMORA_FSAMP=-22050|are numbers from 1e-15 to 1e15 (Hz)
TAVRINE_TAPS=0|are whole numbers from 1 to 400
TAVRINE_ALPHA=-1|are numbers from 0 to 91.9
TAVRINE_BINS=401|are whole numbers from 1 to 400
TAVRINE_BPF_FC2=2000|are numbers above 2000 and below 11025 (Hz: TAVRINE_BPF_FC1 to TAVRINE_FSAMP / 2)
TAVRINE_FSAMP=zero|are numbers from 1e-35 to 1e36 (Hz)
TABLE
refused TAVRINE_TAPS=401 "are whole numbers from 1 to 400" -S "$root" -B "$build" -DFILTER_SUITE_TESTS=OFF
[ ! -e "$build/Makefile" ] || { echo "FAIL: a refused configuration generated build files"; status=1; }
exit $status
