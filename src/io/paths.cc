#include "io/paths.h"

#include "platform/files.h"
#include "platform/process.h"

namespace grulo {

std::string_view DirectoryPart(std::string_view path) {
  for (size_t end = path.size(); end > 0; --end) {
    if (IsPathSeparator(path[end - 1])) return path.substr(0, end);
  }
  return std::string_view();
}

std::string ConfigPathFor(std::string_view argv0, std::string_view executable_path) {
  std::string_view dir = DirectoryPart(argv0);
  if (dir.empty()) dir = DirectoryPart(executable_path);
  std::string path(dir);
  path += kConfigFileName;
  return path;
}

std::string ConfigPath(const char* argv0) {
  std::string_view own = argv0 != nullptr ? std::string_view(argv0) : std::string_view();
  if (!DirectoryPart(own).empty()) return ConfigPathFor(own, {});
  return ConfigPathFor(own, ExecutablePath());
}

std::string_view InputBaseName(std::string_view fic_ent) {
  size_t separator = fic_ent.find_last_of("/\\");
  std::string_view name =
      separator == std::string_view::npos ? fic_ent : fic_ent.substr(separator + 1);
  size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? name : name.substr(0, dot);
}

std::string OutputStem(std::string_view rep_sor, std::string_view base_name) {
  std::string stem(rep_sor);
  stem += '/';
  stem += base_name;
  return stem;
}

}  // namespace grulo
