// The batch engine: groups a whole input exactly as the batch program does
// (format problems, table problems and their retries, version messages,
// .grp and .err bytes, counters), from any source of lines into any pair of
// outputs, on any number of threads. The program's run (run/run_batch.h)
// goes through it, and so can every other interface that groups whole
// files:
//
//   BatchEngine engine(TableSource::InDirectory("/srv/tables/"),
//                      FixedClocks(CivilDate{2026, 12, 7}));
//   MemorySource input(bytes);
//   std::unique_ptr<OutputFile> err = OutputFile::InMemory();
//   std::unique_ptr<OutputFile> grp = OutputFile::InMemory();
//   Status status = engine.Run(&input, err.get(), grp.get(), BatchOptions());
//   // grp->contents(), err->contents(), engine.counters(), engine.session()
//
// The outputs are the batch's bytes (Windows-1252, CR LF); they are the same
// for every number of threads.

#ifndef GRULO_BATCH_BATCH_ENGINE_H_
#define GRULO_BATCH_BATCH_ENGINE_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "base/status.h"
#include "calendar/clock.h"
#include "grouper/line_outcome.h"
#include "grouper/summary_grouper.h"
#include "grouper/table_session.h"
#include "grouper/table_source.h"
#include "io/line_reader.h"
#include "io/output_file.h"

namespace grulo {

struct BatchOptions {
  // With more than one thread, the lines are grouped one after the other
  // until the three tables are open (their opening keeps its place in the
  // input), then on `threads` threads in chunks of `chunk_lines` lines,
  // written out in input order.
  int threads = 1;
  size_t chunk_lines = 1024;
  // Told every line and its outcome, in input order, on the calling thread;
  // then the counters and the tables' story. Nothing is kept for it when
  // there is none.
  LineObserver* observer = nullptr;
  // Told the number of lines read after the first line and then every
  // kProgressLines lines, on the calling thread.
  std::function<void(int64_t lines_read)> progress;
};

class BatchEngine {
 public:
  static constexpr int64_t kProgressLines = 1024;

  // The batch's grouping: the tables from `tables` by the batch's rules
  // (grouper/table_session.h), today's date from clocks that `clocks` makes
  // (one per thread; FixedClocks for a given date).
  BatchEngine(TableSource tables, ClockFactory clocks);
  // Any grouping in the batch's place (a test's).
  explicit BatchEngine(std::unique_ptr<SummaryGrouper> grouper);

  BatchEngine(const BatchEngine&) = delete;
  BatchEngine& operator=(const BatchEngine&) = delete;

  // Groups every line that `reader` (started) gives, writing the .err
  // entries into `err` and the .grp lines into `grp`, and flushes both. One
  // input per engine. Stops early when an output fails (see its status),
  // the input cannot be read (kError from the reader) or a thread cannot go
  // on (out of memory); returns why: ok when every line was read and
  // written.
  Status Run(LineReader* reader, OutputFile* err, OutputFile* grp, const BatchOptions& options);
  // The same from a source of bytes (a file, standard input, bytes in
  // memory, or one that hands out slices as they come).
  Status Run(ByteSource* input, OutputFile* err, OutputFile* grp, const BatchOptions& options);

  // What the lines read so far count.
  const RunCounters& counters() const { return counters_; }
  // The story of the tables; null for a grouping without one.
  const TableSession* session() const { return grouper_->session(); }
  // Whether the first line starts with a UTF-8 byte order mark (EF BB BF),
  // which makes it a format problem; known after the first line.
  bool starts_with_byte_order_mark() const { return byte_order_mark_; }

 private:
  std::unique_ptr<SummaryGrouper> grouper_;
  RunCounters counters_;
  bool byte_order_mark_ = false;
};

}  // namespace grulo

#endif  // GRULO_BATCH_BATCH_ENGINE_H_
