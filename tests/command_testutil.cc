#include "command_testutil.h"

#include <stdexcept>

namespace grulo::test {

ProcessResult RunCommand(const std::vector<std::string>& argv, const std::string& input,
                         const std::vector<std::string>& env) {
  if (argv.empty()) throw std::invalid_argument("RunCommand needs a program");
  TempDir capture;
  ProcessOptions options;
  options.stdin_path = capture.File("stdin");
  WriteFileBytes(options.stdin_path, input);
  options.args.assign(argv.begin() + 1, argv.end());
  for (const std::string& variable : env) {
    const size_t equals = variable.find('=');
    if (equals == std::string::npos) throw std::invalid_argument("not NAME=value: " + variable);
    options.env.emplace_back(variable.substr(0, equals), variable.substr(equals + 1));
  }
  return RunProgram(argv[0], argv[0], options);
}

}  // namespace grulo::test
