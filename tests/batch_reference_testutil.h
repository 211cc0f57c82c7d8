// What the batch program says about each line of an input: the reference
// that the grouping library's interfaces are compared with. The demo tables
// are compiled with grulo-tables, the input is the demo input followed by
// generated lines of every kind (good, faulty, malformed), grulo runs on it,
// and its .grp and .err files are read back line by line.

#ifndef GRULO_TESTS_BATCH_REFERENCE_TESTUTIL_H_
#define GRULO_TESTS_BATCH_REFERENCE_TESTUTIL_H_

#include <memory>
#include <string>
#include <vector>

#include "process_testutil.h"

namespace grulo::test {

// The batch's verdict on one input line.
struct BatchVerdict {
  std::string line;        // the input line, without its line end
  std::string format;      // "" when well-formed, else the .err problem line
  bool has_entry = false;  // an .err entry lists its errors
  std::string blocking;    // the lists of that entry ("47,13,")
  std::string non_blocking;
  std::string grp_line;  // its .grp line, "" when it has none
};

class BatchReference {
 public:
  // The date every run uses, DDMMYYYY and as numbers.
  static constexpr char kToday[] = "07122026";
  static constexpr int kTodayDay = 7, kTodayMonth = 12, kTodayYear = 2026;

  // Builds the tables and the input (the demo input, then `generated`
  // lines from grulo-gen) and runs grulo once.
  explicit BatchReference(int generated);

  const std::string& table_dir() const { return table_dir_; }
  const std::string& input_path() const { return input_path_; }
  const std::vector<BatchVerdict>& verdicts() const { return verdicts_; }
  // The batch's .grp and .err files, as it wrote them.
  std::string grp() const { return box_.Grp(); }
  std::string err() const { return box_.Err(); }

  // The .grp line the batch writes for a result: the version right-aligned
  // in two places, the numbers "%02d%03d%02d", "M14" and the line.
  static std::string GrpLine(std::string_view version, int category, int number, int code,
                             const std::string& line);

  // A list text "n,n," of the numbers.
  static std::string ListText(const std::vector<int>& numbers);

 private:
  GruloSandbox box_;
  std::string table_dir_;
  std::string input_path_;
  std::vector<BatchVerdict> verdicts_;
};

}  // namespace grulo::test

#endif  // GRULO_TESTS_BATCH_REFERENCE_TESTUTIL_H_
