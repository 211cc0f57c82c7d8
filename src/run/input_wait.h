// On a terminal, a run whose input is a pipe says so when the pipe brings
// nothing for a while ("waiting for input"), instead of looking hung: the
// notice takes the place of the progress line, redrawn every second until
// bytes come again.

#ifndef GRULO_RUN_INPUT_WAIT_H_
#define GRULO_RUN_INPUT_WAIT_H_

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "io/line_reader.h"
#include "run/run_console.h"

namespace grulo {

class InputWait {
 public:
  // How long the input may be silent before the notice shows.
  static constexpr int kSilentSeconds = 2;

  // Watches from now on; `what` names the input ("the pipe /srv/in/feed").
  InputWait(RunConsole& console, std::string what);
  ~InputWait();  // stops watching
  InputWait(const InputWait&) = delete;
  InputWait& operator=(const InputWait&) = delete;

  // The input once it is open (opening a FIFO waits for a writer, which is
  // silence too); it must outlive this object.
  void Attach(const FileSource* source) { source_.store(source); }

 private:
  void Watch();

  RunConsole& console_;
  const std::string what_;
  std::atomic<const FileSource*> source_{nullptr};
  std::mutex mu_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace grulo

#endif  // GRULO_RUN_INPUT_WAIT_H_
