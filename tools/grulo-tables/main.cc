// grulo-tables: builds the three reference table files from their text
// sources, dumps table files back into text, and checks table files.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "authoring/file_io.h"
#include "authoring/table_build.h"
#include "authoring/table_check.h"
#include "authoring/table_dump.h"
#include "authoring/tree_check.h"
#include "base/status.h"
#include "platform/files.h"
#include "platform/process.h"
#include "tables/open_tables.h"
#include "tables/table_file.h"

namespace grulo {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFindings = 1;  // errors in a source, a table or a check
constexpr int kExitUsage = 2;     // wrong usage, or a file that cannot be read or written

constexpr char kUsage[] =
    "Usage:\n"
    "  grulo-tables build [--tree FILE] [--acts FILE] [--diag FILE] --out DIR [--force]\n"
    "      Compiles text sources into arbressr.tab, ccamcssr.tab and diag10sr.tab\n"
    "      in DIR (created when missing). The built tables are checked first;\n"
    "      when the check finds errors nothing is written, unless --force is given.\n"
    "  grulo-tables dump [--kind tree|diag|acts] [--out FILE] TABLE\n"
    "      Writes the text source of a table file, to standard output unless\n"
    "      --out is given. The kind comes from the file name or the header when\n"
    "      --kind is not given.\n"
    "  grulo-tables check [--strict] DIR\n"
    "  grulo-tables check [--strict] [--kind tree|diag|acts] TABLE...\n"
    "      Checks the three tables of a directory (and that their versions agree),\n"
    "      or single table files, and prints one line per finding.\n"
    "      --strict counts warnings as errors.\n"
    "\n"
    "The text formats are described in docs/table-formats.md.\n"
    "\n"
    "Exit status:\n"
    "  0  success; check: no error found (warnings allowed)\n"
    "  1  build: errors in a source or in the built tables; dump: the file is\n"
    "     too short to be a table; check: errors found\n"
    "  2  wrong usage, or a file that cannot be read or written\n";

int UsageError(const std::string& message) {
  std::cerr << "grulo-tables: " << message << "\n\n" << kUsage;
  return kExitUsage;
}

// Prints a failure on standard error and returns the exit status.
int Failure(const Status& status, int exit_status) {
  std::cerr << "grulo-tables: " << status.message() << "\n";
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

// Arguments: options with a value, flags, and the rest.
struct Arguments {
  std::vector<std::pair<std::string, std::string>> options;
  std::vector<std::string> flags;
  std::vector<std::string> rest;

  const std::string* Option(std::string_view name) const {
    for (const auto& [key, value] : options) {
      if (key == name) return &value;
    }
    return nullptr;
  }
  bool Flag(std::string_view name) const {
    for (const std::string& f : flags) {
      if (f == name) return true;
    }
    return false;
  }
};

Status ParseArguments(int argc, char** argv, const std::vector<std::string>& with_value,
                      const std::vector<std::string>& flag_names, Arguments* args) {
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
      bool known = false;
      for (const std::string& name : with_value) {
        if (arg != name) continue;
        if (i + 1 >= argc) return Status::InvalidArgument("", arg + " needs a value");
        if (args->Option(name) != nullptr) {
          return Status::InvalidArgument("", arg + " is given twice");
        }
        args->options.emplace_back(name, argv[++i]);
        known = true;
      }
      for (const std::string& name : flag_names) {
        if (arg == name) {
          args->flags.push_back(name);
          known = true;
        }
      }
      if (!known) return Status::InvalidArgument("", "unknown option " + arg);
    } else {
      args->rest.push_back(arg);
    }
  }
  return Status();
}

void PrintFindings(const CheckReport& report, std::ostream& out) {
  for (const Finding& finding : report.findings) out << FormatFinding(finding) << "\n";
}

// ---------------------------------------------------------------------------

int RunBuild(int argc, char** argv) {
  Arguments args;
  if (Status s =
          ParseArguments(argc, argv, {"--tree", "--acts", "--diag", "--out"}, {"--force"}, &args);
      !s.ok()) {
    return UsageError(s.message());
  }
  if (!args.rest.empty()) return UsageError("unexpected argument " + args.rest[0]);
  const std::string* out_dir = args.Option("--out");
  if (out_dir == nullptr) return UsageError("build needs --out DIR");

  struct Built {
    TableKind kind;
    std::string source;
    std::vector<uint8_t> bytes;
  };
  std::vector<Built> built;
  for (auto [option, kind] :
       {std::pair{"--tree", TableKind::kTree}, std::pair{"--acts", TableKind::kAct},
        std::pair{"--diag", TableKind::kDiag}}) {
    const std::string* path = args.Option(option);
    if (path != nullptr) built.push_back({kind, *path, {}});
  }
  if (built.empty()) return UsageError("build needs at least one of --tree, --acts, --diag");

  bool source_errors = false;
  for (Built& b : built) {
    std::string text;
    if (Status s = ReadWholeFile(b.source, kMaxSourceBytes, &text); !s.ok()) {
      return Failure(s, kExitUsage);
    }
    if (Status s = BuildTable(b.kind, text, b.source, &b.bytes); !s.ok()) {
      std::cerr << s.message() << "\n";  // one "path:line: what" line per error
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
  PrintFindings(report, std::cerr);
  const bool force = args.Flag("--force");
  if (report.ErrorCount() > 0 && !force) {
    std::cerr << "grulo-tables: " << report.ErrorCount()
              << " errors in the built tables; nothing written (--force writes them anyway)\n";
    return kExitFindings;
  }

  std::error_code ec;
  std::filesystem::create_directories(*out_dir, ec);
  if (ec) return Failure(Status::IoError(*out_dir, "cannot create: " + ec.message()), kExitUsage);
  // Every table is written to a temporary file first; only when all are
  // written are they renamed into place, each one whole.
  std::vector<std::unique_ptr<PendingFile>> pending(built.size());
  for (size_t i = 0; i < built.size(); ++i) {
    const std::string path = JoinPath(*out_dir, TableFileName(built[i].kind));
    const std::string_view bytes(reinterpret_cast<const char*>(built[i].bytes.data()),
                                 built[i].bytes.size());
    if (Status s = PendingFile::Write(path, bytes, &pending[i]); !s.ok()) {
      return Failure(s, kExitUsage);
    }
  }
  for (const std::unique_ptr<PendingFile>& file : pending) {
    if (Status s = file->Commit(); !s.ok()) return Failure(s, kExitUsage);
  }
  return kExitOk;
}

// Opens a table file named on the command line and tells its kind, from
// --kind or from the file; the exit status of a failure, or kExitOk.
int OpenTableArgument(const std::string& path, const Arguments& args,
                      std::unique_ptr<TableFile>* file, TableKind* kind) {
  if (Status s = OpenTableFile(path, file); !s.ok()) return Failure(s, kExitUsage);
  if (const std::string* word = args.Option("--kind")) {
    if (!TableKindFromWord(*word, kind)) return UsageError("--kind is tree, diag or acts");
  } else if (!GuessTableKind(path, **file, kind)) {
    return UsageError("cannot tell which table " + path + " is: give --kind");
  }
  return kExitOk;
}

int RunDump(int argc, char** argv) {
  Arguments args;
  if (Status s = ParseArguments(argc, argv, {"--kind", "--out"}, {}, &args); !s.ok()) {
    return UsageError(s.message());
  }
  if (args.rest.size() != 1) return UsageError("dump takes one table file");
  const std::string& path = args.rest[0];
  std::unique_ptr<TableFile> file;
  TableKind kind;
  if (int status = OpenTableArgument(path, args, &file, &kind); status != kExitOk) return status;
  std::string text;
  Status round_trip;
  if (Status s = DumpTable(*file, path, kind, &text, &round_trip); !s.ok()) {
    return Failure(s, kExitFindings);
  }
  if (!round_trip.ok()) std::cerr << "grulo-tables: warning: " << round_trip.message() << "\n";
  if (const std::string* out = args.Option("--out")) {
    if (Status s = WriteFileAtomically(*out, text); !s.ok()) return Failure(s, kExitUsage);
  } else {
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (std::fflush(stdout) != 0) return kExitUsage;
  }
  return kExitOk;
}

int RunCheck(int argc, char** argv) {
  Arguments args;
  if (Status s = ParseArguments(argc, argv, {"--kind"}, {"--strict"}, &args); !s.ok()) {
    return UsageError(s.message());
  }
  if (args.rest.empty()) return UsageError("check takes a table directory or table files");
  CheckReport report;
  if (args.rest.size() == 1 && IsDirectory(args.rest[0])) {
    if (args.Option("--kind") != nullptr) return UsageError("--kind goes with table files");
    CheckTableDirectory(args.rest[0], &report);
  } else {
    for (const std::string& path : args.rest) {
      std::unique_ptr<TableFile> file;
      TableKind kind;
      if (int status = OpenTableArgument(path, args, &file, &kind); status != kExitOk) {
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
  PrintFindings(report, std::cout);
  const int errors = report.ErrorCount();
  const int warnings = report.WarningCount();
  std::cout << errors << " errors, " << warnings << " warnings\n";
  std::cout.flush();
  if (errors > 0 || (warnings > 0 && args.Flag("--strict"))) return kExitFindings;
  return kExitOk;
}

int Main(int argc, char** argv) {
  if (argc < 2) return UsageError("no command");
  const std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kUsage;
    return kExitOk;
  }
  if (command == "build") return RunBuild(argc, argv);
  if (command == "dump") return RunDump(argc, argv);
  if (command == "check") return RunCheck(argc, argv);
  return UsageError("unknown command " + command);
}

}  // namespace
}  // namespace grulo

int main(int argc, char** argv) {
  grulo::UseBinaryStandardStreams();  // dumps are bytes, CR LF as written
  return grulo::Main(argc, argv);
}
