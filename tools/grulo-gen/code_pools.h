// The diagnosis and act codes that the summary generator draws from, sorted
// by what they do in each diagnosis slot: codes that pass the slot's checks,
// and codes that fail them in a given way (attribute pairs, position flags).
// Built from the text sources of the diagnosis and act tables, or from a
// small built-in list when no source is given.

#ifndef GRULO_TOOLS_GRULO_GEN_CODE_POOLS_H_
#define GRULO_TOOLS_GRULO_GEN_CODE_POOLS_H_

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "authoring/table_model.h"

namespace grulo {
namespace gen {

// The four kinds of diagnosis slot, each with its own checks.
enum SlotKind { kSlotFirst = 0, kSlotSecond, kSlotThird, kSlotAssociated, kSlotKindCount };

// The position bits that admit a code in each kind of slot.
inline constexpr std::array<uint8_t, kSlotKindCount> kSlotPositionMask = {0xC0, 0x30, 0x0C, 0x03};

// The attribute pairs that the code checks reject in a category-99 code.
inline constexpr uint8_t kRejectPairTag = 38;
inline constexpr uint8_t kRejectPairFirst = 210;
inline constexpr uint8_t kRejectPairSecond = 212;
inline constexpr uint8_t kSpecialCategory = 99;

// True when the first letter of a code lets it reach the table tests of a
// slot kind: 'Z' in the first slot, not 'U' to 'Y' in the second, not 'R'
// nor 'U' to 'Z' in the third, any letter in the associated slots.
bool LetterFitsSlot(char letter, SlotKind kind);

struct DiagCode {
  std::array<char, 6> field;  // the six characters a summary holds
  uint8_t position_bits = 0;
  uint8_t category = 0;
  bool first_pair = false;   // its own block holds the pair (38, 210)
  bool second_pair = false;  // its own block holds the pair (38, 212)
  uint32_t record = 0;       // index of its record in CodePools::records()
};

struct ActCode {
  std::array<char, 8> field;
};

class CodePools {
 public:
  // From the models of the table sources; a null model takes the built-in
  // list of that kind. Codes not found by the program's lookup (a later
  // duplicate, category 0) stay out of every pool.
  CodePools(const DiagTableModel* diags, const ActTableModel* acts);

  const std::vector<DiagCode>& diags() const { return diags_; }
  const std::vector<ActCode>& acts() const { return acts_; }

  // Indices into diags(): codes that pass every check of the slot kind.
  const std::vector<uint32_t>& Valid(SlotKind kind) const { return valid_[kind]; }
  // Codes whose letter fits the slot kind and that fail its table tests:
  // category 99 with the pair (38, 210); category 99 with (38, 212) but not
  // (38, 210); a position the flags do not admit.
  const std::vector<uint32_t>& WithFirstPair(SlotKind kind) const { return first_pair_[kind]; }
  const std::vector<uint32_t>& WithSecondPair(SlotKind kind) const { return second_pair_[kind]; }
  const std::vector<uint32_t>& BadPosition(SlotKind kind) const { return bad_position_[kind]; }
  // Codes that pass the checks of both the second and the third slot.
  const std::vector<uint32_t>& ValidSecondAndThird() const { return valid_second_third_; }

  // The records of the diagnosis table as the program stores them per slot:
  // `record_size()` bytes each, the position byte first, then the attribute
  // block. Record 0 is the record of codes not found.
  int record_size() const { return record_size_; }
  const uint8_t* Record(uint32_t index) const { return &records_[index * record_size_]; }

  // True when the program's lookup finds the code with a category other
  // than 0 (the six characters of a diagnosis field; an act field).
  bool KnownDiag(std::string_view field) const;
  bool KnownAct(std::string_view field) const;

  // True when the codes come from table sources, false for a built-in list.
  bool from_diag_table() const { return from_diag_table_; }
  bool from_act_table() const { return from_act_table_; }

 private:
  void AddDiagsOfModel(const DiagTableModel& model);
  void AddBuiltinDiags();
  void AddActsOfModel(const ActTableModel& model);
  void AddBuiltinActs();
  void SortIntoPools();
  uint32_t AddRecord(const DiagRecord& record);

  std::vector<DiagCode> diags_;
  std::vector<ActCode> acts_;
  std::array<std::vector<uint32_t>, kSlotKindCount> valid_;
  std::array<std::vector<uint32_t>, kSlotKindCount> first_pair_;
  std::array<std::vector<uint32_t>, kSlotKindCount> second_pair_;
  std::array<std::vector<uint32_t>, kSlotKindCount> bad_position_;
  std::vector<uint32_t> valid_second_third_;
  int record_size_ = 12;
  std::vector<uint8_t> records_;
  std::vector<bool> known_diag_keys_;     // by prefix x 1584 + suffix number
  std::vector<uint64_t> known_act_keys_;  // sorted
  bool from_diag_table_ = false;
  bool from_act_table_ = false;
};

// The key of an act field in KnownAct's list: prefix, fourth letter and the
// number of the four digits; ~0 when the field is not four upper-case
// letters and four digits.
uint64_t ActKey(std::string_view field);

}  // namespace gen
}  // namespace grulo

#endif  // GRULO_TOOLS_GRULO_GEN_CODE_POOLS_H_
