# Shared by the set-up scripts: installs the Debian packages that are
# missing, and builds the suite. Sourced, not run.

set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}

# To build the programs: the window system's client libraries tell whether
# a display answers; coeff-apply reads and writes sound files with
# libsndfile; the live tuners are Qt 5 widgets with Qwt plots (Qt Test
# comes with qtbase5-dev).
BUILD_PACKAGES=(g++ cmake make libopencv-core-dev libopencv-imgproc-dev libopencv-highgui-dev libxcb1-dev
                libwayland-dev libsndfile1-dev qtbase5-dev libqwt-qt5-dev)
# To run the tests: GoogleTest, a virtual X server, key presses and window
# dumps, a window close request (Xlib), PNG pictures of windows, a
# decimal-comma locale, liquid-dsp, the DSP library that the board
# header's results are compared with, and Clang, which configures the
# suite in a test too.
TEST_PACKAGES=(libgtest-dev xvfb xdotool x11-apps libx11-dev netpbm locales libliquid-dev clang)
# To cross-build for 32-bit ARM (hard-float) and run the unit tests under
# user-mode emulation: Debian's multiarch armhf libraries. The armhf
# libopencv-highgui-dev cannot be installed beside the amd64 one, so its
# run-time library stands in (see cmake/FindOpenCV.cmake); the headers are
# shared. Qt 5 is multiarch; Qwt is not, and scripts/check-armhf unpacks
# its armhf packages into a folder of their own (the Qt libraries that it
# links are installed here).
ARMHF_PACKAGES=(crossbuild-essential-armhf qemu-user libopencv-core-dev:armhf libopencv-imgproc-dev:armhf
                libopencv-highgui406:armhf libgtest-dev:armhf libxcb1-dev:armhf libsndfile1-dev:armhf
                libliquid-dev:armhf qtbase5-dev:armhf libqt5svg5:armhf libqt5opengl5:armhf)
# To build the Debian packages (dpkg-shlibdeps computes their Depends), and
# to build a program with the installed board header's pkg-config file.
PACKAGE_TOOLS=(dpkg-dev binutils pkg-config)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs those of the named packages that are not installed yet, and
# never removes one (a package of a second architecture can conflict with
# an installed one: then this stops with apt's message).
ensure_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends --no-remove "${missing[@]}" >/dev/null
}

# Lets apt install packages of a second architecture (e.g. armhf).
ensure_foreign_architecture() {
  dpkg --print-foreign-architectures | grep -qx "$1" && return 0
  echo "Adding the $1 architecture to dpkg"
  as_root dpkg --add-architecture "$1"
}

# Generates a locale (e.g. de_DE.UTF-8) unless it is there already.
ensure_locale() {
  local name=$1 norm
  norm=$(echo "$name" | tr 'A-Z' 'a-z' | sed 's/utf-8/utf8/')
  locale -a 2>/dev/null | tr 'A-Z' 'a-z' | grep -qx "$norm" && return 0
  as_root sed -i "s/^# *\($name\)/\1/" /etc/locale.gen
  grep -q "^$name" /etc/locale.gen || echo "$name UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
}

# Configures and builds the suite in $BUILD_DIR with the given CMake
# options; BUILD_TARGET, if set, names the one target to build.
build_suite() {
  cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  cmake --build "$BUILD_DIR" -j"$(nproc)" ${BUILD_TARGET:+--target "$BUILD_TARGET"}
}

# The ten lines of coeff1.txt that the built-in pelmora writes.
PELMORA_COEFF_FILE=$ROOT/tests/data/pelmora_coeff1.txt

# Starts a private Xvfb on a display number of its own choosing, its lines
# in the file LOG, and waits until it takes connections (up to 10 s; with
# -noreset, so that this probe's disconnection does not reset it). Sets
# XVFB_PID, and XVFB_DISPLAY to the display's number; fails if the server
# does not start.
start_xvfb() {
  local log=$1 number_file
  number_file=$(mktemp)
  Xvfb -displayfd 5 -screen 0 1920x1080x24 -nolisten tcp -noreset 5>"$number_file" >"$log" 2>&1 &
  XVFB_PID=$!
  XVFB_DISPLAY=""
  for _ in $(seq 100); do
    XVFB_DISPLAY=$(cat "$number_file")
    [ -n "$XVFB_DISPLAY" ] && DISPLAY=:$XVFB_DISPLAY xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
  done
  rm -f "$number_file"
  [ -n "$XVFB_DISPLAY" ] && DISPLAY=:$XVFB_DISPLAY xdotool getdisplaygeometry >/dev/null 2>&1
}

# press_key DISPLAY WINDOW KEY...: presses the keys in the window (with
# WINDOW "", in the one that has the keyboard focus, as a Qt window takes
# its shortcuts) and releases the last again, even if the window is gone
# by then (a key that ends its program would otherwise stay down and
# repeat into the next program's window).
press_key() {
  local display=$1 window=$2
  shift 2
  if [ -n "$window" ]; then
    DISPLAY=$display xdotool key --window "$window" "$@" >/dev/null 2>&1 || true
  else
    DISPLAY=$display xdotool key --delay 100 "$@" >/dev/null 2>&1 || true
  fi
  DISPLAY=$display xdotool keyup "${@: -1}" >/dev/null 2>&1 || true
}
