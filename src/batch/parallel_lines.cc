#include "batch/parallel_lines.h"

#include <algorithm>
#include <cassert>
#include <exception>
#include <utility>

namespace grulo {

ParallelLines::ParallelLines(std::vector<std::unique_ptr<SummaryGrouper>> groupers,
                             size_t chunk_lines, BatchRun* run, OutputFile* err, OutputFile* grp,
                             LineObserver* observer)
    : chunk_lines_(std::max<size_t>(chunk_lines, 1)),
      run_(run),
      err_(err),
      grp_(grp),
      observer_(observer),
      lines_read_(run->counters.NbLus),
      groupers_(std::move(groupers)),
      chunks_(2 * groupers_.size() + 1) {
  for (Chunk& chunk : chunks_) {
    chunk.lines.reserve(std::min<size_t>(chunk_lines_, 1 << 16));
    if (observer_ != nullptr) chunk.outcomes.reserve(std::min<size_t>(chunk_lines_, 1 << 16));
  }
  // The first grouper is the calling thread's: it groups when it would
  // otherwise wait (see MakeRoom).
  assert(!groupers_.empty());
  workers_.reserve(groupers_.size() - 1);
  for (size_t i = 1; i < groupers_.size(); ++i) {
    workers_.emplace_back(&ParallelLines::Work, this, groupers_[i].get());
  }
}

ParallelLines::~ParallelLines() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  work_ready_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

LineReader::Status ParallelLines::Add(LineReader* reader) {
  if (failed()) return LineReader::kLine;
  Chunk& chunk = Filling();
  InputLine line;
  LineReader::Status status;
  while ((status = reader->NextInBuffer(&line)) == LineReader::kRefill) {
    // The chunk's lines so far lie in this buffer: the chunk keeps it before
    // the reader moves bytes in it.
    if (reader->RefillMoves()) chunk.buffers.push_back(reader->TakeBuffer(TakeSpare()));
    reader->Refill();
  }
  if (status != LineReader::kLine) return status;
  if (chunk.lines.empty()) chunk.lines_before = lines_read_;
  if (reader->IsKeptStart(line)) line.text = chunk.long_starts.emplace_back(line.text);
  chunk.lines.push_back(line);
  ++lines_read_;
  if (chunk.lines.size() < chunk_lines_) return LineReader::kLine;
  Submit(reader);
  MakeRoom();
  return LineReader::kLine;
}

std::unique_ptr<char[]> ParallelLines::TakeSpare() {
  if (spare_buffers_.empty()) return nullptr;
  std::unique_ptr<char[]> spare = std::move(spare_buffers_.back());
  spare_buffers_.pop_back();
  return spare;
}

void ParallelLines::Submit(LineReader* reader) {
  Filling().buffers.push_back(reader->TakeBuffer(TakeSpare()));
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++filled_;
  }
  work_ready_.notify_one();
}

void ParallelLines::MakeRoom() {
  while (WriteOldest(false)) {
  }
  while (filled_ - written_ == static_cast<int64_t>(chunks_.size()) && failure_.empty()) {
    if (!GroupNext() && !WriteOldest(true)) return;
    while (WriteOldest(false)) {
    }
  }
}

Status ParallelLines::Finish(LineReader* reader) {
  if (!failed() && !Filling().lines.empty()) Submit(reader);
  while (written_ < filled_ && failure_.empty()) {
    if (!WriteOldest(false) && !GroupNext()) WriteOldest(true);
  }
  if (!failure_.empty()) return Status::IoError("", failure_);
  return Status();
}

bool ParallelLines::WriteOldest(bool wait) {
  if (written_ == filled_ || !failure_.empty()) return false;
  Chunk& chunk = chunks_[static_cast<size_t>(written_ % static_cast<int64_t>(chunks_.size()))];
  {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!chunk.done && !wait) return false;
    chunk_done_.wait(lock, [&chunk] { return chunk.done; });
  }
  if (!chunk.failure.empty()) {
    failure_ = chunk.failure;
    return false;
  }
  err_->WriteRaw(chunk.err->contents());
  grp_->WriteRaw(chunk.grp->contents());
  run_->counters += chunk.counters;
  if (observer_ != nullptr) {
    for (size_t i = 0; i < chunk.lines.size(); ++i) {
      const InputLine& line = chunk.lines[i];
      observer_->OnLine(chunk.lines_before + static_cast<int64_t>(i) + 1, line.text, line.length,
                        chunk.outcomes[i]);
    }
    chunk.outcomes.clear();
  }
  chunk.err->ClearContents();
  chunk.grp->ClearContents();
  chunk.lines.clear();
  for (std::unique_ptr<char[]>& buffer : chunk.buffers) spare_buffers_.push_back(std::move(buffer));
  chunk.buffers.clear();
  chunk.long_starts.clear();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    chunk.done = false;
  }
  ++written_;
  return true;
}

bool ParallelLines::GroupNext() {
  Chunk* chunk;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (taken_ == filled_) return false;
    chunk = &chunks_[static_cast<size_t>(taken_ % static_cast<int64_t>(chunks_.size()))];
    ++taken_;
  }
  Group(groupers_[0].get(), chunk);
  std::lock_guard<std::mutex> lock(mutex_);
  chunk->done = true;
  return true;
}

void ParallelLines::Work(SummaryGrouper* grouper) {
  for (;;) {
    Chunk* chunk;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      work_ready_.wait(lock, [this] { return stop_ || taken_ < filled_; });
      if (stop_) return;
      chunk = &chunks_[static_cast<size_t>(taken_ % static_cast<int64_t>(chunks_.size()))];
      ++taken_;
    }
    Group(grouper, chunk);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      chunk->done = true;
    }
    chunk_done_.notify_all();
  }
}

namespace {

// Keeps the outcomes of a chunk's lines for the observer, who is told them
// when the chunk is written, in input order.
class OutcomeKeeper final : public LineObserver {
 public:
  explicit OutcomeKeeper(std::vector<LineOutcome>* outcomes) : outcomes_(outcomes) {}
  void OnLine(int64_t, std::string_view, uint64_t, const LineOutcome& outcome) override {
    outcomes_->push_back(outcome);
  }

 private:
  std::vector<LineOutcome>* outcomes_;
};

}  // namespace

void ParallelLines::Group(SummaryGrouper* grouper, Chunk* chunk) {
  try {
    OutcomeKeeper keeper(&chunk->outcomes);
    BatchRun run(*grouper, chunk->err.get(), chunk->grp.get(),
                 observer_ != nullptr ? &keeper : nullptr, chunk->lines_before);
    for (const InputLine& line : chunk->lines) run.HandleLine(line);
    chunk->err->Flush();
    chunk->grp->Flush();
    chunk->counters = run.counters;
  } catch (const std::exception& e) {
    chunk->failure = std::string("a grouping thread stopped: ") + e.what();
  }
}

}  // namespace grulo
