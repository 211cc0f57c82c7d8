// Layout of a weekly summary line and of the working record built from it.
//
// A summary is one fixed-width text line of 343 + 8 x n characters, n being
// the value of its act count. Both record formats ("M04" and "MA4") share the
// layout below. Offsets count from 0. No field carries a terminator: every
// reader takes a field with its explicit width.

#ifndef GRULO_RECORD_SUMMARY_LAYOUT_H_
#define GRULO_RECORD_SUMMARY_LAYOUT_H_

namespace grulo {

// A fixed-width field: its offset and its length in characters.
struct FieldRef {
  int offset;
  int length;
};

// Sizes that are constants of the system.
inline constexpr int kDiagCodeLength = 6;        // a diagnosis code
inline constexpr int kActCodeLength = 8;         // an act code
inline constexpr int kAssociatedDiagCount = 20;  // the list of further diagnoses
inline constexpr int kDiagSlotCount = 3 + kAssociatedDiagCount;  // 23 slots
inline constexpr int kSummaryBaseLength = 343;   // a summary without acts
inline constexpr int kMaxActSlots = 10;          // acts taken into account
inline constexpr int kDurationCount = 12;
inline constexpr int kDurationLength = 4;
inline constexpr int kWorkingRecordLength = 297;

// Fields of the summary line as read.
namespace line_field {
inline constexpr FieldRef kEstablishmentNo{0, 9};
inline constexpr FieldRef kFormatNo{9, 3};
inline constexpr FieldRef kStayNo{12, 7};
inline constexpr FieldRef kStayKind{19, 1};
inline constexpr FieldRef kFiller1{20, 20};  // carried, never read
inline constexpr FieldRef kBirthDate{40, 8};
inline constexpr FieldRef kSex{48, 1};
inline constexpr FieldRef kPostCode{49, 5};
inline constexpr FieldRef kEntryDate{54, 8};
inline constexpr FieldRef kEntryMode{62, 1};
inline constexpr FieldRef kProvenance{63, 1};
inline constexpr FieldRef kExitDate{64, 8};
inline constexpr FieldRef kExitMode{72, 1};
inline constexpr FieldRef kDestination{73, 1};
inline constexpr FieldRef kWeekNo{74, 6};
inline constexpr FieldRef kPresenceDays{80, 7};
inline constexpr FieldRef kUnitNo{87, 4};
inline constexpr FieldRef kRefDate{91, 8};
inline constexpr int kDiagOffset = 99;  // Diag[i] at 99 + 8i, 8 characters each
inline constexpr int kDiagStride = 8;
inline constexpr FieldRef kFiller2{283, 3};  // carried, never read
inline constexpr FieldRef kScores{286, 6};
inline constexpr FieldRef kIndicator{292, 1};
inline constexpr FieldRef kDurations{293, 48};
inline constexpr FieldRef kActCount{341, 2};
inline constexpr int kActsOffset = 343;  // Acts[k] at 343 + 8k, 8 characters each
}  // namespace line_field

// Fields of the working record. Everything up to the reference date keeps the
// offset it has in the line; the diagnosis slots shrink to 6 characters, so
// everything behind them lies 46 characters earlier than in the line.
namespace wr_field {
inline constexpr FieldRef kEstablishmentNo = line_field::kEstablishmentNo;
inline constexpr FieldRef kFormatNo = line_field::kFormatNo;
inline constexpr FieldRef kStayNo = line_field::kStayNo;
inline constexpr FieldRef kStayKind = line_field::kStayKind;
inline constexpr FieldRef kBirthDate = line_field::kBirthDate;
inline constexpr FieldRef kSex = line_field::kSex;
inline constexpr FieldRef kPostCode = line_field::kPostCode;
inline constexpr FieldRef kEntryDate = line_field::kEntryDate;
inline constexpr FieldRef kEntryMode = line_field::kEntryMode;
inline constexpr FieldRef kProvenance = line_field::kProvenance;
inline constexpr FieldRef kExitDate = line_field::kExitDate;
inline constexpr FieldRef kExitMode = line_field::kExitMode;
inline constexpr FieldRef kDestination = line_field::kDestination;
inline constexpr FieldRef kWeekNo = line_field::kWeekNo;
inline constexpr FieldRef kPresenceDays = line_field::kPresenceDays;
inline constexpr FieldRef kUnitNo = line_field::kUnitNo;
inline constexpr FieldRef kRefDate = line_field::kRefDate;
inline constexpr int kDiagOffset = 99;  // Diag[i] at 99 + 6i, 6 characters each
inline constexpr FieldRef kFiller2{237, 3};
inline constexpr FieldRef kScores{240, 6};
inline constexpr FieldRef kIndicator{246, 1};
inline constexpr FieldRef kDurations{247, 48};  // duration j (0..11) at 247 + 4j
inline constexpr FieldRef kActCount{295, 2};
}  // namespace wr_field

static_assert(line_field::kDiagOffset + kDiagSlotCount * line_field::kDiagStride ==
              line_field::kFiller2.offset);
static_assert(wr_field::kDiagOffset + kDiagSlotCount * kDiagCodeLength ==
              wr_field::kFiller2.offset);
static_assert(line_field::kActCount.offset + line_field::kActCount.length ==
              kSummaryBaseLength);
static_assert(wr_field::kActCount.offset + wr_field::kActCount.length ==
              kWorkingRecordLength);

}  // namespace grulo

#endif  // GRULO_RECORD_SUMMARY_LAYOUT_H_
