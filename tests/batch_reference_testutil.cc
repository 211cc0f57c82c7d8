#include "batch_reference_testutil.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>

#include "report/run_outputs.h"

namespace grulo::test {
namespace {

bool StartsWith(const std::string& text, std::string_view prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

BatchReference::BatchReference(int generated) {
  table_dir_ = box_.TableDir();
  EXPECT_EQ(BuildDemoTables(table_dir_), 0);
  const std::string generated_path = box_.dir().File("generated.txt");
  EXPECT_EQ(RunBuiltProgram("grulo-gen",
                            {"--count", std::to_string(generated), "--seed", "11",
                             "--faulty-share", "0.4", "--malformed-share", "0.05", "--diag",
                             SourcePath("data/demo/diag.txt"), "--acts",
                             SourcePath("data/demo/acts.txt"), "--out", generated_path}),
            0);
  std::string input = ReadFileBytes(SourcePath("data/demo/input.txt"));
  if (!input.empty() && input.back() != '\n') input += '\n';
  input += ReadFileBytes(generated_path);
  box_.WriteInput(input);
  input_path_ = box_.dir().File("data/week.rss");
  EXPECT_EQ(box_.Run(kToday), 0);

  for (const std::string& line : SplitLines(input)) {
    verdicts_.emplace_back();
    verdicts_.back().line = line;
  }
  // .err: entries by record number.
  int record = 0;
  for (const std::string& text : SplitLines(box_.Err())) {
    static constexpr std::string_view kHeader =
        "====================================Enregistrement n\xB0 ";
    if (StartsWith(text, kHeader)) {
      record = std::atoi(text.c_str() + kHeader.size());
      continue;
    }
    if (record < 1 || record > static_cast<int>(verdicts_.size())) continue;
    BatchVerdict& v = verdicts_[static_cast<size_t>(record - 1)];
    static constexpr std::string_view kBlocking = "\t->  Liste des erreurs bloquantes: ";
    static constexpr std::string_view kNonBlocking = "\t->  Liste des erreurs non bloquantes: ";
    if (StartsWith(text, kBlocking)) {
      v.has_entry = true;
      v.blocking = text.substr(kBlocking.size());
    } else if (StartsWith(text, kNonBlocking)) {
      v.non_blocking = text.substr(kNonBlocking.size());
    } else if (StartsWith(text, "   -> ")) {
      v.format = text;
    }
  }
  // .grp: one line per well-formed line without blocking error, in order.
  const std::vector<std::string> grp = SplitLines(box_.Grp());
  size_t next = 0;
  for (BatchVerdict& v : verdicts_) {
    if (!v.format.empty() || !v.blocking.empty()) continue;
    if (next < grp.size()) v.grp_line = grp[next++];
  }
  EXPECT_EQ(next, grp.size()) << "more .grp lines than lines to group";
}

std::string BatchReference::GrpLine(std::string_view version, int category, int number,
                                    int code, const std::string& line) {
  char prefix[64];
  std::snprintf(prefix, sizeof prefix, "%2.*s%02d%03d%02dM14", static_cast<int>(version.size()),
                version.data(), category, number, code);
  return prefix + line.substr(0, line.find('\0'));
}

std::string BatchReference::ListText(const std::vector<int>& numbers) {
  std::string text;
  for (int n : numbers) text += std::to_string(n) + ",";
  return text;
}

}  // namespace grulo::test
