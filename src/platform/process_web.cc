// The process of platform/process.h in the WebAssembly build, which runs in
// a browser tab, a Web Worker or Node: one thread, no executable of its own,
// no terminal.

#include <emscripten.h>

#include <cstdlib>

#include "platform/process.h"

namespace grulo {

int64_t CurrentProcessId() { return 1; }

std::string ExecutablePath() { return std::string(); }

bool StandardErrorIsTerminal() { return false; }

int AvailableCores() { return 1; }  // the module groups on the thread that calls it

int64_t MonotonicNanos() {
  return static_cast<int64_t>(emscripten_get_now() * 1e6);  // milliseconds, fractional
}

int64_t CoarseMonotonicMillis() { return static_cast<int64_t>(emscripten_get_now()); }

void UseBinaryStandardStreams() {}

Utf8Console::Utf8Console() = default;  // no console
Utf8Console::~Utf8Console() = default;

void KillThisProcess() { std::abort(); }  // nothing else ends a module at once

}  // namespace grulo
