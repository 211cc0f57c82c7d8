#!/usr/bin/env bash
# Installs, from Debian's packages, what the build needs and this machine
# lacks: a C++20 compiler, CMake, Ninja, GoogleTest and Google Benchmark,
# pybind11 with the Python headers and pytest for the Python module,
# pkg-config for the installation test, and Chromium, in which the report
# test renders the HTML page of a run.
set -euo pipefail

missing=()
command -v g++ >/dev/null 2>&1 || missing+=(g++)
command -v cmake >/dev/null 2>&1 || missing+=(cmake)
command -v ninja >/dev/null 2>&1 || missing+=(ninja-build)
[[ -f /usr/include/gtest/gtest.h ]] || missing+=(libgtest-dev)
[[ -f /usr/include/benchmark/benchmark.h ]] || missing+=(libbenchmark-dev)
[[ -f /usr/include/pybind11/pybind11.h ]] || missing+=(pybind11-dev)
dpkg -s python3-dev >/dev/null 2>&1 || missing+=(python3-dev)
dpkg -s python3-pytest >/dev/null 2>&1 || missing+=(python3-pytest)
command -v pkg-config >/dev/null 2>&1 || missing+=(pkg-config)
command -v chromium >/dev/null 2>&1 || missing+=(chromium)

if ((${#missing[@]} > 0)); then
  echo "installing: ${missing[*]}"
  sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
