# Shared by the scripts: install what is missing, then configure and build a preset.
# shellcheck shell=bash

SKARVEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Prints the Debian packages of the given kinds (run, build, test, package, fuzz, bench, docs), one a
# line, from packaging/packages.list, the one place that names them.
skarvel_packages() {
  local kinds=" $* " kind pkg _
  while read -r kind pkg _; do
    case "$kind" in '' | '#'*) continue ;; esac
    if [[ "$kinds" == *" $kind "* ]]; then echo "$pkg"; fi
  done <"$SKARVEL_ROOT/packaging/packages.list"
}

# Installs the Debian packages of the given kinds that are not installed yet.
ensure_kinds() {
  local packages
  mapfile -t packages < <(skarvel_packages "$@")
  ensure_packages "${packages[@]}"
}

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
