// The lines that the batch writes for one input line: the .grp line of a
// summary without blocking error, and the .err lines (the record header, the
// identification, the format problem, the two error lists, the table
// messages). The batch writes them into its files; an explanation shows the
// same bytes. Every text is Windows-1252 ("n\xB0") and every line ends with
// a line feed, which the batch's text-mode output writes as CR LF.
//
// The functions that the batch calls for every line format into fixed
// storage and allocate nothing.

#ifndef GRULO_GROUPER_RESULT_LINES_H_
#define GRULO_GROUPER_RESULT_LINES_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "checks/error_list.h"
#include "grulo/result.h"
#include "tables/open_tables.h"

namespace grulo {

// From this length on, a malformed line gets the identification line.
inline constexpr uint64_t kIdentificationLength = 88;

// The start of the two list lines of an .err entry; the list text and a
// line feed follow.
inline constexpr std::string_view kBlockingListLead = "\t->  Liste des erreurs bloquantes: ";
inline constexpr std::string_view kNonBlockingListLead = "\t->  Liste des erreurs non bloquantes: ";

// The error numbers of one summary sorted into a blocking and a non-blocking
// list text, each number followed by a comma, in list order (zeros skipped,
// repeated numbers kept). Fixed storage: nothing is allocated.
class ErrorListTexts {
 public:
  void Sort(const ErrorList& list);
  std::string_view blocking() const { return {blocking_.data(), blocking_size_}; }
  std::string_view non_blocking() const { return {non_blocking_.data(), non_blocking_size_}; }

 private:
  static constexpr size_t kCapacity = kErrorListSize * 7;  // "-32768," per entry
  std::array<char, kCapacity> blocking_{};
  std::array<char, kCapacity> non_blocking_{};
  size_t blocking_size_ = 0;
  size_t non_blocking_size_ = 0;
};

// Room for one line that the functions below format.
struct ResultLineBuffer {
  std::array<char, 160> bytes{};
};

// The .grp line without the summary and its line feed:
// "%2.2s%02d%03d%02dM1%c" with the version right-aligned in two places,
// the three numbers as printf writes them (a minus sign, zeros up to the
// width, wider values in full) and '4'.
std::string_view GrpLinePrefix(const VersionText& version, const GroupResult& result,
                               ResultLineBuffer* buffer);

// "====================================Enregistrement n\xB0 %d\n".
std::string_view RecordHeaderLine(int64_t line_number, ResultLineBuffer* buffer);

// "N\xB0 de SSR / N\xB0 de semaine / N\xB0 UM : %7.7s / %6.6s / %4.4s\n" with
// the line's text from the stay number, the week number and the unit number
// on; fewer characters where the line ends early.
std::string_view IdentificationLine(std::string_view text, ResultLineBuffer* buffer);

// The message of a format problem: the size problem with the line's length,
// the unknown format with the format number's characters, or the unreadable
// line; empty for a well-formed line.
std::string_view FormatProblemLine(LineFormat format, std::string_view text, uint64_t length,
                                   ResultLineBuffer* buffer);

// The whole .err entry of a line as the batch writes it (line feeds, not CR
// LF): for a malformed line the header, the identification when the line is
// long enough and the problem; for a summary with errors the header, the
// identification and both lists; empty for a summary without error.
std::string ErrEntryText(int64_t line_number, std::string_view text, uint64_t length,
                         LineFormat format, const ErrorList& errors);

// The whole .grp line with its line feed, or empty when an error blocks.
std::string GrpLineText(const VersionText& version, const GroupResult& result,
                        std::string_view text, const ErrorList& errors);

// The table that a table problem concerns, in the order the tables open.
enum class TableProblemKind {
  kTreeCannotOpen,
  kActsCannotOpen,
  kActVersionDiffers,
  kDiagsCannotOpen,
  kDiagVersionDiffers,
};

// The message the grouping writes into the .err file for a table problem;
// `status` is the opening's status (99) where the message carries it.
std::string TableProblemLine(TableProblemKind kind, int16_t status);

}  // namespace grulo

#endif  // GRULO_GROUPER_RESULT_LINES_H_
