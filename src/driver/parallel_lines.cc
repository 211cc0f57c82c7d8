#include "driver/parallel_lines.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace grulo {

ParallelLines::ParallelLines(std::vector<std::unique_ptr<SummaryGrouper>> groupers,
                             std::string rep_tab, size_t chunk_lines, BatchRun* run,
                             OutputFile* err, OutputFile* grp)
    : rep_tab_(std::move(rep_tab)),
      chunk_lines_(std::max<size_t>(chunk_lines, 1)),
      run_(run),
      err_(err),
      grp_(grp),
      groupers_(std::move(groupers)),
      chunks_(2 * groupers_.size() + 1) {
  for (Chunk& chunk : chunks_) chunk.lines.reserve(chunk_lines_);
  workers_.reserve(groupers_.size());
  for (std::unique_ptr<SummaryGrouper>& grouper : groupers_) {
    workers_.emplace_back(&ParallelLines::Work, this, grouper.get());
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

void ParallelLines::Add(const InputLine& line) {
  if (failed()) return;
  Chunk& chunk = chunks_[static_cast<size_t>(filled_ % static_cast<int64_t>(chunks_.size()))];
  if (chunk.lines.empty()) chunk.lines_before = run_->NbLus;
  chunk.lines.push_back(Line{chunk.text.size(), line.text.size(), line.length});
  chunk.text.append(line.text);
  ++run_->NbLus;
  if (chunk.lines.size() < chunk_lines_) return;
  Submit();
  while (WriteOldest(filled_ - written_ == static_cast<int64_t>(chunks_.size()))) {
  }
}

void ParallelLines::Submit() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++filled_;
  }
  work_ready_.notify_one();
}

Status ParallelLines::Finish() {
  Chunk& last = chunks_[static_cast<size_t>(filled_ % static_cast<int64_t>(chunks_.size()))];
  if (!last.lines.empty()) Submit();
  while (written_ < filled_ && WriteOldest(true)) {
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
  run_->NbErrBloq += chunk.blocked;
  run_->NbErrNonBloq += chunk.non_blocking_only;
  run_->NbErrForm += chunk.format_problems;
  run_->grp_lines += chunk.grp_lines;
  run_->table_outcomes.tree_failed += chunk.table_outcomes.tree_failed;
  run_->table_outcomes.later_failed += chunk.table_outcomes.later_failed;
  run_->table_outcomes.versions_differ += chunk.table_outcomes.versions_differ;
  chunk.err->ClearContents();
  chunk.grp->ClearContents();
  chunk.text.clear();
  chunk.lines.clear();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    chunk.done = false;
  }
  ++written_;
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

void ParallelLines::Group(SummaryGrouper* grouper, Chunk* chunk) {
  try {
    BatchRun run(*grouper, rep_tab_, chunk->err.get(), chunk->grp.get());
    run.NbLus = chunk->lines_before;
    for (const Line& line : chunk->lines) {
      InputLine input;
      input.text = std::string_view(chunk->text).substr(line.offset, line.size);
      input.length = line.length;
      run.HandleLine(input);
    }
    chunk->err->Flush();
    chunk->grp->Flush();
    chunk->blocked = run.NbErrBloq;
    chunk->non_blocking_only = run.NbErrNonBloq;
    chunk->format_problems = run.NbErrForm;
    chunk->grp_lines = run.grp_lines;
    chunk->table_outcomes = run.table_outcomes;
  } catch (const std::exception& e) {
    chunk->failure = std::string("a grouping thread stopped: ") + e.what();
  }
}

}  // namespace grulo
