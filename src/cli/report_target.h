// Where a report page may go: never over a file of the run nor over a file
// that is not a page grulo wrote, and only into a directory that takes it.
// Checked before anything is read or written, by `grulo report` and by
// `grulo --report` before its run starts.

#ifndef GRULO_CLI_REPORT_TARGET_H_
#define GRULO_CLI_REPORT_TARGET_H_

#include <string>
#include <vector>

#include "base/status.h"

namespace grulo {

// A file of the run that a page must never replace, and what it is for a
// message ("the configuration file", "the input file", ...).
struct RunFile {
  std::string path;
  std::string what;
};

// The run's input and outputs.
std::vector<RunFile> RunFilesOf(const std::string& input, const std::string& grp,
                                const std::string& err);
// Adds the configuration file and the three tables in `rep_tab`.
void AddConfigFiles(const std::string& config_path, const std::string& rep_tab,
                    std::vector<RunFile>* files);

// Refuses, with kInvalidArgument and a message that names the page and what
// stands there, a page that is (by file identity, however the path is
// spelled; or, for a file not there yet, by its directory's identity and
// its name) one of `run_files`, or an existing name that is not a regular
// file holding an HTML page grulo wrote (a symbolic link included).
Status CheckReportTarget(const std::string& page, const std::vector<RunFile>& run_files);

// The same for the list of rejected summaries of `grulo report --rejected`:
// an existing file is replaced only when it starts with the list's header
// row (RejectedList::kHeader).
Status CheckRejectedListTarget(const std::string& list, const std::vector<RunFile>& run_files);

// Whether the page can be written now: its directory exists and takes a new
// file (one is created and removed). The system's reason otherwise.
Status CheckReportWritable(const std::string& page);

}  // namespace grulo

#endif  // GRULO_CLI_REPORT_TARGET_H_
