#!/usr/bin/env bash
# Sets up a Debian 12 machine for lookup, builds it, and then runs it or its tests.
#   ./setup.sh run     install what is missing, build, start lookup on the example data
#   ./setup.sh test    install what is missing, build, run every test
#   ./setup.sh build   install what is missing, build
# Environment: BUILD_DIR (default build), CMAKE_ARGS (extra configure arguments).
set -euo pipefail
cd "$(dirname "$0")"
action=${1:-build}
build_dir=${BUILD_DIR:-build}
case "$action" in run|test|build) ;; *) echo "usage: $0 run|test|build" >&2; exit 2 ;; esac

# Everything the build, the tests and the programs need, as Debian packages.
packages=(
  build-essential cmake pkg-config ninja-build
  qt6-base-dev qt6-tools-dev libqt6opengl6-dev libqt6uitools6 qt6-qpa-plugins qt6-translations-l10n
  libfluidsynth-dev timgm6mb-soundfont
  libshp-dev mdbtools-dev libglib2.0-dev libzip-dev libexpat1-dev libisal-dev
  libjpeg62-turbo-dev libsqlite3-dev sqlite3
  libicu-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-wqy-microhei xvfb xauth locales
  clang-14 libclang-rt-14-dev
  python3 python3-xlwt python3-xlrd python3-openpyxl python3-dbf python3-pil unicode-data
)

install_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  # Through env, not as a prefix: sudo drops the caller's environment, and a debconf
  # question (tzdata on a minimal system) would then stop the script.
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# A test reads numbers with a decimal-comma locale in force, so one must exist.
ensure_test_locale() {
  locale -a 2>/dev/null | grep -ix 'de_DE\.utf-\?8' >/dev/null && return 0
  echo "Generating the locale de_DE.UTF-8 for the tests"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)$/\1/' /etc/locale.gen
  grep -qx 'de_DE\.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
}

build() {
  # shellcheck disable=SC2086
  cmake -S . -B "$build_dir" -G Ninja ${CMAKE_ARGS:-} >/dev/null
  cmake --build "$build_dir" -j "$(nproc)"
}

install_packages
build
case "$action" in
  run)
    prog="$build_dir/bin/lookup"
    if [ ! -x "$prog" ]; then
      echo "lookup was not built: query/main.cpp is missing from this checkout." >&2
      exit 1
    fi
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
      echo "No display found: starting lookup under Xvfb (invisible; set DISPLAY to see it)."
      exec xvfb-run -a "$prog"
    fi
    exec "$prog"
    ;;
  test)
    ensure_test_locale
    cd "$build_dir"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
    ;;
  build) ;;
  *) echo "usage: $0 run|test|build" >&2; exit 2 ;;
esac
