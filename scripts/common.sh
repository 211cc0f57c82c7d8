# shellcheck shell=bash
# Sourced by the scripts of scripts/ and by .ci/run: works from the top of
# the source tree and gives them one rule for the number of parallel jobs,
# one compiler cache and one way to install Debian's packages.
#
#   GRULO_JOBS        parallel jobs of builds and test runs: $JOBS, or every
#                     core
#   require_packages  installs the Debian packages that are not installed yet
#   install_packages  installs Debian packages (for a script that decides
#                     itself what is missing)
#   cmake_cache_args  the CMake arguments that compile through ccache
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# shellcheck disable=SC2034  # read by the scripts that source this file
GRULO_JOBS=${JOBS:-$(nproc)}

# require_packages PACKAGE...: installs, with apt-get, those of the packages
# that dpkg does not list as installed; nothing happens (no apt-get at all)
# when they all are. Runs apt-get through sudo when not root.
require_packages() {
  local missing=() package status
  for package in "$@"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    [[ $status == installed ]] || missing+=("$package")
  done
  ((${#missing[@]} > 0)) || return 0
  install_packages "${missing[@]}"
}

# install_packages PACKAGE...: installs the packages with apt-get.
install_packages() {
  echo "installing from Debian's packages: $*" >&2
  local sudo=()
  if [[ $(id -u) -ne 0 ]]; then sudo=(sudo); fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "$@" >/dev/null
}

# Builds compile through Debian's ccache when it is there (install-deps.sh
# brings it). Paths below the source tree are hashed relative to it, so a
# second clone of the tree, as continuous integration makes, reuses the
# objects of the first.
cmake_cache_args=()
if command -v ccache >/dev/null 2>&1; then
  cmake_cache_args=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(pwd)}
  export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
fi

# configure_build DIR ARGS...: configures DIR with Ninja the first time (when
# Ninja is there), with ccache, and the given arguments.
configure_build() {
  local dir=$1
  shift
  local generator=()
  if [[ ! -f $dir/CMakeCache.txt ]] && command -v ninja >/dev/null 2>&1; then
    generator=(-G Ninja)
  fi
  cmake -S . -B "$dir" "${generator[@]}" "${cmake_cache_args[@]}" "$@" >/dev/null
}
