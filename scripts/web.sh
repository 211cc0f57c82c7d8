#!/usr/bin/env bash
# The web build: the engine compiled to WebAssembly with Emscripten, in
# build-web/:
#   site/index.html        the page (works from file:// and any static server)
#   site/grulo.mjs         the ES module, with site/grulo.d.ts
#   grulo-web-<version>.zip   the site
#   grulo-<version>.tgz    the npm package (npm pack of npm/)
# It installs what it needs from Debian's packages (Emscripten, Node, npm,
# zip; with --ci also Chromium, its driver, Selenium and TypeScript).
#
#   scripts/web.sh        build
#   scripts/web.sh --ci   build, then the native programs the tests compare
#                         with (build/), then the web tests: the module
#                         under Node, the npm package installed and used, the
#                         page in headless Chromium
source "$(dirname "$0")/common.sh"
ci=false
case "${1:-}" in
  --ci) ci=true ;;
  "") ;;
  *) echo "usage: scripts/web.sh [--ci]" >&2; exit 2 ;;
esac

missing=()
command -v emcc >/dev/null 2>&1 || missing+=(emscripten)
[[ -d /usr/share/nodejs/acorn ]] || missing+=(node-acorn)  # Emscripten's optimizer needs it
command -v node >/dev/null 2>&1 || missing+=(nodejs)
command -v npm >/dev/null 2>&1 || missing+=(npm)
command -v zip >/dev/null 2>&1 || missing+=(zip)
command -v cmake >/dev/null 2>&1 || missing+=(cmake)
command -v ninja >/dev/null 2>&1 || missing+=(ninja-build)
if $ci; then
  command -v chromium >/dev/null 2>&1 || missing+=(chromium)
  command -v chromedriver >/dev/null 2>&1 || missing+=(chromium-driver)
  /usr/bin/python3 -c 'import selenium' 2>/dev/null || missing+=(python3-selenium)
  command -v tsc >/dev/null 2>&1 || missing+=(node-typescript)  # checks grulo.d.ts
fi
if ((${#missing[@]} > 0)); then
  install_packages "${missing[@]}"
fi

export NODE_PATH=/usr/share/nodejs
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release -DGRULO_WERROR=ON \
  -DGRULO_BUILD_TESTS=OFF -DGRULO_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build-web -j "$GRULO_JOBS" --target grulo_web_package
echo "built build-web/site/index.html, build-web/site/grulo.mjs and their packages:"
ls build-web/*.zip build-web/*.tgz

if $ci; then
  scripts/build.sh --programs >/dev/null
  GRULO_WEB_REQUIRED=1 ctest --test-dir build --output-on-failure --no-tests=error -R '^web_'
fi
