#include "driver/pipeline.h"

#include "checks/check_sequence.h"
#include "summary/derived_values.h"
#include "record/working_record.h"
#include "tables/act_table.h"
#include "tables/diag_table.h"

namespace grulo {

int16_t GroupingPipeline::OpenMissingTables(std::string_view rep_tab, OutputFile* err_file,
                                            VersionText* table_version) {
  if (!tables_.tree.is_open()) {
    int16_t status = OpenTreeTable(rep_tab, &tables_.tree);
    if (status != kTableOpened) {
      err_file->Printf("Pb d'ouverture des tables arbre: %d\n", status);
      return status;
    }
    tree_version_ = tables_.tree.TableVersion;
  }
  *table_version = tree_version_;

  if (!tables_.acts.is_open()) {
    int16_t status = OpenActTable(rep_tab, &tables_.acts);
    if (status != kTableOpened) {
      err_file->Printf("Pb d'ouverture de la table des actes CCAM: %d\n", status);
      return status;
    }
    // The versions are compared only in the call that opens the table; the
    // table stays open whatever the outcome.
    if (!VersionsAgree(tables_.acts.TableVersion, *table_version)) {
      err_file->Write("Version des tables incompatible (Arbre - Actes) \n");
      return kTableVersionsDiffer;
    }
  }

  if (!tables_.diags.is_open()) {
    int16_t status = OpenDiagTable(rep_tab, &tables_.diags);
    if (status != kTableOpened) {
      err_file->Printf("Pb d'ouverture des tables des diags : %d\n", status);
      return status;
    }
    if (!VersionsAgree(tables_.diags.TableVersion, *table_version)) {
      err_file->Write("Version des tables incompatible (Arbre - Diags) \n");
      return kTableVersionsDiffer;
    }
  }
  return kTableOpened;
}

void GroupingPipeline::GroupSummary(std::string_view line, std::string_view rep_tab,
                                    int16_t* group_category, int16_t* group_number,
                                    int16_t* group_return, ErrorList* errors,
                                    OutputFile* err_file, VersionText* table_version) {
  FillCategoryBranch(&state_);
  ClearErrors(errors);
  state_.Record.Clear();

  int16_t status = OpenMissingTables(rep_tab, err_file, table_version);
  if (status != kTableOpened) {
    *group_return = status;
    return;
  }

  BuildWorkingRecord(line, &state_.Record);
  for (int i = 0; i < kDiagSlotCount; ++i) {
    LookupDiag(tables_.diags, state_.Record.Diag(i), i, &state_);
  }
  TakeActSlots(line, &state_);
  state_.ActClass.fill(0);
  for (int k = 0; k < state_.ActSlotCount; ++k) {
    LookupAct(tables_.acts, state_.ActSlot(k), k, &state_);
  }
  DeriveDates(&state_);

  TodayDate(clock_, &state_.Today);
  GroupResult result;
  ValidateSummary(state_, errors, &result);
  *group_category = result.GroupCategory;
  *group_number = result.GroupNumber;
  *group_return = result.GroupReturn;
  CountPresenceDays(&state_);
  if (*group_return != 0) return;  // a blocking error: no walk

  SumScores(&state_);
  WalkTree(tables_.tree, state_, &current_node_, &result);
  *group_category = result.GroupCategory;
  *group_number = result.GroupNumber;
  *group_return = result.GroupReturn;
}

}  // namespace grulo
