// grulo: checks and groups the weekly summaries of the input file named in
// grulo.ini, next to the executable. No arguments; nothing on the console.
// "grulo explain", "grulo report" and "grulo errors" read the results.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "driver/batch_driver.h"
#include "driver/errors_command.h"
#include "driver/explain_command.h"
#include "driver/paths.h"
#include "driver/pipeline.h"
#include "driver/report_command.h"
#include "driver/run_clock.h"

int main(int argc, char** argv) {
  try {
    // The subcommands; anything else runs the batch.
    if (argc > 1 && std::strcmp(argv[1], "explain") == 0) {
      return grulo::RunExplainCommand(argc, argv, stdout, stderr);
    }
    if (argc > 1 && std::strcmp(argv[1], "report") == 0) {
      return grulo::RunReportCommand(argc, argv, stdout, stderr);
    }
    if (argc > 1 && std::strcmp(argv[1], "errors") == 0) {
      return grulo::RunErrorsCommand(argc, argv, stdout, stderr);
    }
    std::string config_path = grulo::ConfigPath(argc > 0 ? argv[0] : nullptr);
    std::unique_ptr<grulo::Clock> clock = grulo::MakeRunClock(std::getenv(grulo::kTodayVariable));
    grulo::GroupingPipeline pipeline(*clock);
    return grulo::RunBatch(config_path, pipeline);
  } catch (...) {
    return 1;  // out of memory: the run is not complete
  }
}
