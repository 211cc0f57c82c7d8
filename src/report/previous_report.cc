#include "report/previous_report.h"

#include <charconv>

#include "text/cp1252_text.h"

namespace grulo {
namespace {

constexpr std::string_view kGenerator = "<meta name=\"generator\" content=\"grulo report\">";

// The value of attribute `name` right after `at` (` name="value"`), empty
// when it is not there.
std::string_view AttributeAfter(std::string_view html, size_t at, std::string_view name) {
  const std::string lead = " " + std::string(name) + "=\"";
  if (html.compare(at, lead.size(), lead) != 0) return {};
  const size_t start = at + lead.size();
  const size_t end = html.find('"', start);
  if (end == std::string_view::npos) return {};
  return html.substr(start, end - start);
}

bool ToNumber(std::string_view text, int64_t* value) {
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, *value);
  return !text.empty() && error == std::errc() && at == end;
}

// Every "<lead>KEY\" <count_name>=\"N\"" of the page into `into`.
void Collect(std::string_view html, std::string_view lead, std::string_view count_name,
             std::map<std::string, int64_t>* into) {
  for (size_t at = html.find(lead); at != std::string_view::npos;
       at = html.find(lead, at + 1)) {
    const size_t key_start = at + lead.size();
    const size_t key_end = html.find('"', key_start);
    if (key_end == std::string_view::npos) return;
    int64_t value = 0;
    if (ToNumber(AttributeAfter(html, key_end + 1, count_name), &value)) {
      into->emplace(std::string(html.substr(key_start, key_end - key_start)), value);
    }
  }
}

}  // namespace

Status ParsePreviousReport(std::string_view path, std::string_view html, PreviousReport* previous) {
  *previous = PreviousReport();
  previous->path = std::string(path);
  if (!html.starts_with("<!DOCTYPE html>") || html.substr(0, 4096).find(kGenerator) ==
                                                  std::string_view::npos) {
    return Status::InvalidArgument(Quoted(path), "is no page of grulo report");
  }
  Collect(html, "data-counter=\"", "data-value", &previous->counters);
  Collect(html, "class=\"group-bar\" data-group=\"", "data-count", &previous->groups);
  if (previous->counters.count("NbLus") == 0) {
    return Status::InvalidArgument(Quoted(path), "has no count of lines read (NbLus)");
  }
  return Status();
}

}  // namespace grulo
