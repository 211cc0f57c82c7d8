// The stop requests of platform/stop_signals.h in the WebAssembly build: a
// page or a worker gets no signals, so there is nothing to watch.

#include "platform/stop_signals.h"

namespace grulo {
namespace {

class NoStopSignals final : public StopSignals {};

}  // namespace

std::unique_ptr<StopSignals> StopSignals::Watch(std::function<void(int)>) {
  return std::make_unique<NoStopSignals>();
}

}  // namespace grulo
