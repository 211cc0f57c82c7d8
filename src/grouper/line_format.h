// The format recognition of a summary line: is it a weekly summary that the
// checks and the tree can read?

#ifndef GRULO_GROUPER_LINE_FORMAT_H_
#define GRULO_GROUPER_LINE_FORMAT_H_

#include <cstdint>
#include <string_view>

#include "grulo/result.h"
#include "record/summary_layout.h"

namespace grulo {

// The longest line that can be well-formed: a longer one is always a size
// problem. (343 + 8 x 19 = 495 is the longest well-formed line.)
inline constexpr uint64_t kMaxLineLength = 498;

// A line shorter than this is unreadable.
inline constexpr uint64_t kMinReadableLength = 12;

// Recognizes the format of a line of `length` characters whose first
// characters (at least min(length, 343)) are `text`; the first match wins:
// - fewer than 12 characters: unreadable;
// - format number (3 characters at offset 9) neither "M04" nor "MA4": unknown;
// - fewer than 343 or more than 498 characters: size problem;
// - length other than 343 + 8 x the act count (the 2 characters at offset
//   341 read as a plain number, 0 when not numeric): size problem.
LineFormat RecognizeFormat(std::string_view text, uint64_t length);

// The part of a field that the text holds: fewer characters, or none, where
// the text ends early.
std::string_view FieldText(std::string_view text, FieldRef field);

}  // namespace grulo

#endif  // GRULO_GROUPER_LINE_FORMAT_H_
