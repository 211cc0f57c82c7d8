// grulo: checks and groups the weekly summaries of the input file named in
// grulo.ini, next to the executable. No arguments; nothing on the console.

#include "driver/batch_driver.h"
#include "driver/missing_tree_grouper.h"
#include "driver/paths.h"

int main(int argc, char** argv) {
  try {
    std::string config_path = grulo::ConfigPath(argc > 0 ? argv[0] : nullptr);
    grulo::MissingTreeGrouper grouper;
    return grulo::RunBatch(config_path, grouper);
  } catch (...) {
    return 1;  // out of memory: the run is not complete
  }
}
