// Running a built program with arguments and a standard input, for the
// tests of the subcommands.

#ifndef GRULO_TESTS_COMMAND_TESTUTIL_H_
#define GRULO_TESTS_COMMAND_TESTUTIL_H_

#include <string>
#include <vector>

#include "process_testutil.h"

namespace grulo::test {

// Runs argv[0] (a path) with the arguments argv[1...], `input` on its
// standard input, and the environment variables `env` ("NAME=value") set
// besides the test's own; what it wrote and its exit status.
ProcessResult RunCommand(const std::vector<std::string>& argv, const std::string& input = "",
                         const std::vector<std::string>& env = {});

}  // namespace grulo::test

#endif  // GRULO_TESTS_COMMAND_TESTUTIL_H_
