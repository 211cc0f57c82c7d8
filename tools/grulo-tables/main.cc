// grulo-tables: builds the three reference table files from their text
// sources, dumps table files back into text, and checks table files.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "authoring/file_io.h"
#include "authoring/table_build.h"
#include "authoring/table_check.h"
#include "authoring/table_dump.h"
#include "authoring/tree_check.h"
#include "base/status.h"
#include "options/help_text.h"
#include "platform/files.h"
#include "platform/process.h"
#include "tables/open_tables.h"
#include "tables/table_file.h"
#include "text/cp1252_text.h"

namespace grulo {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFindings = 1;  // errors in a source, a table or a check
constexpr int kExitUsage = 2;     // wrong usage, or a file that cannot be read or written

constexpr char kExitStatuses[] =
    "The text formats are described in docs/table-formats.md.\n"
    "\n"
    "Exit status: 0 success (check: no error found, warnings allowed); 1 errors\n"
    "in a source or in the built tables (build), a file too short to be a table\n"
    "(dump), errors found (check); 2 wrong usage, or a file that cannot be read\n"
    "or written.\n";

std::string_view CheckKind(std::string_view value) {
  TableKind kind;
  return TableKindFromWord(std::string(value), &kind) ? "" : "tree, diag or acts";
}

int RunBuild(int argc, char** argv, std::FILE* out, std::FILE* err);
int RunDump(int argc, char** argv, std::FILE* out, std::FILE* err);
int RunCheck(int argc, char** argv, std::FILE* out, std::FILE* err);

constexpr OptionDefinition kBuildOptions[] = {
    {"tree", 0, "FILE", "the tree source (arbressr.tab)"},
    {"acts", 0, "FILE", "the act source (ccamcssr.tab)"},
    {"diag", 0, "FILE", "the diagnosis source (diag10sr.tab)"},
    {"out", 0, "DIR", "the directory of the tables (created when missing)", nullptr, true},
    {"force", 0, "", "write the tables even when their check finds errors"},
};
constexpr CommandDefinition kBuildCommand = {
    .name = "grulo-tables build",
    .summary = "compiles text sources into the table files",
    .description =
        "Compiles text sources into arbressr.tab, ccamcssr.tab and diag10sr.tab in\n"
        "DIR. The built tables are checked first; when the check finds errors\n"
        "nothing is written, unless --force is given.\n",
    .options = kBuildOptions,
    .epilogue = kExitStatuses,
    .run = RunBuild,
};

constexpr OptionDefinition kDumpOptions[] = {
    {"kind", 0, "KIND", "tree, diag or acts (default: from the file's name or header)", CheckKind},
    {"out", 0, "FILE", "write to FILE (default: standard output)"},
};
constexpr CommandDefinition kDumpCommand = {
    .name = "grulo-tables dump",
    .operands = "TABLE",
    .min_operands = 1,
    .max_operands = 1,
    .summary = "turns a table file back into its text source",
    .description = "Writes the text source of a table file.\n",
    .options = kDumpOptions,
    .epilogue = kExitStatuses,
    .run = RunDump,
};

constexpr OptionDefinition kCheckOptions[] = {
    {"kind", 0, "KIND", "tree, diag or acts, for table files (default: from the name or header)",
     CheckKind},
    {"strict", 0, "", "count warnings as errors"},
};
constexpr CommandDefinition kCheckCommand = {
    .name = "grulo-tables check",
    .operands = "DIR | TABLE...",
    .min_operands = 1,
    .max_operands = kAnyNumber,
    .summary = "reports every inconsistency of a table directory",
    .description =
        "Checks the three tables of a directory (and that their versions agree), or\n"
        "single table files, and prints one line per finding.\n",
    .options = kCheckOptions,
    .epilogue = kExitStatuses,
    .run = RunCheck,
};

constexpr const CommandDefinition* kCommands[] = {&kBuildCommand, &kDumpCommand, &kCheckCommand};
constexpr CommandDefinition kTablesProgram = {
    .name = "grulo-tables",
    .max_operands = kAnyNumber,  // a word that names no command is refused as such
    .summary = "builds, dumps and checks the table files",
    .description = "Builds, dumps and checks the three table files of grulo.\n",
    .epilogue = kExitStatuses,
    .version = GRULO_VERSION,
    .commands = kCommands,
};

// Prints a failure on `err` and returns the exit status.
int Failure(std::FILE* err, const Status& status, int exit_status) {
  PrintText(err, "grulo-tables: " + status.message() + "\n");
  return exit_status;
}

bool IsDirectory(const std::string& path) {
  FileInfo info;
  return GetFileInfo(path, &info).ok() && info.type == FileInfo::kDirectory;
}

std::string JoinPath(const std::string& dir, std::string_view name) {
  std::string path = dir;
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  return path;
}

void PrintFindings(const CheckReport& report, std::FILE* stream) {
  std::string text;
  for (const Finding& finding : report.findings) text += FormatFinding(finding) + "\n";
  PrintText(stream, text);
}

// ---------------------------------------------------------------------------

int RunBuild(int argc, char** argv, std::FILE* out, std::FILE* err) {
  const ParsedOptions args = ParseOptions(kBuildCommand, argc, argv, 2);
  if (const int handled = HandleParsedOptions(kBuildCommand, args, out, err); handled >= 0) {
    return handled;
  }
  const std::string out_dir = args.Value("out");

  struct Built {
    TableKind kind;
    std::string source;
    std::vector<uint8_t> bytes;
  };
  std::vector<Built> built;
  for (auto [option, kind] :
       {std::pair{"tree", TableKind::kTree}, std::pair{"acts", TableKind::kAct},
        std::pair{"diag", TableKind::kDiag}}) {
    if (args.Has(option)) built.push_back({kind, args.Value(option), {}});
  }
  if (built.empty()) {
    return PrintUsageError(err, kBuildCommand, "give at least one of --tree, --acts, --diag");
  }

  bool source_errors = false;
  for (Built& b : built) {
    std::string text;
    if (Status s = ReadTextSource(b.source, &text); !s.ok()) {
      return Failure(err, s, kExitUsage);
    }
    if (Status s = BuildTable(b.kind, text, b.source, &b.bytes); !s.ok()) {
      PrintText(err, s.message() + "\n");  // one "path:line: what" line per error
      source_errors = true;
    }
  }
  if (source_errors) return kExitFindings;

  CheckReport report;
  const TableFile* tree = nullptr;
  std::vector<std::unique_ptr<TableFile>> files;
  for (const Built& b : built) {
    files.push_back(TableFile::FromBytes(b.bytes));
    const std::string name(TableFileName(b.kind));
    switch (b.kind) {
      case TableKind::kTree:
        CheckTreeFile(*files.back(), name, &report);
        tree = files.back().get();
        break;
      case TableKind::kAct:
        CheckActFile(*files.back(), name, &report);
        break;
      case TableKind::kDiag:
        CheckDiagFile(*files.back(), name, &report);
        break;
    }
  }
  for (size_t i = 0; i < built.size(); ++i) {
    if (tree == nullptr || built[i].kind == TableKind::kTree) continue;
    CheckVersionAgainstTree(*tree, *files[i], TableFileName(built[i].kind), &report);
  }
  PrintFindings(report, err);
  if (report.ErrorCount() > 0 && !args.Has("force")) {
    PrintText(err, "grulo-tables: " + std::to_string(report.ErrorCount()) +
                       " errors in the built tables; nothing written (--force writes them "
                       "anyway)\n");
    return kExitFindings;
  }

  std::error_code ec;
  std::filesystem::create_directories(out_dir, ec);
  if (ec) {
    return Failure(err, Status::IoError(Quoted(out_dir), "cannot create: " + ec.message()),
                   kExitUsage);
  }
  // Every table is written to a temporary file first; only when all are
  // written are they renamed into place, each one whole.
  // A name that is a symbolic link or no regular file is refused before any
  // table is written.
  std::vector<std::unique_ptr<FileReplacement>> pending(built.size());
  for (size_t i = 0; i < built.size(); ++i) {
    const std::string path = JoinPath(out_dir, TableFileName(built[i].kind));
    const std::string_view bytes(reinterpret_cast<const char*>(built[i].bytes.data()),
                                 built[i].bytes.size());
    if (Status s = WritePendingFile(path, bytes, &pending[i]); !s.ok()) {
      return Failure(err, s, kExitUsage);
    }
  }
  for (const std::unique_ptr<FileReplacement>& file : pending) {
    if (Status s = CommitFile(*file); !s.ok()) return Failure(err, s, kExitUsage);
  }
  return kExitOk;
}

// Opens a table file named on the command line and tells its kind, from
// --kind or from the file; the exit status of a failure, or kExitOk.
int OpenTableArgument(const CommandDefinition& command, const std::string& path,
                      const ParsedOptions& args, std::FILE* err, std::unique_ptr<TableFile>* file,
                      TableKind* kind) {
  if (Status s = OpenTableFile(path, file); !s.ok()) return Failure(err, s, kExitUsage);
  if (args.Has("kind")) {
    TableKindFromWord(args.Value("kind"), kind);  // checked with the options
  } else if (!GuessTableKind(path, **file, kind)) {
    return PrintUsageError(err, command, "cannot tell which table " + Quoted(path) +
                                             " is: give --kind");
  }
  return kExitOk;
}

int RunDump(int argc, char** argv, std::FILE* out, std::FILE* err) {
  const ParsedOptions args = ParseOptions(kDumpCommand, argc, argv, 2);
  if (const int handled = HandleParsedOptions(kDumpCommand, args, out, err); handled >= 0) {
    return handled;
  }
  const std::string& path = args.operands[0];
  std::unique_ptr<TableFile> file;
  TableKind kind;
  if (int status = OpenTableArgument(kDumpCommand, path, args, err, &file, &kind);
      status != kExitOk) {
    return status;
  }
  std::string text;
  Status round_trip;
  if (Status s = DumpTable(*file, path, kind, &text, &round_trip); !s.ok()) {
    return Failure(err, s, kExitFindings);
  }
  if (!round_trip.ok()) PrintText(err, "grulo-tables: warning: " + round_trip.message() + "\n");
  if (args.Has("out")) {
    if (Status s = WriteFileAtomically(args.Value("out"), text); !s.ok()) {
      return Failure(err, s, kExitUsage);
    }
  } else {
    std::fwrite(text.data(), 1, text.size(), out);  // the source's own bytes
    if (std::fflush(out) != 0) return kExitUsage;
  }
  return kExitOk;
}

int RunCheck(int argc, char** argv, std::FILE* out, std::FILE* err) {
  const ParsedOptions args = ParseOptions(kCheckCommand, argc, argv, 2);
  if (const int handled = HandleParsedOptions(kCheckCommand, args, out, err); handled >= 0) {
    return handled;
  }
  CheckReport report;
  if (args.operands.size() == 1 && IsDirectory(args.operands[0])) {
    if (args.Has("kind")) {
      return PrintUsageError(err, kCheckCommand, "--kind goes with table files");
    }
    CheckTableDirectory(args.operands[0], &report);
  } else {
    for (const std::string& path : args.operands) {
      std::unique_ptr<TableFile> file;
      TableKind kind;
      if (int status = OpenTableArgument(kCheckCommand, path, args, err, &file, &kind);
          status != kExitOk) {
        return status;
      }
      switch (kind) {
        case TableKind::kTree:
          CheckTreeFile(*file, path, &report);
          break;
        case TableKind::kAct:
          CheckActFile(*file, path, &report);
          break;
        case TableKind::kDiag:
          CheckDiagFile(*file, path, &report);
          break;
      }
    }
  }
  PrintFindings(report, out);
  const int errors = report.ErrorCount();
  const int warnings = report.WarningCount();
  PrintText(out, std::to_string(errors) + " errors, " + std::to_string(warnings) + " warnings\n");
  if (errors > 0 || (warnings > 0 && args.Has("strict"))) return kExitFindings;
  return kExitOk;
}

int Main(int argc, char** argv) {
  if (argc > 1) {
    if (const CommandDefinition* command = FindCommand(kTablesProgram, argv[1])) {
      return command->run(argc, argv, stdout, stderr);
    }
  }
  ParsedOptions args = ParseOptions(kTablesProgram, argc, argv, 1);
  if (args.error.empty() && !args.Has("help") && !args.Has("version")) {
    args.error = args.operands.empty() ? "no command"
                                       : "unknown command " + Quoted(args.operands[0]);
  }
  return HandleParsedOptions(kTablesProgram, args, stdout, stderr);
}

}  // namespace
}  // namespace grulo

int main(int argc, char** argv) {
  grulo::UseBinaryStandardStreams();  // dumps are bytes, CR LF as written
  const grulo::Utf8Console utf8_console;  // messages and findings are UTF-8
  return grulo::Main(argc, argv);
}
