#include "authoring/table_dump.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "authoring/table_build.h"
#include "authoring/table_decode.h"
#include "authoring/table_source.h"
#include "authoring/table_writer.h"
#include "authoring/tree_print.h"
#include "tables/table_layout.h"

namespace grulo {
namespace {

using Printer = std::function<std::string(const TableLayout&)>;

constexpr char kUnheldBytes[] = "the file holds bytes that no text gives back";
constexpr char kNotSameBytes[] =
    "building this text does not give the same bytes as the file it was read from";

std::vector<uint8_t> Bytes(const TableFile& file, int64_t offset, int64_t n) {
  const uint8_t* p = file.Peek(offset, n);
  return p == nullptr ? std::vector<uint8_t>() : std::vector<uint8_t>(p, p + n);
}

// Tries candidate texts in order; the first whose build gives the file's
// bytes wins. Each candidate is tried as it is and then with the raw bytes
// the file holds outside the sections. No build may grow beyond the file:
// one that would is refused before it allocates, since it could not give
// the file's bytes anyway.
class DumpAttempt {
 public:
  DumpAttempt(const TableFile& file, TableKind kind)
      : file_(file), kind_(kind), bytes_(Bytes(file, 0, file.size())) {}

  // `print(layout)` gives the text of the candidate with that layout.
  bool Try(const Printer& print, std::string* text) {
    TableLayout layout;
    std::vector<uint8_t> built;
    std::string candidate = print(layout);
    const bool built_ok = Build(candidate, &built);
    if (built_ok && built == bytes_) {
      *text = std::move(candidate);
      return true;
    }
    // The header and descriptors as the file has them, where they differ.
    const bool whole =
        built_ok && built.size() >= static_cast<size_t>(HeaderAndDescriptorsSize(Count()));
    const std::vector<uint8_t> header = Bytes(file_, 0, kTableHeaderSize);
    if (!whole || !std::equal(header.begin(), header.end(), built.begin())) {
      layout.header = header;
    }
    for (int i = 0; i < Count(); ++i) {
      const int64_t at = DescriptorAt(i + 1);
      std::vector<uint8_t> theirs = Bytes(file_, at, kSectionDescriptorSize);
      std::vector<uint8_t> mine;
      if (whole) mine.assign(built.begin() + at, built.begin() + at + kSectionDescriptorSize);
      // The record size comes from the model, not from the raw bytes.
      if (mine.size() == theirs.size()) {
        mine[kDescriptorRecordSizeAt] = theirs[kDescriptorRecordSizeAt];
      }
      if (mine != theirs) layout.descriptors[i] = theirs;
    }
    candidate = print(layout);
    if (!Build(candidate, &built)) return false;
    if (built.size() < bytes_.size() && std::equal(built.begin(), built.end(), bytes_.begin())) {
      layout.trailer.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(built.size()),
                            bytes_.end());
      candidate = print(layout);
      if (!Build(candidate, &built)) return false;
    }
    if (built != bytes_) return false;
    *text = std::move(candidate);
    return true;
  }

  // The last resort: the text with every raw byte the build accepts, after
  // notes saying that it does not give the same bytes and why.
  std::string Fallback(const Printer& print, const DecodeNotes& notes) {
    TableLayout layout;
    layout.header = Bytes(file_, 0, kTableHeaderSize);
    for (int i = 0; i < Count(); ++i) {
      layout.descriptors[i] = Bytes(file_, DescriptorAt(i + 1), kSectionDescriptorSize);
    }
    std::string text = std::string("# note: ") + kNotSameBytes + "\n";
    for (const std::string& note : notes.kept()) text += "# note: " + note + "\n";
    if (notes.dropped() > 0) {
      text += "# note: ... " + std::to_string(notes.dropped()) + " more notes\n";
    }
    std::string body = print(layout);
    // Only checked, not built: the raw descriptors may place the sections
    // far into a file that the tool refuses to write.
    const Status buildable = BuildTable(kind_, body, "", nullptr);
    if (!buildable.ok()) {
      // The descriptors place sections on top of each other or too far:
      // write them the tool's way instead.
      text += "# note: the raw descriptors are left out (" + buildable.message() + ")\n";
      layout.descriptors = {};
      body = print(layout);
    }
    return text + body;
  }

 private:
  int Count() const { return DescriptorCount(kind_); }

  bool Build(const std::string& text, std::vector<uint8_t>* built) {
    return BuildTable(kind_, text, "", built, static_cast<int64_t>(bytes_.size())).ok();
  }

  const TableFile& file_;
  TableKind kind_;
  std::vector<uint8_t> bytes_;
};

// The model, read from the file, printed in the forms a kind has: the
// chosen text in *text and whether it gives the file's bytes back.
bool DumpDiag(const DiagTableModel& numbered, const DecodeNotes& notes, DumpAttempt* attempt,
              std::string* text) {
  // The plain form: records inline (record 0 given only when not all 0),
  // tried only when those records hold at most kMaxInlineRecordBytes in all.
  const bool plain_fits =
      static_cast<int64_t>(numbered.entries.size()) * std::max(numbered.record_size, 1) <=
      kMaxInlineRecordBytes;
  DiagTableModel plain;
  bool all_held = plain_fits;
  if (plain_fits) {
    plain = numbered;
    plain.records.clear();
    for (DiagEntry& e : plain.entries) {
      auto it = numbered.records.find(e.record_number);
      if (it == numbered.records.end()) {
        all_held = false;
        break;
      }
      e.record = it->second;
      e.record_number = -1;
    }
    auto zero0 = numbered.records.find(0);
    if (zero0 != numbered.records.end() &&
        (zero0->second.position_bits != 0 ||
         std::any_of(zero0->second.attributes.begin(), zero0->second.attributes.end(),
                     [](uint8_t b) { return b != 0; }))) {
      plain.records[0] = zero0->second;
    }
  }
  auto print = [](const DiagTableModel& model) {
    return [&model](const TableLayout& layout) {
      DiagTableModel m = model;
      m.layout = layout;
      return PrintDiagSource(m);
    };
  };
  if (notes.empty() && all_held && attempt->Try(print(plain), text)) return true;
  if (notes.empty() && attempt->Try(print(numbered), text)) return true;
  *text = attempt->Fallback(print(numbered), notes);
  return false;
}

bool DumpActs(const ActTableModel& model, const DecodeNotes& notes, DumpAttempt* attempt,
              std::string* text) {
  auto print = [&model](const TableLayout& layout) {
    ActTableModel m = model;
    m.layout = layout;
    return PrintActSource(m);
  };
  if (notes.empty() && attempt->Try(print, text)) return true;
  *text = attempt->Fallback(print, notes);
  return false;
}

bool DumpTree(const TreeTableModel& model, const DecodeNotes& notes, DumpAttempt* attempt,
              std::string* text) {
  auto structured = [&model](const TableLayout& layout) {
    TreeTableModel m = model;
    m.layout = layout;
    std::string t;
    return PrintTreeSourceStructured(m, &t) ? t : std::string();
  };
  auto numbered = [&model](const TableLayout& layout) {
    TreeTableModel m = model;
    m.layout = layout;
    return PrintTreeSourceNumbered(m);
  };
  std::string probe;
  if (PrintTreeSourceStructured(model, &probe) && attempt->Try(structured, text)) return true;
  if (!model.nodes.empty() && attempt->Try(numbered, text)) return true;
  *text = attempt->Fallback(numbered, notes);
  return false;
}

template <typename Model>
Status Dump(const TableFile& file, std::string_view path, TableKind kind, std::string* text,
            Status* round_trip,
            bool (*dump)(const Model&, const DecodeNotes&, DumpAttempt*, std::string*)) {
  Model model;
  DecodeNotes notes;
  if (Status s = DecodeTable(file, path, &model, &notes); !s.ok()) return s;
  DumpAttempt attempt(file, kind);
  const bool same_bytes = dump(model, notes, &attempt, text);
  if (round_trip != nullptr) {
    *round_trip =
        same_bytes ? Status()
                   : Status::Corruption(path, std::string(kNotSameBytes) + ": " +
                                                  (notes.empty() ? kUnheldBytes : notes.kept()[0]));
  }
  return Status();
}

}  // namespace

Status DumpTable(const TableFile& file, std::string_view path, TableKind kind, std::string* text,
                 Status* round_trip) {
  text->clear();
  switch (kind) {
    case TableKind::kDiag:
      return Dump<DiagTableModel>(file, path, kind, text, round_trip, DumpDiag);
    case TableKind::kAct:
      return Dump<ActTableModel>(file, path, kind, text, round_trip, DumpActs);
    case TableKind::kTree:
      return Dump<TreeTableModel>(file, path, kind, text, round_trip, DumpTree);
  }
  return Status::InvalidArgument(path, "unknown table kind");
}

}  // namespace grulo
