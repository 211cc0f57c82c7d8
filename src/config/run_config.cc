#include "config/run_config.h"

#include <optional>

#include "text/cp1252_names.h"
#include "platform/files.h"

namespace grulo {
namespace {

// A name with its accented letters (of Windows-1252 or UTF-8) replaced by
// their plain letters, in upper case: how "[General]" and "[Général]" look
// alike.
std::string WithoutAccents(std::string_view name) {
  std::string folded = FoldedName(name);
  for (char& c : folded) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0xC8 && u <= 0xCB) c = 'E';
    if (u >= 0xC0 && u <= 0xC5) c = 'A';
  }
  return folded;
}

Status MissingSection(const IniFile& ini, const std::string& shown_path) {
  std::string message = "the configuration file " + shown_path + " has no section [" +
                        SectionForMessage(kGeneralSection) + "]";
  for (const std::string& name : ini.SectionNames()) {
    if (WithoutAccents(name) == WithoutAccents(kGeneralSection)) {
      message += "; its section [" + name + "] needs the accents: [" +
                 SectionForMessage(kGeneralSection) + "]";
      break;
    }
  }
  return Status::InvalidArgument("", message);
}

// A required setting: missing and empty are failures.
Status RequiredValue(const IniFile& ini, std::string_view key, std::string_view what,
                     std::string_view if_empty, const std::string& shown_path,
                     std::string* value) {
  std::optional<std::string> found = ini.FindValue(kGeneralSection, key);
  std::string place = " in section [" + SectionForMessage(kGeneralSection) + "] of " + shown_path;
  if (!found) {
    return Status::InvalidArgument(
        "", "no " + std::string(what) + ": the key " + std::string(key) + " is missing" + place +
                std::string(if_empty));
  }
  if (found->empty()) {
    return Status::InvalidArgument(
        "", "no " + std::string(what) + ": " + std::string(key) + " is empty" + place +
                std::string(if_empty));
  }
  *value = *found;
  return Status();
}

}  // namespace

std::string ShownPath(const std::string& path) {
  if (IsAbsolutePath(path)) return path;
  std::string dir = CurrentDirectory();
  if (dir.empty()) return path;
  std::string_view rest = path;
  while (rest.starts_with("./")) rest.remove_prefix(2);
  if (!IsPathSeparator(dir.back())) dir += '/';
  return dir + std::string(rest);
}

std::string SectionForMessage(std::string_view section) { return Cp1252ToUtf8(section); }

std::string RunConfig::Origin(std::string_view key, std::string_view value) const {
  std::string origin = std::string(key) + " in " + shown_path;
  if (!value.empty() && !IsAbsolutePath(value)) {
    std::string dir = CurrentDirectory();
    if (!dir.empty()) origin += "; relative to the current directory " + dir;
  }
  return origin;
}

Status ReadRunConfig(const ConfigChoice& choice, IniFile* ini, RunConfig* config) {
  config->path = choice.path;
  config->shown_path = ShownPath(choice.path);
  Status status = ini->Load(choice.path);
  if (!status.ok()) {
    std::string where = "cannot read the configuration file " + config->shown_path + " (" +
                        (choice.given ? "given with --config" : "beside the program") + ")";
    return status.code() == Status::kNotFound ? Status::NotFound(where, status.message())
                                              : Status::IoError(where, status.message());
  }
  if (!ini->HasSection(kGeneralSection)) return MissingSection(*ini, config->shown_path);
  config->rep_tab = ini->GetValue(kGeneralSection, "RepTab", "");
  status = RequiredValue(*ini, "FicEnt", "input file", "", config->shown_path, &config->fic_ent);
  if (!status.ok()) return status;
  return RequiredValue(*ini, "RepSor", "output directory",
                       " (the outputs would go into the root directory)", config->shown_path,
                       &config->rep_sor);
}

}  // namespace grulo

