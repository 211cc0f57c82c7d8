#include "batch/pipeline.h"

#include <utility>

namespace grulo {

GroupingPipeline::GroupingPipeline(std::unique_ptr<Clock> clock, ClockFactory clock_factory,
                                   std::shared_ptr<const TableSet> tables,
                                   const VersionText& tree_version)
    : owned_clock_(std::move(clock)),
      clock_(*owned_clock_),
      clock_factory_(std::move(clock_factory)),
      table_set_(std::move(tables)),
      tree_version_(tree_version),
      tree_version_known_(true) {}

std::unique_ptr<SummaryGrouper> GroupingPipeline::ForThread() {
  if (table_set_ == nullptr || clock_factory_ == nullptr) return nullptr;
  return std::unique_ptr<SummaryGrouper>(
      new GroupingPipeline(clock_factory_(), clock_factory_, table_set_, tree_version_));
}

int16_t GroupingPipeline::OpenMissingTables(std::string_view rep_tab, OutputFile* err_file,
                                            VersionText* table_version) {
  if (table_set_ != nullptr) {
    *table_version = tree_version_;
    return kTableOpened;
  }
  if (!pending_.tree.is_open()) {
    int16_t status = OpenTreeTable(rep_tab, &pending_.tree, &tree_problem_);
    if (status != kTableOpened) {
      err_file->Printf("Pb d'ouverture des tables arbre: %d\n", status);
      return status;
    }
    tree_version_ = pending_.tree.TableVersion;
    tree_version_known_ = true;
  }
  *table_version = tree_version_;

  if (!pending_.acts.is_open()) {
    int16_t status = OpenActTable(rep_tab, &pending_.acts, &acts_problem_);
    if (status != kTableOpened) {
      err_file->Printf("Pb d'ouverture de la table des actes CCAM: %d\n", status);
      return status;
    }
    // The versions are compared only in the call that opens the table; the
    // table stays open whatever the outcome.
    if (!VersionsAgree(pending_.acts.TableVersion, *table_version)) {
      err_file->Write("Version des tables incompatible (Arbre - Actes) \n");
      return kTableVersionsDiffer;
    }
  }

  if (!pending_.diags.is_open()) {
    int16_t status = OpenDiagTable(rep_tab, &pending_.diags, &diags_problem_);
    if (status != kTableOpened) {
      err_file->Printf("Pb d'ouverture des tables des diags : %d\n", status);
      return status;
    }
    if (!VersionsAgree(pending_.diags.TableVersion, *table_version)) {
      err_file->Write("Version des tables incompatible (Arbre - Diags) \n");
      table_set_ = std::make_shared<const TableSet>(
          std::move(pending_.tree), std::move(pending_.acts), std::move(pending_.diags));
      return kTableVersionsDiffer;
    }
  }
  table_set_ = std::make_shared<const TableSet>(std::move(pending_.tree), std::move(pending_.acts),
                                                std::move(pending_.diags));
  return kTableOpened;
}

int16_t GroupingPipeline::GroupSummary(std::string_view line, std::string_view rep_tab,
                                       int16_t* group_category, int16_t* group_number,
                                       int16_t* group_return, ErrorList* errors,
                                       OutputFile* err_file, VersionText* table_version) {
  int16_t status = OpenMissingTables(rep_tab, err_file, table_version);
  if (status != kTableOpened) {
    ClearErrors(errors);  // the grouping, which clears the list itself, does not run
    *group_return = status;
    return status;
  }

  GroupResult result;
  context_.GroupSummary(*table_set_, line, today_.Read(clock_), &result, errors);
  *group_category = result.GroupCategory;
  *group_number = result.GroupNumber;
  *group_return = result.GroupReturn;
  return kTableOpened;
}

}  // namespace grulo
