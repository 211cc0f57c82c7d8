// What `grulo group` and `grulo compare` share: today's date by the rule of
// `grulo explain`, the table directory of a --tables option, and the check
// of the files they write (never the input, a table or another output of
// the same command, never through a link).

#ifndef GRULO_CLI_COMMAND_FILES_H_
#define GRULO_CLI_COMMAND_FILES_H_

#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "calendar/clock.h"
#include "cli/report_target.h"
#include "options/option_parser.h"

namespace grulo {

// The value check of a --today option: "a date DDMMYYYY" when refused.
std::string_view CheckTodayValue(std::string_view value);

// Today's date of the checks: --today DDMMYYYY, else $GRULO_TODAY when it
// holds a valid date, else the computer's clock (text empty).
struct TodayChoice {
  std::string text;         // DDMMYYYY, or empty for the computer's clock
  std::string_view source;  // "--today", "GRULO_TODAY" or "the computer's clock"
};
TodayChoice ChooseToday(const ParsedOptions& options);
// Clocks for every grouping thread that say that date.
ClockFactory TodayClocks(const TodayChoice& today);

// A table directory as the tables are looked for in it: a separator added
// when it has none at its end.
std::string TableDirectory(std::string dir);

// The three table files of a directory, for CheckOutputName.
void AddTableFiles(const std::string& table_dir, std::vector<RunFile>* files);

// Refuses, with kInvalidArgument and a message that names `what` ("the
// .err file 'x'"), an output that is one of `keep_off` (by file identity
// however it is spelled; for a file not there yet, by its directory and
// name), a symbolic link, a directory or anything but a regular file.
Status CheckOutputName(const std::string& path, std::string_view what,
                       const std::vector<RunFile>& keep_off);

}  // namespace grulo

#endif  // GRULO_CLI_COMMAND_FILES_H_
