#include "authoring/table_dump.h"

#include <algorithm>
#include <functional>

#include "authoring/table_build.h"
#include "authoring/table_decode.h"
#include "authoring/table_source.h"
#include "authoring/tree_print.h"
#include "tables/open_tables.h"

namespace grulo {
namespace {

int DescriptorCount(TableKind kind) {
  return kind == TableKind::kDiag  ? kDiagDescriptorCount
         : kind == TableKind::kAct ? kActDescriptorCount
                                   : kTreeDescriptorCount;
}

int64_t HeaderEnd(TableKind kind) { return HeaderAndDescriptorsSize(DescriptorCount(kind)); }

std::vector<uint8_t> Bytes(const TableFile& file, int64_t offset, int64_t n) {
  const uint8_t* p = file.Peek(offset, n);
  return p == nullptr ? std::vector<uint8_t>() : std::vector<uint8_t>(p, p + n);
}

// Tries candidate texts in order; the first whose build gives the file's
// bytes wins. Each candidate is tried as it is and then with the raw bytes
// the file holds outside the sections.
class DumpAttempt {
 public:
  DumpAttempt(const TableFile& file, TableKind kind) : file_(file), kind_(kind) {
    const uint8_t* p = file.Peek(0, file.size());
    if (p != nullptr) bytes_.assign(p, p + file.size());
  }

  // `print(layout)` gives the text of the candidate with that layout.
  bool Try(const std::function<std::string(const TableLayout&)>& print, std::string* text) {
    TableLayout layout;
    std::vector<uint8_t> built;
    std::string candidate = print(layout);
    const bool built_ok = Build(candidate, &built);
    if (built_ok && built == bytes_) {
      *text = std::move(candidate);
      return true;
    }
    // The header and descriptors as the file has them, where they differ.
    const bool whole = built_ok && built.size() >= static_cast<size_t>(HeaderEnd(kind_));
    const std::vector<uint8_t> header = Bytes(file_, 0, kTableHeaderSize);
    if (!whole || !std::equal(header.begin(), header.end(), built.begin())) {
      layout.header = header;
    }
    for (int i = 0; i < DescriptorCount(kind_); ++i) {
      const int64_t at = DescriptorAt(i + 1);
      std::vector<uint8_t> theirs = Bytes(file_, at, kSectionDescriptorSize);
      std::vector<uint8_t> mine;
      if (whole) mine.assign(built.begin() + at, built.begin() + at + kSectionDescriptorSize);
      if (mine.size() == theirs.size())
        mine[kDescriptorRecordSizeAt] = theirs[kDescriptorRecordSizeAt];  // the model's record size
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

  // The last resort: the text with every raw byte, and a note that it does
  // not give the same bytes.
  std::string Fallback(const std::function<std::string(const TableLayout&)>& print,
                       const std::vector<std::string>& notes) {
    TableLayout layout;
    layout.header = Bytes(file_, 0, kTableHeaderSize);
    for (int i = 0; i < DescriptorCount(kind_); ++i) {
      layout.descriptors[i] = Bytes(file_, DescriptorAt(i + 1), kSectionDescriptorSize);
    }
    std::string text =
        "# note: building this text does not give the same bytes as the file it was read from\n";
    for (const std::string& note : notes) text += "# note: " + note + "\n";
    std::string body = print(layout);
    std::vector<uint8_t> built;
    if (!Build(body, &built)) {
      // The descriptors place sections on top of each other: write them the
      // tool's way instead.
      layout.descriptors = {};
      body = print(layout);
    }
    return text + body;
  }

 private:
  bool Build(const std::string& text, std::vector<uint8_t>* built) {
    std::vector<std::string> errors;
    return BuildTableFromSource(kind_, text, "dump", built, &errors);
  }

  const TableFile& file_;
  TableKind kind_;
  std::vector<uint8_t> bytes_;
};

}  // namespace

bool DumpTable(const TableFile& file, TableKind kind, std::string* text, std::string* error) {
  std::vector<std::string> notes;
  DumpAttempt attempt(file, kind);
  switch (kind) {
    case TableKind::kDiag: {
      DiagTableModel numbered;
      if (!ReadDiagModel(file, &numbered, &notes, error)) return false;
      // The plain form: records inline, record 0 given only when not all 0.
      DiagTableModel plain = numbered;
      plain.records.clear();
      bool all_held = true;
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
      auto print = [](DiagTableModel m) {
        return [m](const TableLayout& layout) mutable {
          m.layout = layout;
          return PrintDiagSource(m);
        };
      };
      if (notes.empty() && all_held && attempt.Try(print(plain), text)) return true;
      if (notes.empty() && attempt.Try(print(numbered), text)) return true;
      *text = attempt.Fallback(print(numbered), notes);
      return true;
    }
    case TableKind::kAct: {
      ActTableModel model;
      if (!ReadActModel(file, &model, &notes, error)) return false;
      auto print = [&model](const TableLayout& layout) {
        ActTableModel m = model;
        m.layout = layout;
        return PrintActSource(m);
      };
      if (notes.empty() && attempt.Try(print, text)) return true;
      *text = attempt.Fallback(print, notes);
      return true;
    }
    case TableKind::kTree: {
      TreeTableModel model;
      if (!ReadTreeModel(file, &model, &notes, error)) return false;
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
      if (PrintTreeSourceStructured(model, &probe) && attempt.Try(structured, text)) return true;
      if (!model.nodes.empty() && attempt.Try(numbered, text)) return true;
      *text = attempt.Fallback(numbered, notes);
      return true;
    }
  }
  *error = "unknown table kind";
  return false;
}

}  // namespace grulo
