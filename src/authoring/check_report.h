// The findings of the table check: each names the table file and what is
// wrong in it, as an error (the program refuses the table, reads a wrong
// result or fails a walk) or a warning (merely suspicious).

#ifndef GRULO_AUTHORING_CHECK_REPORT_H_
#define GRULO_AUTHORING_CHECK_REPORT_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tables/table_file.h"

namespace grulo {

enum class Severity { kError, kWarning };

struct Finding {
  Severity severity = Severity::kError;
  std::string table;    // the file name, "diag10sr.tab"
  std::string message;  // "code A000: ..."
};

struct CheckReport {
  std::vector<Finding> findings;

  int ErrorCount() const;
  int WarningCount() const;
};

// "error: diag10sr.tab: code A000: ..."
std::string FormatFinding(const Finding& finding);

// At most this many findings of one file are shown.
inline constexpr int kMaxFindingsPerFile = 200;

// Adds the findings of one file to a report, at most kMaxFindingsPerFile of
// them; when more come, the report ends with an error "more errors follow"
// (when an error was dropped, so that the error count stays above 0) and a
// warning with the count of those not shown.
class FileFindings {
 public:
  FileFindings(std::string_view table, CheckReport* report) : table_(table), report_(report) {}
  FileFindings(const FileFindings&) = delete;
  FileFindings& operator=(const FileFindings&) = delete;
  ~FileFindings();

  void Error(std::string message) { Add(Severity::kError, std::move(message)); }
  void Warning(std::string message) { Add(Severity::kWarning, std::move(message)); }

 private:
  void Add(Severity severity, std::string message);

  std::string table_;
  CheckReport* report_;
  int kept_ = 0;
  int dropped_ = 0;
  bool error_dropped_ = false;
};

// The header and `descriptors` descriptors of a file, or nullptr after
// reporting that the file is too short for them.
const uint8_t* CheckedHeader(const TableFile& file, int descriptors, FileFindings* findings);

}  // namespace grulo

#endif  // GRULO_AUTHORING_CHECK_REPORT_H_
