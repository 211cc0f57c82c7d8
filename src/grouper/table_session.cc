#include "grouper/table_session.h"

#include <utility>

#include "record/group_result.h"

namespace grulo {

TableSession::TableSession(TableSource source) : source_(std::move(source)) {
  for (TableRole role : kTableRoles) StoryOf(role).path = source_.PathOf(role);
}

const TableSet* TableSession::ForSummary(LineOutcome* outcome) {
  if (set_ != nullptr) {  // the usual case: every table open
    outcome->version = set_->version();
    return set_.get();
  }
  const TableSet* set = Next();
  outcome->version = tree_version();
  if (set != nullptr) return set;
  outcome->kind = OutcomeKind::kTableProblem;
  outcome->result = {kTableProblemCategory, kTableProblemNumber, problem_.status};
  outcome->table_problem = &problem_;
  return nullptr;
}

void TableSession::Replay(int64_t summaries) {
  for (int64_t i = 0; i < summaries && set_ == nullptr; ++i) Next();
}

bool TableSession::any_problem() const {
  for (const TableStory& story : story_) {
    if (story.cannot_open > 0 || story.version_differs) return true;
  }
  return false;
}

template <typename Table, typename Adopt>
bool TableSession::Open(TableRole role, Adopt adopt, Table* table) {
  TableStory& story = StoryOf(role);
  Status why;
  std::unique_ptr<TableFile> file = source_.Open(role, &why);
  if (file != nullptr && adopt(file, table, &why) == kTableOpened) {
    story.state = TableState::kOpen;
    story.version = table->TableVersion;
    return true;
  }
  story.state = TableState::kFailed;
  story.failure = why;
  ++story.cannot_open;
  problem_ = TableProblem{role, kTableCannotOpen, std::move(why)};
  return false;
}

bool TableSession::VersionAgrees(TableRole role, const VersionText& version) {
  if (VersionsAgree(version, tree_version())) return true;
  TableStory& story = StoryOf(role);
  story.version_differs = true;
  problem_ = TableProblem{role, kTableVersionsDiffer,
                          VersionProblem(story.path, version, tree_version())};
  return false;
}

const TableSet* TableSession::Next() {
  if (set_ != nullptr) return set_.get();
  if (!pending_.tree.is_open() && !Open(TableRole::kTree, &AdoptTreeTable, &pending_.tree)) {
    return nullptr;
  }
  // The versions are compared only by the summary that opens the table;
  // the table stays open whatever they say.
  if (!pending_.acts.is_open()) {
    if (!Open(TableRole::kActs, &AdoptActTable, &pending_.acts)) return nullptr;
    if (!VersionAgrees(TableRole::kActs, pending_.acts.TableVersion)) return nullptr;
  }
  if (!Open(TableRole::kDiags, &AdoptDiagTable, &pending_.diags)) return nullptr;
  const bool diags_agree = VersionAgrees(TableRole::kDiags, pending_.diags.TableVersion);
  set_ = std::make_shared<const TableSet>(std::move(pending_.tree), std::move(pending_.acts),
                                          std::move(pending_.diags));
  return diags_agree ? set_.get() : nullptr;
}

}  // namespace grulo
