// A grouping operation for a build without the record pipeline: it reports,
// for every summary, that the decision tree table cannot be opened, and
// groups nothing.

#ifndef GRULO_DRIVER_MISSING_TREE_GROUPER_H_
#define GRULO_DRIVER_MISSING_TREE_GROUPER_H_

#include "driver/group_summary.h"

namespace grulo {

class MissingTreeGrouper final : public SummaryGrouper {
 public:
  // Writes "Pb d'ouverture des tables arbre: 99" to the .err file and sets
  // the return number to 99; the list, the other numbers and the version
  // keep the values the driver gave them.
  void GroupSummary(std::string_view line, std::string_view rep_tab, int16_t* group_category,
                    int16_t* group_number, int16_t* group_return, ErrorList* errors,
                    OutputFile* err_file, VersionText* table_version) override;
};

}  // namespace grulo

#endif  // GRULO_DRIVER_MISSING_TREE_GROUPER_H_
