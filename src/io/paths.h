// The paths of a run: the configuration file beside the program, the base
// name of the input file and the paths of the two output files.

#ifndef GRULO_IO_PATHS_H_
#define GRULO_IO_PATHS_H_

#include <string>
#include <string_view>

namespace grulo {

inline constexpr char kConfigFileName[] = "grulo.ini";

// The directory part of a path, up to and including its last separator ('/',
// and on Windows also the backslash); empty
// when the path has none.
std::string_view DirectoryPart(std::string_view path);

// The configuration path: "grulo.ini" in the directory of the program's own
// path `argv0` when that path has one, else in the directory of
// `executable_path` (the running executable, for a program found through
// PATH), else the bare "grulo.ini" (the current directory).
std::string ConfigPathFor(std::string_view argv0, std::string_view executable_path);

// The same with the running executable's path as the system tells it;
// `argv0` may be null.
std::string ConfigPath(const char* argv0);

// The input base name: the file name of `fic_ent` after its last '/' or '\',
// without its last extension (from the last '.' of the file name on).
std::string_view InputBaseName(std::string_view fic_ent);

// `rep_sor` + "/" + `base_name`: the output paths without ".err" / ".grp".
// An empty `rep_sor` gives a path in the root directory.
std::string OutputStem(std::string_view rep_sor, std::string_view base_name);

}  // namespace grulo

#endif  // GRULO_IO_PATHS_H_
