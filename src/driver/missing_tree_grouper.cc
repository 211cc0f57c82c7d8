#include "driver/missing_tree_grouper.h"

namespace grulo {

void MissingTreeGrouper::GroupSummary(std::string_view, std::string_view, int16_t*, int16_t*,
                                      int16_t* group_return, ErrorList*, OutputFile* err_file,
                                      VersionText*) {
  err_file->Printf("Pb d'ouverture des tables arbre: %d\n", kTableCannotOpen);
  *group_return = kTableCannotOpen;
}

}  // namespace grulo
