// The progress of a run as a person at a terminal sees it: from about a
// second into the run, the share of the input read, the summaries per second
// and the time left, redrawn a few times a second at most; and the summary
// that closes the run.

#ifndef GRULO_RUN_PROGRESS_DISPLAY_H_
#define GRULO_RUN_PROGRESS_DISPLAY_H_

#include <cstdint>
#include <string>

#include "grouper/line_outcome.h"

namespace grulo {

class ProgressDisplay {
 public:
  static constexpr int64_t kFirstAfterNanos = 1000000000;  // nothing before a second
  static constexpr int64_t kRedrawNanos = 250000000;       // then at most 4 times a second

  // A run that started at `start_nanos` on an input of `total_bytes`
  // (negative when the size is unknown, as for a pipe).
  ProgressDisplay(int64_t start_nanos, int64_t total_bytes)
      : start_(start_nanos), total_bytes_(total_bytes) {}

  // The progress text at `now_nanos`, `lines` lines and `bytes` bytes into
  // the input, or the empty text when it is not yet time to draw it.
  std::string Update(int64_t now_nanos, int64_t lines, int64_t bytes);

 private:
  int64_t start_;
  int64_t total_bytes_;
  int64_t last_drawn_ = -1;
};

// "45% read, 512340 summaries/s, about 3 s left" for an input of known size;
// "120000 lines read, 512340 summaries/s" otherwise.
std::string ProgressText(double seconds, int64_t lines, int64_t bytes, int64_t total_bytes);

// A duration for a person: "0.4 s", "12 s", "2 min 05 s", "1 h 02 min".
std::string DurationText(double seconds);

// The closing summary of a complete run, one line in which every line read
// counts once: "946 grouped (12 non-blocking), 40 blocked, 10 format
// errors, 4 table problems". Grouped: the summaries that got a group, of
// which those with non-blocking errors; table problems: those that a table
// problem (99 or 9) or a failed walk of the tree (99 904) left without one.
std::string RunSummaryText(const RunCounters& counters);

// The line after it: "1000 lines in 2.1 s; wrote '<grp>' and '<err name>'".
std::string RunWrittenText(int64_t lines, const std::string& grp_path,
                           const std::string& err_name, double seconds);

}  // namespace grulo

#endif  // GRULO_RUN_PROGRESS_DISPLAY_H_
