#include "config/run_config.h"

#include <cstdint>
#include <optional>

#include "text/cp1252_names.h"
#include "platform/files.h"

namespace grulo {
namespace {

// The plain upper-case letters of the accented letters U+00C0 to U+00FF;
// '?' for the characters that are no such letter.
constexpr std::string_view kPlainLetters =
    "AAAAAA?CEEEEIIIIDNOOOOO?OUUUUY??AAAAAA?CEEEEIIIIDNOOOOO?OUUUUY?Y";

// How a section name is spelled, against the name it should have.
struct Spelling {
  std::string skeleton;     // its letters without accents, in upper case
  bool accented = false;    // it has letters with accents
  bool decomposed = false;  // accents as separate combining marks (U+0300 to U+036F)
};

// Reads the name as UTF-8 where it is valid UTF-8, as Windows-1252 otherwise.
Spelling SpellingOf(std::string_view name) {
  Spelling spelling;
  const bool utf8 = HoldsUtf8Text(name);
  size_t pos = 0;
  while (pos < name.size()) {
    uint32_t c = static_cast<unsigned char>(name[pos]);
    if (!utf8 || !DecodeUtf8(name, &pos, &c)) {
      c = Cp1252Character(static_cast<unsigned char>(name[pos]));
      ++pos;
    }
    if (c >= 0x300 && c <= 0x36F) {
      spelling.decomposed = true;
    } else if (c >= 0xC0 && c <= 0xFF && kPlainLetters[c - 0xC0] != '?') {
      spelling.accented = true;
      spelling.skeleton += kPlainLetters[c - 0xC0];
    } else if (c < 0x80) {
      spelling.skeleton += static_cast<char>(c >= 'a' && c <= 'z' ? c - 0x20 : c);
    } else {
      spelling.skeleton += '?';
    }
  }
  return spelling;
}

// The section "Général" is missing: a section that has its letters, with no
// accents, other accents or accents as separate marks, is named with what
// to write instead.
Status MissingSection(const IniFile& ini, const std::string& shown_path) {
  std::string expected = "[";
  expected.append(kGeneralSection).append("]");
  std::string message =
      "the configuration file " + Quoted(shown_path) + " has no section " + expected;
  const std::string wanted = SpellingOf(kGeneralSection).skeleton;
  for (const std::string& name : ini.SectionNames()) {
    const Spelling spelling = SpellingOf(name);
    if (spelling.skeleton != wanted) continue;
    message += "; its section [" + name + "] ";
    if (spelling.decomposed) {
      message += "writes its accents as separate marks (decomposed Unicode): write " + expected +
                 " with each accented letter as one character";
    } else if (!spelling.accented) {
      message += "lacks the accents: write " + expected;
    } else {
      message += "has other accents: write " + expected;
    }
    break;
  }
  return Status::InvalidArgument("", message);
}

// A required setting: missing and empty are failures.
Status RequiredValue(const IniFile& ini, std::string_view key, std::string_view what,
                     std::string_view if_empty, const std::string& shown_path,
                     std::string* value) {
  std::optional<std::string> found = ini.FindValue(kGeneralSection, key);
  std::string place =
      " in section [" + std::string(kGeneralSection) + "] of " + Quoted(shown_path);
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

std::string RunConfig::Origin(std::string_view key, std::string_view value) const {
  std::string origin = std::string(key) + " in " + Quoted(shown_path);
  if (!value.empty() && !IsAbsolutePath(value)) {
    std::string dir = CurrentDirectory();
    if (!dir.empty()) origin += "; relative to the current directory " + Quoted(dir);
  }
  return origin;
}

Status ReadRunConfig(const ConfigChoice& choice, IniFile* ini, RunConfig* config) {
  config->path = choice.path;
  config->shown_path = ShownPath(choice.path);
  Status status = ini->Load(choice.path);
  if (!status.ok()) {
    std::string where = "cannot read the configuration file " + Quoted(config->shown_path) + " (" +
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

