// The record grouping operation as the batch driver sees it: one call per
// well-formed summary line, all outcomes returned through the arguments.

#ifndef GRULO_BATCH_GROUP_SUMMARY_H_
#define GRULO_BATCH_GROUP_SUMMARY_H_

#include <cstdint>
#include <memory>
#include <string_view>

#include "checks/error_list.h"
#include "io/output_file.h"
#include "record/group_result.h"
#include "tables/open_tables.h"

namespace grulo {

class SummaryGrouper {
 public:
  virtual ~SummaryGrouper() = default;

  // Groups one well-formed summary line. The driver sets the three result
  // numbers to 0 and the version to the empty text before the call; the
  // operation fills the error list, the result and the tree table's version,
  // and writes its table messages into `err_file`. Returns the status of the
  // tables: 0 when they were open, else the table problem that ended the
  // summary (99 a table that cannot be opened, 9 versions that differ).
  virtual int16_t GroupSummary(std::string_view line, std::string_view rep_tab,
                               int16_t* group_category, int16_t* group_number,
                               int16_t* group_return, ErrorList* errors, OutputFile* err_file,
                               VersionText* table_version) = 0;

  // A grouper for another thread that, from now on, groups every summary
  // exactly as this one would; nullptr while that is not possible (the
  // tables are opened in input order, so not before all three are open).
  virtual std::unique_ptr<SummaryGrouper> ForThread() { return nullptr; }
};

}  // namespace grulo

#endif  // GRULO_BATCH_GROUP_SUMMARY_H_
