#include "run/input_wait.h"

#include <chrono>

namespace grulo {

InputWait::InputWait(RunConsole& console, std::string what)
    : console_(console), what_(std::move(what)), thread_([this] { Watch(); }) {}

InputWait::~InputWait() {
  {
    std::lock_guard<std::mutex> lock(mu_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void InputWait::Watch() {
  int64_t last_bytes = -1;
  int silent = 0;  // seconds without a byte
  std::unique_lock<std::mutex> lock(mu_);
  while (!wake_.wait_for(lock, std::chrono::seconds(1), [this] { return stop_; })) {
    const FileSource* source = source_.load();
    const int64_t bytes = source == nullptr ? 0 : source->bytes_read();
    silent = bytes == last_bytes ? silent + 1 : 0;
    last_bytes = bytes;
    if (silent + 1 >= kSilentSeconds) {
      console_.ShowProgress("waiting for input: nothing came from " + what_ + " for " +
                            std::to_string(silent + 1) + " s");
    }
  }
}

}  // namespace grulo
