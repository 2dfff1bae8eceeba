# Shared by the scripts: install what is missing, then configure and build a preset.
# shellcheck shell=bash

SKARVEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian packages the build and the tests need.
SKARVEL_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libgif-dev libgtest-dev
  desktop-file-utils appstream dpkg-dev)
# What scripts/fuzz needs on top: clang with libFuzzer and the sanitizer runtimes.
SKARVEL_FUZZ_PACKAGES=(clang libclang-rt-dev)
# What scripts/bench needs on top: the tools it compares with, and valgrind for profiles.
SKARVEL_BENCH_PACKAGES=(gifsicle imagemagick valgrind)

# Installs the named Debian packages that are not installed yet.
ensure_packages() {
  local missing=() pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build_preset() {
  cmake --preset "$1" -S "$SKARVEL_ROOT" >/dev/null
  cmake --build --preset "$1"
}
