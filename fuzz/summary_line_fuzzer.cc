// One summary line through the whole grouping with the demo tables: the
// format recognition, then, for a well-formed line, the checks, the lookups
// and the tree walk.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "checks/error_list.h"
#include "fuzz/fuzz_support.h"
#include "grouper/grouping_context.h"
#include "grouper/line_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace grulo;
  if (size > 1024) return 0;  // a well-formed line has at most 498 characters
  // The line reader hands over the text up to the first NUL byte.
  std::string_view line(reinterpret_cast<const char*>(data), size);
  line = line.substr(0, line.find('\0'));
  if (RecognizeFormat(line, line.size()) != LineFormat::kWellFormed) return 0;

  GroupingContext context;
  GroupResult result;
  ErrorList errors;
  context.GroupSummary(fuzz::DemoTableSet(), line, fuzz::FixedToday(), &result, &errors);

  fuzz::Require(errors.ErrorCount >= 0 && errors.ErrorCount <= kErrorListSize, "error count");
  for (int i = 0; i < kErrorListSize; ++i) {
    const int16_t number = errors.entries[static_cast<size_t>(i)];
    if (i < errors.ErrorCount) {
      fuzz::Require(number >= 1 && number <= 82, "error numbers are 1 to 82");
    } else {
      fuzz::Require(number == 0, "entries past the count are 0");
    }
  }
  const int16_t blocking = FirstBlockingError(errors);
  if (blocking != 0) {
    fuzz::Require(result.GroupCategory == kBlockedCategory && result.GroupNumber == kBlockedNumber &&
                      result.GroupReturn == blocking,
                  "a blocking error gives 90, 900 and that error");
  } else {
    fuzz::Require(result.GroupCategory != kBlockedCategory || result.GroupNumber != kBlockedNumber,
                  "no blocking error, no 90 900");
  }

  // Grouping is a function of the line: a context that grouped another
  // summary before agrees.
  GroupingContext again;
  {
    GroupResult before;
    ErrorList before_errors;
    const std::string& other = fuzz::FixedLines()[0];
    again.GroupSummary(fuzz::DemoTableSet(), other, fuzz::FixedToday(), &before, &before_errors);
  }
  GroupResult second;
  ErrorList second_errors;
  again.GroupSummary(fuzz::DemoTableSet(), line, fuzz::FixedToday(), &second, &second_errors);
  fuzz::Require(second.GroupCategory == result.GroupCategory &&
                    second.GroupNumber == result.GroupNumber &&
                    second.GroupReturn == result.GroupReturn &&
                    second_errors.entries == errors.entries,
                "the same line groups the same way twice");
  return 0;
}
