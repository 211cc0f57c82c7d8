// The line loop on several threads, with the outputs in input order.
//
// Once the three tables are open, every line is grouped on its own: the
// lines are taken in chunks, each chunk is grouped by one of the grouping
// threads into a .err text and a .grp text of its own, and the chunks are
// written out in input order, so the outputs and the counters are those of
// the plain loop, byte for byte. A fixed number of chunks is in flight, so
// the memory used does not grow with the input. The thread that reads and
// writes groups too, whenever every chunk is in flight: N threads group,
// and none waits while there is work.

#ifndef GRULO_BATCH_PARALLEL_LINES_H_
#define GRULO_BATCH_PARALLEL_LINES_H_

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/status.h"
#include "batch/batch_driver.h"
#include "grouper/line_outcome.h"
#include "grouper/summary_grouper.h"
#include "io/line_reader.h"
#include "io/output_file.h"

namespace grulo {

class ParallelLines {
 public:

  // Groups on one thread per grouper (each from SummaryGrouper::ForThread):
  // the calling thread, which also reads and writes, and a worker thread for
  // each of the others. There is at least one grouper.
  // The lines go on from the state of `run`, the plain loop's: its line count
  // numbers them and its counters receive theirs as their chunks are written
  // into `err` and `grp`. `observer`, when given, is told every line with its
  // outcome as the chunks are written, in input order.
  ParallelLines(std::vector<std::unique_ptr<SummaryGrouper>> groupers, size_t chunk_lines,
                BatchRun* run, OutputFile* err, OutputFile* grp, LineObserver* observer);
  ParallelLines(const ParallelLines&) = delete;
  ParallelLines& operator=(const ParallelLines&) = delete;
  // Stops the workers; chunks not yet written are dropped.
  ~ParallelLines();

  // Takes the next line of the input from `reader` and counts it: kLine, or
  // the reader's kEnd or kError. The chunks keep the reader's buffers that
  // hold their lines, so that no line is copied. Writes the chunks that are
  // done, in order; when every chunk is in flight, groups one or waits.
  LineReader::Status Add(LineReader* reader);

  // The lines taken so far, those of the plain loop before included.
  int64_t lines_read() const { return lines_read_; }

  // True once a worker failed: nothing more is taken, Finish says why.
  bool failed() const { return !failure_.empty(); }

  // Groups and writes what is left, taken from `reader`. A worker that
  // failed (out of memory) makes the run fail with its reason.
  Status Finish(LineReader* reader);

 private:
  struct Chunk {
    int64_t lines_before = 0;  // the line count before the chunk's first line
    // The lines, whose text lies in `buffers` or `long_starts`.
    std::vector<InputLine> lines;
    std::vector<std::unique_ptr<char[]>> buffers;  // buffers of the reader
    std::deque<std::string> long_starts;  // the kept start of lines longer than a buffer
    std::unique_ptr<OutputFile> err = OutputFile::InMemory();
    std::unique_ptr<OutputFile> grp = OutputFile::InMemory();
    RunCounters counters;
    std::vector<LineOutcome> outcomes;  // of its lines, kept for an observer only
    std::string failure;  // why the worker could not group it
    bool done = false;
  };

  void Work(SummaryGrouper* grouper);
  void Group(SummaryGrouper* grouper, Chunk* chunk);
  // The chunk being filled.
  Chunk& Filling() {
    return chunks_[static_cast<size_t>(filled_ % static_cast<int64_t>(chunks_.size()))];
  }
  // Hands the chunk being filled to the workers, with the reader's buffer
  // that holds its last lines.
  void Submit(LineReader* reader);
  // A buffer back from a written chunk, or null.
  std::unique_ptr<char[]> TakeSpare();
  // Writes the oldest chunk when it is done; with `wait`, waits for it.
  bool WriteOldest(bool wait);
  // Writes the chunks that are done. While every chunk is in flight, the
  // calling thread groups the next one not yet taken, or waits for the
  // oldest when the workers have taken them all.
  void MakeRoom();
  // Groups the next chunk not yet taken on the calling thread; false when
  // there is none.
  bool GroupNext();

  const size_t chunk_lines_;
  BatchRun* const run_;
  OutputFile* const err_;
  OutputFile* const grp_;
  LineObserver* const observer_;
  int64_t lines_read_;
  std::vector<std::unique_ptr<SummaryGrouper>> groupers_;
  std::vector<Chunk> chunks_;  // a ring: chunk n is chunks_[n % size]
  std::vector<std::unique_ptr<char[]>> spare_buffers_;  // buffers back from written chunks
  int64_t filled_ = 0;         // chunks handed to the workers
  int64_t written_ = 0;        // chunks written out
  std::string failure_;

  std::mutex mutex_;
  std::condition_variable work_ready_;
  std::condition_variable chunk_done_;
  int64_t taken_ = 0;  // chunks a worker has taken (guarded by mutex_)
  bool stop_ = false;  // guarded by mutex_
  std::vector<std::thread> workers_;
};

}  // namespace grulo

#endif  // GRULO_BATCH_PARALLEL_LINES_H_
