// grulo: checks and groups the weekly summaries of the input file named in
// grulo.ini, next to the executable. No arguments; nothing on the console.

#include <cstdlib>
#include <memory>

#include "driver/batch_driver.h"
#include "driver/paths.h"
#include "driver/pipeline.h"
#include "driver/run_clock.h"

int main(int argc, char** argv) {
  try {
    std::string config_path = grulo::ConfigPath(argc > 0 ? argv[0] : nullptr);
    std::unique_ptr<grulo::Clock> clock = grulo::MakeRunClock(std::getenv(grulo::kTodayVariable));
    grulo::GroupingPipeline pipeline(*clock);
    return grulo::RunBatch(config_path, pipeline);
  } catch (...) {
    return 1;  // out of memory: the run is not complete
  }
}
