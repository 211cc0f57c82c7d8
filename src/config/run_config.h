// The configuration of a run: the file it comes from, the three settings of
// section "Général" read from it, and the words that tell an operator where
// a setting came from when something goes wrong with it.

#ifndef GRULO_CONFIG_RUN_CONFIG_H_
#define GRULO_CONFIG_RUN_CONFIG_H_

#include <string>
#include <string_view>

#include "base/status.h"
#include "config/ini_file.h"

namespace grulo {

inline constexpr char kGeneralSection[] = "G\xE9n\xE9ral";
inline constexpr char kResultsSection[] = "R\xE9sultats";

// Which configuration file a run uses.
struct ConfigChoice {
  std::string path;
  bool given = false;  // named on the command line rather than found beside the program
};

struct RunConfig {
  std::string path;       // of the configuration file, as chosen
  std::string shown_path;  // the same for messages: absolute
  std::string rep_tab;
  std::string fic_ent;
  std::string rep_sor;

  // "<key> in '<configuration file>'", with "; relative to the current
  // directory '<dir>'" when `value` is a relative path.
  std::string Origin(std::string_view key, std::string_view value) const;
};

// Reads the configuration file into `ini` and its settings into `config`.
// Fails with a message for a person when the file cannot be read, has no
// section "Général" (naming a section spelled without its accents, with
// other accents, or with its accents as separate marks), lacks
// FicEnt or RepSor or has them empty (an empty RepSor would put the outputs
// into the root directory). RepTab may be missing: the tables are then
// looked for in the current directory, as always.
Status ReadRunConfig(const ConfigChoice& choice, IniFile* ini, RunConfig* config);

// A path for a message: absolute paths as they are, relative ones behind the
// current directory.
std::string ShownPath(const std::string& path);

}  // namespace grulo

#endif  // GRULO_CONFIG_RUN_CONFIG_H_
