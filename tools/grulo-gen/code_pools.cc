#include "code_pools.h"

#include <algorithm>
#include <map>
#include <string>

#include "authoring/code_text.h"
#include "tables/act_table.h"
#include "tables/diag_table.h"
#include "text/number_text.h"

namespace grulo {
namespace gen {
namespace {

// The built-in diagnosis list: common codes of follow-up care, with the
// slots their position bits admit. Every code counts as known with
// category 1 (a category without a branch of its own).
struct BuiltinDiag {
  const char* code;  // as the table sources write it
  uint8_t position_bits;
};

constexpr BuiltinDiag kBuiltinDiags[] = {
    // Purposes of care: first diagnosis or associated.
    {"Z500", 0xC3},
    {"Z501", 0xC3},
    {"Z502", 0xC3},
    {"Z503", 0xC3},
    {"Z504", 0xC3},
    {"Z505", 0xC3},
    {"Z506", 0xC3},
    {"Z507", 0xC3},
    {"Z508", 0xC3},
    {"Z509", 0xC3},
    {"Z510", 0xC3},
    {"Z511", 0xC3},
    {"Z515", 0xC3},
    {"Z518", 0xC3},
    {"Z5188", 0xC3},
    {"Z4780", 0xC3},
    {"Z4800", 0xC3},
    {"Z4880", 0xC3},
    // Main conditions.
    {"I639", 0xFF},
    {"I634", 0xFF},
    {"I64", 0xFF},
    {"I500", 0xFF},
    {"I501", 0xFF},
    {"I214", 0xFF},
    {"I219", 0xFF},
    {"S7200", 0xFF},
    {"S7210", 0xFF},
    {"S7220", 0xFF},
    {"S3200", 0xFF},
    {"M1610", 0xFF},
    {"M1710", 0xFF},
    {"M179", 0xFF},
    {"M4806", 0xFF},
    {"G35", 0xFF},
    {"G20", 0xFF},
    {"G8120", 0xFF},
    {"G8210", 0xFF},
    {"G9350", 0xFF},
    {"C349", 0xFF},
    {"C509", 0xFF},
    {"C180", 0xFF},
    {"J449", 0xFF},
    {"J441", 0xFF},
    {"J189", 0xFF},
    {"E112", 0xFF},
    {"E6608", 0xFF},
    {"F100", 0xFF},
    {"F102", 0xFF},
    {"N185", 0xFF},
    {"N179", 0xFF},
    {"K703", 0xFF},
    {"A419", 0xFF},
    {"H544", 0xFF},
    {"L031", 0xFF},
    {"T293", 0xFF},
    {"P073", 0xFF},
    {"Q909", 0xFF},
    {"D649", 0xFF},
    {"T840", 0xFF},
    {"T845", 0xFF},
    {"M8008", 0xFF},
    // Frequent associated conditions.
    {"I10", 0xFF},
    {"E119", 0xFF},
    {"E785", 0xFF},
    {"E871", 0xFF},
    {"E440", 0xFF},
    {"E43", 0xFF},
    {"F03", 0xFF},
    {"F329", 0xFF},
    {"N390", 0xFF},
    {"J960", 0xFF},
    {"L892", 0xFF},
    {"L893", 0xFF},
    {"B962", 0xFF},
    {"R296", 0x33},
    {"R262", 0x33},
    {"R32", 0x33},
    {"R33", 0x33},
    {"R13", 0x33},
    {"Z992", 0x03},
    {"Z993", 0x03},
    {"Z9911", 0x03},
    {"Z740", 0x03},
    {"Z741", 0x03},
    {"Z751", 0x03},
    {"Z600", 0x03},
    {"Z864", 0x03},
    {"Z950", 0x03},
    {"Z966", 0x33},
    {"Z961", 0x03},
    {"Z880", 0x03},
    {"W1900", 0x03},
    {"W1800", 0x03},
    {"Y831", 0x03},
    {"Y839", 0x03},
};

constexpr uint8_t kBuiltinCategory = 1;

constexpr const char* kBuiltinActs[] = {
    "ZZQK0020", "DEQP0030", "NKMA0010", "ZZLP0250", "LHQK0010", "MZMP0010", "NZMP0060",
    "ZZRP0010", "DKRD0010", "GLLD0150", "HSLD0020", "JDLD0010", "QZJA0020", "QZRB0010",
    "ZBQK0020", "YYYY0410", "ZCQM0010", "NEMA0180", "MEMC0030", "AHQB0290",
};

// Does the attribute block hold the pair (a, b) at positions (1, 2), (3, 4),
// ... within the block?
bool BlockHasPair(const std::vector<uint8_t>& block, uint8_t a, uint8_t b) {
  for (size_t i = 1; i + 1 < block.size(); i += 2) {
    if (block[i] == a && block[i + 1] == b) return true;
  }
  return false;
}

uint32_t DiagKey(int prefix, int suffix) {
  return static_cast<uint32_t>(prefix) * kSuffixNumberCount + static_cast<uint32_t>(suffix);
}

}  // namespace

bool LetterFitsSlot(char letter, SlotKind kind) {
  const char c = ToUpperAscii(letter);
  switch (kind) {
    case kSlotFirst:
      return c == 'Z';
    case kSlotSecond:
      return !(c >= 'U' && c <= 'Y');
    case kSlotThird:
      return c != 'R' && !(c >= 'U' && c <= 'Z');
    default:
      return true;
  }
}

uint64_t ActKey(std::string_view field) {
  if (field.size() < 8) return ~uint64_t{0};
  for (int i = 0; i < 4; ++i) {
    if (field[i] < 'A' || field[i] > 'Z') return ~uint64_t{0};
  }
  for (int i = 4; i < 8; ++i) {
    if (!IsDigit(field[i])) return ~uint64_t{0};
  }
  const std::array<uint8_t, 3> key = ActSearchKey(field);
  return (static_cast<uint64_t>(ActPrefixIndex(field)) << 24) | (uint64_t{key[0]} << 16) |
         (uint64_t{key[1]} << 8) | key[2];
}

CodePools::CodePools(const DiagTableModel* diags, const ActTableModel* acts) {
  known_diag_keys_.assign(static_cast<size_t>(kDiagPrefixCount) * kSuffixNumberCount, false);
  if (diags != nullptr) {
    AddDiagsOfModel(*diags);
  } else {
    AddBuiltinDiags();
  }
  if (acts != nullptr) {
    AddActsOfModel(*acts);
  } else {
    AddBuiltinActs();
  }
  std::sort(known_act_keys_.begin(), known_act_keys_.end());
  SortIntoPools();
}

uint32_t CodePools::AddRecord(const DiagRecord& record) {
  const uint32_t index = static_cast<uint32_t>(records_.size() / record_size_);
  records_.resize(records_.size() + record_size_, 0);
  uint8_t* bytes = &records_[index * record_size_];
  bytes[0] = record.position_bits;
  for (size_t i = 0; i < record.attributes.size() && i + 1 < static_cast<size_t>(record_size_);
       ++i) {
    bytes[i + 1] = record.attributes[i];
  }
  return index;
}

void CodePools::AddDiagsOfModel(const DiagTableModel& model) {
  from_diag_table_ = true;
  // A record size outside 1 to 12 makes the program refuse the table; the
  // pools then keep the program's largest record.
  record_size_ = std::clamp(model.record_size, 1, 12);
  const auto zero = model.records.find(0);
  AddRecord(zero != model.records.end() ? zero->second : DiagRecord());

  std::vector<bool> seen(known_diag_keys_.size(), false);
  for (const DiagEntry& entry : model.entries) {
    if (entry.prefix < 0 || entry.prefix >= kDiagPrefixCount || entry.suffix_number < 0 ||
        entry.suffix_number >= kSuffixNumberCount) {
      continue;  // no summary field reaches it
    }
    const uint32_t key = DiagKey(entry.prefix, entry.suffix_number);
    if (seen[key]) continue;  // the lookup finds the first entry of a key
    seen[key] = true;
    DiagRecord record;
    if (entry.record_number < 0) {
      record = entry.record;
    } else {
      const auto it = model.records.find(entry.record_number);
      if (it != model.records.end()) record = it->second;
    }
    if (record.attributes.size() > static_cast<size_t>(record_size_ - 1)) {
      record.attributes.resize(record_size_ - 1);
    }
    const uint8_t category = record.attributes.empty() ? 0 : record.attributes[0];
    if (category == 0) continue;  // reads as not in the table
    known_diag_keys_[key] = true;
    DiagCode code;
    const std::string field = DiagCodeField(entry.prefix, entry.suffix_number);
    std::copy(field.begin(), field.end(), code.field.begin());
    code.position_bits = record.position_bits;
    code.category = category;
    code.first_pair = BlockHasPair(record.attributes, kRejectPairTag, kRejectPairFirst);
    code.second_pair = BlockHasPair(record.attributes, kRejectPairTag, kRejectPairSecond);
    code.record = AddRecord(record);
    diags_.push_back(code);
  }
}

void CodePools::AddBuiltinDiags() {
  record_size_ = 12;
  AddRecord(DiagRecord());
  for (const BuiltinDiag& builtin : kBuiltinDiags) {
    int prefix = 0, suffix = 0;
    if (!ParseDiagCode(builtin.code, &prefix, &suffix)) continue;
    known_diag_keys_[DiagKey(prefix, suffix)] = true;
    DiagRecord record{builtin.position_bits, {kBuiltinCategory}};
    DiagCode code;
    const std::string field = DiagCodeField(prefix, suffix);
    std::copy(field.begin(), field.end(), code.field.begin());
    code.position_bits = builtin.position_bits;
    code.category = kBuiltinCategory;
    code.record = AddRecord(record);
    diags_.push_back(code);
  }
}

void CodePools::AddActsOfModel(const ActTableModel& model) {
  from_act_table_ = true;
  std::map<uint64_t, bool> first;  // key -> found with a class other than 0
  for (const ActEntry& entry : model.entries) {
    if (entry.letter >= 26 || entry.number > 9999) continue;  // no four-letter, four-digit code
    const std::string text = ActCodeText(entry.prefix, entry.letter, entry.number);
    const uint64_t key = ActKey(text);
    if (key == ~uint64_t{0} || !first.emplace(key, entry.act_class != 0).second) continue;
    if (entry.act_class == 0) continue;  // reads as not in the table
    known_act_keys_.push_back(key);
    ActCode act;
    std::copy(text.begin(), text.begin() + 8, act.field.begin());
    acts_.push_back(act);
  }
}

void CodePools::AddBuiltinActs() {
  for (const char* text : kBuiltinActs) {
    const uint64_t key = ActKey(text);
    known_act_keys_.push_back(key);
    ActCode act;
    std::copy(text, text + 8, act.field.begin());
    acts_.push_back(act);
  }
}

void CodePools::SortIntoPools() {
  for (uint32_t i = 0; i < diags_.size(); ++i) {
    const DiagCode& code = diags_[i];
    const bool special = code.category == kSpecialCategory;
    const bool rejected_pair = special && (code.first_pair || code.second_pair);
    bool valid_second = false, valid_third = false;
    for (int k = 0; k < kSlotKindCount; ++k) {
      const SlotKind kind = static_cast<SlotKind>(k);
      if (!LetterFitsSlot(code.field[0], kind)) continue;
      const bool position_ok =
          code.position_bits == 0xFF || (code.position_bits & kSlotPositionMask[k]) != 0;
      if (special && code.first_pair) {
        first_pair_[k].push_back(i);
      } else if (special && code.second_pair) {
        second_pair_[k].push_back(i);
      } else if (!position_ok) {
        bad_position_[k].push_back(i);
      } else if (!rejected_pair) {
        valid_[k].push_back(i);
        if (kind == kSlotSecond) valid_second = true;
        if (kind == kSlotThird) valid_third = true;
      }
    }
    if (valid_second && valid_third) valid_second_third_.push_back(i);
  }
}

bool CodePools::KnownDiag(std::string_view field) const {
  if (field.size() < 6 || field[0] == ' ') return false;
  const int32_t prefix = DiagPrefixIndex(field.substr(0, 3));
  if (prefix < 0 || prefix >= kDiagPrefixCount) return false;
  return known_diag_keys_[DiagKey(prefix, SuffixNumber(field.substr(3, 3)))];
}

bool CodePools::KnownAct(std::string_view field) const {
  const uint64_t key = ActKey(field);
  return key != ~uint64_t{0} &&
         std::binary_search(known_act_keys_.begin(), known_act_keys_.end(), key);
}

}  // namespace gen
}  // namespace grulo
