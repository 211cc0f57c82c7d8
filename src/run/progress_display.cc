#include "run/progress_display.h"

#include <cmath>
#include <cstdio>

#include "text/cp1252_text.h"

namespace grulo {

std::string ProgressDisplay::Update(int64_t now_nanos, int64_t lines, int64_t bytes) {
  int64_t elapsed = now_nanos - start_;
  if (elapsed < kFirstAfterNanos) return std::string();
  if (last_drawn_ >= 0 && now_nanos - last_drawn_ < kRedrawNanos) return std::string();
  last_drawn_ = now_nanos;
  return ProgressText(static_cast<double>(elapsed) / 1e9, lines, bytes, total_bytes_);
}

std::string ProgressText(double seconds, int64_t lines, int64_t bytes, int64_t total_bytes) {
  long long rate = seconds > 0 ? std::llround(static_cast<double>(lines) / seconds) : 0;
  char text[160];
  if (total_bytes <= 0) {
    std::snprintf(text, sizeof text, "%lld lines read, %lld summaries/s",
                  static_cast<long long>(lines), rate);
    return text;
  }
  if (bytes > total_bytes) bytes = total_bytes;
  double share = static_cast<double>(bytes) / static_cast<double>(total_bytes);
  int percent = static_cast<int>(share * 100);
  std::string left = "time left unknown";
  if (bytes > 0) {
    double bytes_per_second = static_cast<double>(bytes) / seconds;
    left = "about " + DurationText(static_cast<double>(total_bytes - bytes) / bytes_per_second) +
           " left";
  }
  std::snprintf(text, sizeof text, "%d%% read, %lld summaries/s, %s", percent, rate,
                left.c_str());
  return text;
}

std::string DurationText(double seconds) {
  char text[48];
  if (seconds < 10) {
    std::snprintf(text, sizeof text, "%.1f s", seconds);
    return text;
  }
  long long whole = std::llround(seconds);
  if (whole < 60) {
    std::snprintf(text, sizeof text, "%lld s", whole);
  } else if (whole < 3600) {
    std::snprintf(text, sizeof text, "%lld min %02lld s", whole / 60, whole % 60);
  } else {
    std::snprintf(text, sizeof text, "%lld h %02lld min", whole / 3600, whole % 3600 / 60);
  }
  return text;
}

std::string RunSummaryText(const RunCounters& counters) {
  auto count = [](int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  };
  const int64_t table_problems = counters.NbErrTab + counters.NbErrArbre;
  return std::to_string(counters.NbGrp - table_problems) + " grouped (" +
         std::to_string(counters.NbErrNonBloq - counters.NbErrArbreNonBloq) + " non-blocking), " +
         std::to_string(counters.NbErrBloq) + " blocked, " +
         count(counters.NbErrForm, "format error", "format errors") + ", " +
         count(table_problems, "table problem", "table problems");
}

std::string RunWrittenText(int64_t lines, const std::string& grp_path,
                           const std::string& err_name, double seconds) {
  std::string text = std::to_string(lines) + (lines == 1 ? " line in " : " lines in ");
  text.append(DurationText(seconds)).append("; wrote ").append(Quoted(grp_path));
  return text.append(" and ").append(Quoted(err_name));
}

}  // namespace grulo
