#include "batch/batch_engine.h"

#include <utility>
#include <vector>

#include "batch/batch_driver.h"
#include "batch/parallel_lines.h"

namespace grulo {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Once the tables are open: the rest of the lines on several threads, or
// nullptr while the groupers cannot be made yet.
std::unique_ptr<ParallelLines> StartParallel(SummaryGrouper& grouper, const BatchOptions& options,
                                             BatchRun* run, OutputFile* err, OutputFile* grp) {
  std::vector<std::unique_ptr<SummaryGrouper>> groupers;
  for (int i = 0; i < options.threads; ++i) {
    std::unique_ptr<SummaryGrouper> one = grouper.ForThread();
    if (one == nullptr) return nullptr;
    groupers.push_back(std::move(one));
  }
  return std::make_unique<ParallelLines>(std::move(groupers), options.chunk_lines, run, err, grp,
                                         options.observer);
}

}  // namespace

BatchEngine::BatchEngine(TableSource tables, ClockFactory clocks)
    : grouper_(std::make_unique<RunGrouper>(std::move(tables), std::move(clocks))) {}

BatchEngine::BatchEngine(std::unique_ptr<SummaryGrouper> grouper) : grouper_(std::move(grouper)) {}

Status BatchEngine::Run(ByteSource* input, OutputFile* err, OutputFile* grp,
                        const BatchOptions& options) {
  LineReader reader(input);
  if (!reader.Start()) return Status::IoError("the input", "cannot be read");
  return Run(&reader, err, grp, options);
}

Status BatchEngine::Run(LineReader* reader, OutputFile* err, OutputFile* grp,
                        const BatchOptions& options) {
  BatchRun run(*grouper_, err, grp, options.observer);
  std::unique_ptr<ParallelLines> parallel;
  bool may_go_parallel = options.threads > 1;
  InputLine line;
  LineReader::Status status;
  int64_t lines = 0;
  for (;;) {
    if (parallel != nullptr) {
      status = parallel->Add(reader);
      if (status != LineReader::kLine || parallel->failed()) break;
    } else {
      status = reader->Next(&line);
      if (status != LineReader::kLine) break;
      run.HandleLine(line);
      if (lines == 0) byte_order_mark_ = line.text.starts_with(kUtf8Bom);
      if (may_go_parallel && (parallel = StartParallel(*grouper_, options, &run, err, grp))) {
        may_go_parallel = false;
      }
    }
    ++lines;
    if (!err->ok() || !grp->ok()) break;  // a write failed: the run cannot complete
    if (options.progress && (lines == 1 || lines % kProgressLines == 0)) options.progress(lines);
  }
  Status finished;
  if (parallel != nullptr && err->ok() && grp->ok()) finished = parallel->Finish(reader);
  parallel.reset();
  counters_ = run.counters;
  err->Flush();
  grp->Flush();
  if (!err->ok()) return err->status();
  if (!grp->ok()) return grp->status();
  if (status == LineReader::kError) return Status::IoError("the input", "cannot be read");
  if (!finished.ok()) return finished;
  if (options.observer != nullptr) options.observer->OnEnd(counters_, session());
  return Status();
}

}  // namespace grulo
