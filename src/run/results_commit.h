// The commit of a run's three results: the .grp file, the .err file and
// the configuration file with the counters change together or not at all,
// as seen by the next run, whatever instant the run is killed at.
//
// The commit, once the .grp and .err temporary files are complete and
// durable:
//   1. the configuration as it stands now, with the counters, goes to its
//      temporary file, made durable;
//   2. a commit record beside the configuration file
//      (".grulo.ini.grulo-commit") names the three temporary files (with
//      their file ids), the files they replace and the counters; it is made
//      durable, with its directory;
//   3. the configuration is looked at once more: when it changed since step
//      1 (an edit), the record is removed and the commit starts again;
//   4. the three renames, the configuration first, one right after the
//      other (the files they replace held open meanwhile, so that no rename
//      waits for a large file's blocks to be freed), then the directories
//      are synced;
//   5. the record is removed.
// A run that starts and finds a record (RecoverResults, under the locks)
// finishes that commit before anything else: each temporary file still there
// is renamed into place, one already renamed (its id now at the file's name)
// is left; the counters are merged again into the configuration when it
// changed since step 1. A record without its last line was cut short before
// any rename: it is undone (removed).
//
// A rename that fails is tried again; when it still fails, a commit that
// has renamed nothing is undone, and one that has renamed something keeps
// its record for the next run, which finishes it.

#ifndef GRULO_RUN_RESULTS_COMMIT_H_
#define GRULO_RUN_RESULTS_COMMIT_H_

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/status.h"
#include "platform/file_replacement.h"

namespace grulo {

inline constexpr char kCommitRecordSuffix[] = ".grulo-commit";

// The environment variable of the test hook: "STEP" kills the process right
// before the step (as SIGKILL would), "STEP:fail" makes the step fail. The
// steps of the end of a run, in order: sync-grp, sync-err, sync-config,
// write-record, sync-record, rename-config, rename-grp, rename-err,
// sync-dirs, remove-record. Production runs leave it unset.
inline constexpr char kFaultVariable[] = "GRULO_TEST_FAULT";

// The test hook, read once from the environment.
class FaultHook {
 public:
  static FaultHook FromEnvironment();
  // Ok, unless `step` is the step named: then the process is killed, or an
  // injected failure returned.
  Status At(std::string_view step) const;

 private:
  std::string step_;
  bool fail_ = false;
};

// The counters, in the order they are written ("NbLus", "3").
using Counters = std::vector<std::pair<std::string, std::string>>;

// The configuration file's bytes with the counters set in its results
// section (a new section spelled in the file's own encoding), every other
// line kept.
std::string WithCounters(const std::string& config_bytes, const Counters& counters);

// What a commit replaces.
struct CommitPlan {
  std::string config_path;   // the configuration file, links resolved
  std::string outputs_lock;  // the lock file held over the outputs
  Counters counters;
  // The finished replacements of the outputs (.grp, then .err), renamed in
  // this order after the configuration.
  std::vector<FileReplacement*> outputs;
};

// How a commit ended.
enum class CommitEnd {
  kDone,     // all three replaced
  kUndone,   // none replaced: the previous results stay
  kPending,  // some replaced: the record stays, the next run finishes it
};

// Commits the results: ok with kDone, or a failure that names what failed
// and why (for kPending, also what was replaced and what was not).
Status CommitResults(const CommitPlan& plan, const FaultHook& faults, CommitEnd* end);

// The commit record of the configuration file `config_path` (links
// resolved).
std::string CommitRecordPath(const std::string& config_path);

// Whether an interrupted commit waits beside `config_path`: a reader of
// the results sees them mixed until a run finishes it.
bool CommitPending(const std::string& config_path);

// At the start of a run that holds the lock of `config_path` and the lock
// file `outputs_lock`: finishes (or undoes) the commit of an earlier run
// that was stopped midway. Ok when there was none or it was finished
// (`*note` then says what was done, or stays empty); a failure when it could
// not be, the record then kept.
Status RecoverResults(const std::string& config_path, const std::string& outputs_lock,
                      std::string* note);

}  // namespace grulo

#endif  // GRULO_RUN_RESULTS_COMMIT_H_
