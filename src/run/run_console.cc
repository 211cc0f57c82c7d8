#include "run/run_console.h"

#include <algorithm>
#include <string>

#include "text/cp1252_text.h"

namespace grulo {

void RunConsole::WipeProgress() {
  if (progress_width_ == 0) return;
  std::string blank(progress_width_ + 2, ' ');
  blank.front() = '\r';
  blank.back() = '\r';
  std::fwrite(blank.data(), 1, blank.size(), stream_);
  progress_width_ = 0;
}

void RunConsole::Line(std::string_view prefix, std::string_view text) {
  std::lock_guard<std::mutex> lock(mu_);
  WipeProgress();
  std::string line = "grulo: ";
  line += prefix;
  line += text;
  line += '\n';
  line = DisplayText(line);  // paths and names as a UTF-8 terminal shows them
  std::fwrite(line.data(), 1, line.size(), stream_);
  std::fflush(stream_);
}

void RunConsole::Error(std::string_view message) { Line("", message); }

void RunConsole::Warning(std::string_view message) { Line("warning: ", message); }

void RunConsole::Summary(std::string_view text) {
  if (terminal_) Line("", text);
}

void RunConsole::ShowProgress(std::string_view text) {
  if (!terminal_) return;
  std::lock_guard<std::mutex> lock(mu_);
  std::string line = "\rgrulo: ";
  line += text;
  size_t width = line.size() - 1;
  // Blanks over what is left of a longer previous line.
  if (width < progress_width_) line.append(progress_width_ - width, ' ');
  std::fwrite(line.data(), 1, line.size(), stream_);
  std::fflush(stream_);
  progress_width_ = std::max(width, progress_width_);
}

}  // namespace grulo
