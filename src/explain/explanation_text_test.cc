#include "explain/explanation_text.h"

#include <string>

#include <gtest/gtest.h>

#include "checks/summary_testutil.h"

namespace grulo {
namespace {

// The text keeps to 78 columns whatever it holds: a path longer than a line
// (cut after a separator, or where the line ends when it has none), a node
// test with large parameters, attribute bytes of three digits. Only the
// .grp line is shown whole, for it is what the file holds.
TEST(ExplanationTextTest, EveryLineButTheFileLinesWithin78Columns) {
  const std::string segment = "a-rather-long-directory-name/";
  std::string path = "/srv/";
  for (int i = 0; i < 5; ++i) path += segment;
  path += "week12.rss";
  Explanation e;
  e.source = path;
  e.table_directory = std::string(120, 't');  // no separator at all
  e.text = testing::ValidSummaryLine(1);
  e.length = e.text.size();
  e.act_count = 1;
  e.format = LineFormat::kWellFormed;
  e.derived.today = {'1', '5', '0', '6', '2', '0', '0', '9', 0};
  e.looked_up = true;
  e.diagnoses.push_back({0, "Z501  ", 65535, 255, 255, std::vector<uint8_t>(10, 255)});
  e.walked = true;
  WalkStep step;
  step.node_number = 32767;
  step.node = {12, 255, 255, 255, 65535};
  step.tested = true;
  step.branch = 255;
  step.test_name = "OtherDailyDurationAtLeast";
  step.question = "does a duration other than the first reach 255 minutes a day?";
  step.looked_at = std::string(90, '9');
  e.steps.push_back(step);
  e.end.failure = 3;
  e.end.node_number = -32768;
  e.end.reason = "node -32768 lies outside the node area of the tree table, or the file does "
                 "not hold it";
  e.outcome = OutcomeKind::kWalkFailed;
  e.result = {99, 904, 3};
  e.grp_line = "D19990403M14" + e.text + "\n";

  const std::string text = ExplanationText(e);
  size_t start = 0;
  std::string pieces;  // the lines' texts without their blanks
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (line == "    " + e.grp_line.substr(0, e.grp_line.size() - 1)) continue;
    size_t width = 0;
    for (char c : line) width += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    EXPECT_LE(width, 78u) << line;
    for (char c : line) pieces += c == ' ' ? "" : std::string(1, c);
  }
  // Nothing of the long words is lost.
  EXPECT_NE(pieces.find("Line1of" + path + ":"), std::string::npos) << text;
  EXPECT_NE(pieces.find("tables:" + e.table_directory), std::string::npos) << text;
  EXPECT_NE(pieces.find(step.looked_at), std::string::npos) << text;
  EXPECT_NE(text.find("\n    " + e.grp_line), std::string::npos) << "the .grp line whole";
  EXPECT_NE(text.find("The fault lies in the tree table"), std::string::npos) << text;
}

}  // namespace
}  // namespace grulo
