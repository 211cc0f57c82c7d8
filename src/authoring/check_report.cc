#include "authoring/check_report.h"

#include <algorithm>

#include "tables/open_tables.h"

namespace grulo {

int CheckReport::ErrorCount() const {
  return static_cast<int>(std::count_if(findings.begin(), findings.end(), [](const Finding& f) {
    return f.severity == Severity::kError;
  }));
}

int CheckReport::WarningCount() const { return static_cast<int>(findings.size()) - ErrorCount(); }

std::string FormatFinding(const Finding& finding) {
  return std::string(finding.severity == Severity::kError ? "error: " : "warning: ") +
         finding.table + ": " + finding.message;
}

FileFindings::~FileFindings() {
  if (dropped_ > 0) {
    report_->findings.push_back(
        {Severity::kWarning, table_, std::to_string(dropped_) + " more findings are not shown"});
  }
}

void FileFindings::Add(Severity severity, std::string message) {
  if (kept_ == kMaxFindingsPerFile) {
    ++dropped_;
    if (severity == Severity::kError && !error_dropped_) {
      // The error count must stay right even when the text is not shown.
      error_dropped_ = true;
      report_->findings.push_back({Severity::kError, table_, "more errors follow"});
    }
    return;
  }
  ++kept_;
  report_->findings.push_back({severity, table_, std::move(message)});
}

const uint8_t* CheckedHeader(const TableFile& file, int descriptors, FileFindings* f) {
  const int64_t need = HeaderAndDescriptorsSize(descriptors);
  const uint8_t* header = file.Peek(0, need);
  if (header == nullptr) {
    f->Error("the file has " + std::to_string(file.size()) +
             " bytes, fewer than its header and descriptors (" + std::to_string(need) +
             "): the program cannot open it");
  }
  return header;
}

}  // namespace grulo
