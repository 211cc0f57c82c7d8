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
#include "grouper/line_outcome.h"
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

// The .err message of a table problem: "Pb d'ouverture des tables arbre:
// 99", "Version des tables incompatible (Arbre - Actes) " and the three
// others, each with its line feed.
std::string_view TableProblemLine(const TableProblem& problem, ResultLineBuffer* buffer);

// The storage the composers below format into: one per thread that writes.
struct ResultLineStorage {
  ErrorListTexts lists;
  ResultLineBuffer buffer;
};

// An output into a text, line feeds as they are: what an explanation shows.
// (The composers write into it or into an OutputFile alike.)
class TextLines {
 public:
  void Write(std::string_view text) { text_ += text; }
  void WriteText(std::string_view text) { text_ += text; }
  void EndLine() { text_ += '\n'; }
  std::string& text() { return text_; }

 private:
  std::string text_;
};

// Writes the .err entry of line `line_number` (`text` its first characters,
// `length` its length) from its outcome into `out`: for a malformed line the
// record header, the identification when the line is 88 characters long or
// more, and the format problem; for a table problem its message; for a
// summary with errors the header, the identification and the blocking and
// non-blocking lists; nothing for a summary without error. The one
// composition of an entry, for the batch and an explanation alike.
template <typename Out>
void WriteErrEntry(int64_t line_number, std::string_view text, uint64_t length,
                   const LineOutcome& outcome, ResultLineStorage* storage, Out* out) {
  ResultLineBuffer* buffer = &storage->buffer;
  if (outcome.format != LineFormat::kWellFormed) {
    out->Write(RecordHeaderLine(line_number, buffer));
    if (length >= kIdentificationLength) out->Write(IdentificationLine(text, buffer));
    out->Write(FormatProblemLine(outcome.format, text, length, buffer));
    return;
  }
  if (outcome.table_problem != nullptr) {
    out->Write(TableProblemLine(*outcome.table_problem, buffer));
    return;
  }
  ErrorListTexts& lists = storage->lists;
  lists.Sort(outcome.errors);
  if (lists.blocking().empty() && lists.non_blocking().empty()) return;
  out->Write(RecordHeaderLine(line_number, buffer));
  out->Write(IdentificationLine(text, buffer));
  out->WriteText(kBlockingListLead);
  out->Write(lists.blocking());
  out->EndLine();
  out->WriteText(kNonBlockingListLead);
  out->Write(lists.non_blocking());
  out->EndLine();
}

// Writes the .grp line of a summary without blocking error from its outcome
// into `out`: the prefix (GrpLinePrefix), the line's text and a line feed;
// nothing for any other line.
template <typename Out>
void WriteGrpLine(std::string_view text, const LineOutcome& outcome, ResultLineBuffer* buffer,
                  Out* out) {
  if (!outcome.has_grp_line()) return;
  // Digits and letters after the tables' version, which may hold anything.
  const std::string_view prefix = GrpLinePrefix(outcome.version, outcome.result, buffer);
  if (outcome.version[0] != '\n' && outcome.version[1] != '\n') {
    out->WriteText(prefix);
  } else {
    out->Write(prefix);
  }
  out->WriteText(text);  // a line of the input: no line feed
  out->EndLine();
}

// The same as texts, line feeds as they are.
std::string ErrEntryText(int64_t line_number, std::string_view text, uint64_t length,
                         const LineOutcome& outcome);
std::string GrpLineText(std::string_view text, const LineOutcome& outcome);

}  // namespace grulo

#endif  // GRULO_GROUPER_RESULT_LINES_H_
