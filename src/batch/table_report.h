// The table problems of a run, told to the operator at its end. Every
// summary that met a table problem carries it in its outputs (return code 99
// or 9 on its .grp line, a message in the .err file) and the run completes;
// what these do not say is which file was tried and why it failed. The
// table session of the run knows, as the run saw it: the warnings are made
// from its story, without looking at the files again.

#ifndef GRULO_BATCH_TABLE_REPORT_H_
#define GRULO_BATCH_TABLE_REPORT_H_

#include <string>
#include <string_view>
#include <vector>

#include "grouper/table_session.h"

namespace grulo {

// The warnings for the table problems of a complete run, one line per table:
// the path tried, the reason the run met and the number of summaries that
// got each return code (or that no summary reached the table), plus a hint
// when RepTab names a directory without the separator at its end, or is
// empty. `where` tells where RepTab came from ("RepTab in
// /opt/grulo/grulo.ini"). None when no summary met a table problem.
std::vector<std::string> TableWarnings(std::string_view rep_tab, std::string_view where,
                                       const TableSession& tables);

}  // namespace grulo

#endif  // GRULO_BATCH_TABLE_REPORT_H_
