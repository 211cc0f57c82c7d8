// What a run tells the person who started it, on standard error: one line
// per failure or warning, and on a terminal a progress line, redrawn in
// place, and a closing summary. Plain text in UTF-8: the messages are made of
// the program's texts (paths and names as the files and the system give
// them, Windows-1252 or UTF-8), which DisplayText (text/cp1252_text.h) turns
// into UTF-8 as each line is written. Nothing goes to standard output.
// Safe to use from several threads (an interruption, a notice that the
// input is silent): each line is written whole.

#ifndef GRULO_RUN_RUN_CONSOLE_H_
#define GRULO_RUN_RUN_CONSOLE_H_

#include <cstddef>
#include <cstdio>
#include <mutex>
#include <string_view>

namespace grulo {

class RunConsole {
 public:
  // Writes to `stream`; `terminal` says whether it is a terminal, which
  // turns the progress line and the closing summary on.
  RunConsole(std::FILE* stream, bool terminal) : stream_(stream), terminal_(terminal) {}
  RunConsole(const RunConsole&) = delete;
  RunConsole& operator=(const RunConsole&) = delete;

  bool terminal() const { return terminal_; }

  // "grulo: <message>" on a line of its own (a progress line is wiped
  // first).
  void Error(std::string_view message);
  // "grulo: warning: <message>" on a line of its own.
  void Warning(std::string_view message);
  // "grulo: <text>" on a line of its own, on a terminal only.
  void Summary(std::string_view text);
  // Draws "grulo: <text>" over the previous progress line, without a line
  // feed, on a terminal only.
  void ShowProgress(std::string_view text);

 private:
  void WipeProgress();
  void Line(std::string_view prefix, std::string_view text);

  std::mutex mu_;  // over what follows and the stream
  std::FILE* stream_;
  bool terminal_;
  size_t progress_width_ = 0;  // of the progress line on the screen; 0 for none
};

}  // namespace grulo

#endif  // GRULO_RUN_RUN_CONSOLE_H_
