#include "authoring/table_dump.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "authoring/table_source.h"
#include "authoring/tree_source.h"
#include "tables/act_table.h"
#include "tables/big_endian.h"
#include "tables/diag_table.h"
#include "tables/open_tables.h"

namespace grulo {
namespace {

int DescriptorCount(TableKind kind) { return kind == TableKind::kDiag ? 2 : 1; }

int64_t HeaderEnd(TableKind kind) {
  return kTableHeaderSize + int64_t{kSectionDescriptorSize} * DescriptorCount(kind);
}

std::string VersionOf(const uint8_t* header) {
  std::string version = {static_cast<char>(header[8]), static_cast<char>(header[9])};
  while (!version.empty() && version.back() == '\0') version.pop_back();
  return version;
}

std::vector<uint8_t> Bytes(const TableFile& file, int64_t offset, int64_t n) {
  const uint8_t* p = file.Peek(offset, n);
  return p == nullptr ? std::vector<uint8_t>() : std::vector<uint8_t>(p, p + n);
}

bool TooShort(const TableFile& file, TableKind kind, std::string* error) {
  if (file.size() >= HeaderEnd(kind)) return false;
  *error = "the file has " + std::to_string(file.size()) + " bytes, fewer than its header and " +
           "descriptors (" + std::to_string(HeaderEnd(kind)) + ")";
  return true;
}

// The entry ranges of a prefix index: calls `visit(p, start, count)` for
// each prefix whose range is consistent and held by the file, and notes the
// others. `code_text(p)` names a prefix.
void WalkPrefixRanges(const TableFile& file, int64_t index, int prefixes, int64_t entries_at,
                      const std::function<std::string(int)>& prefix_text,
                      const std::function<void(int, uint32_t, uint32_t)>& visit,
                      std::vector<std::string>* notes) {
  uint32_t start = 0;
  for (int p = 0; p < prefixes; ++p) {
    const uint8_t* e = file.Peek(index + 2 * int64_t{p}, 2);
    if (e == nullptr) {
      notes->push_back("the prefix index ends outside the file at prefix " + prefix_text(p));
      return;
    }
    const uint32_t end = ReadBigEndian16(e);
    if (end < start) {
      notes->push_back("prefix " + prefix_text(p) + ": range " + std::to_string(start) + ".." +
                       std::to_string(end) + " ends below its start, skipped");
    } else if (end > start) {
      if (file.Peek(entries_at + 4 * int64_t{start}, 4 * int64_t{end - start}) == nullptr) {
        notes->push_back("prefix " + prefix_text(p) + ": entries " + std::to_string(start) + ".." +
                         std::to_string(end) + " are not all inside the file, skipped");
      } else {
        visit(p, start, end - start);
      }
    }
    start = end;
  }
}

std::string DiagPrefixText(int p) { return DiagCodeText(p, 0); }
std::string ActPrefixText(int p) { return ActCodeText(p, 0, 0).substr(0, 3); }

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
      const int64_t at = kTableHeaderSize + int64_t{kSectionDescriptorSize} * i;
      std::vector<uint8_t> theirs = Bytes(file_, at, kSectionDescriptorSize);
      std::vector<uint8_t> mine;
      if (whole) mine.assign(built.begin() + at, built.begin() + at + kSectionDescriptorSize);
      if (mine.size() == theirs.size()) mine[20] = theirs[20];  // the model's record size
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
      layout.descriptors[i] = Bytes(file_, kTableHeaderSize + int64_t{kSectionDescriptorSize} * i,
                                    kSectionDescriptorSize);
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

std::string_view TableKindName(TableKind kind) {
  switch (kind) {
    case TableKind::kTree:
      return "tree";
    case TableKind::kDiag:
      return "diag";
    case TableKind::kAct:
      return "acts";
  }
  return "";
}

bool TableKindFromWord(std::string_view word, TableKind* kind) {
  for (TableKind k : {TableKind::kTree, TableKind::kDiag, TableKind::kAct}) {
    if (word == TableKindName(k)) {
      *kind = k;
      return true;
    }
  }
  return false;
}

std::string_view TableFileName(TableKind kind) {
  switch (kind) {
    case TableKind::kTree:
      return kTreeTableName;
    case TableKind::kDiag:
      return kDiagTableName;
    case TableKind::kAct:
      return kActTableName;
  }
  return "";
}

bool GuessTableKind(std::string_view path, const TableFile& file, TableKind* kind) {
  const size_t slash = path.find_last_of('/');
  const std::string_view base = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const uint8_t* name = file.Peek(12, 12);
  for (TableKind k : {TableKind::kTree, TableKind::kDiag, TableKind::kAct}) {
    const std::string_view file_name = TableFileName(k);
    if (base == file_name || (name != nullptr && std::memcmp(name, file_name.data(), 12) == 0)) {
      *kind = k;
      return true;
    }
  }
  return false;
}

bool ReadDiagModel(const TableFile& file, DiagTableModel* model, std::vector<std::string>* notes,
                   std::string* error) {
  *model = DiagTableModel();
  if (TooShort(file, TableKind::kDiag, error)) return false;
  const uint8_t* header = file.Peek(0, HeaderEnd(TableKind::kDiag));
  const SectionDescriptor index = ReadSectionDescriptor(header + 32);
  const SectionDescriptor records = ReadSectionDescriptor(header + 64);
  model->version = VersionOf(header);
  model->result_size = index.record_size;
  model->record_size = records.record_size;

  // Every record the file holds from the record offset on.
  const int rs = records.record_size;
  int64_t record_count = 0;
  if (rs > 0 && records.offset >= 0 && records.offset <= file.size()) {
    record_count = std::min<int64_t>((file.size() - records.offset) / rs, 65536);
  }
  for (int64_t r = 0; r < record_count; ++r) {
    const uint8_t* bytes = file.Peek(int64_t{records.offset} + r * rs, rs);
    DiagRecord record;
    record.position_bits = bytes[0];
    record.attributes.assign(bytes + 1, bytes + rs);
    model->records[static_cast<int>(r)] = std::move(record);
  }

  const int64_t entries_at = int64_t{index.offset} + kDiagIndexSize;
  WalkPrefixRanges(
      file, index.offset, kDiagPrefixCount, entries_at, DiagPrefixText,
      [&](int p, uint32_t start, uint32_t count) {
        const uint8_t* e = file.Peek(entries_at + 4 * int64_t{start}, 4 * int64_t{count});
        for (uint32_t i = 0; i < count; ++i) {
          DiagEntry entry;
          entry.prefix = p;
          entry.suffix_number = ReadBigEndian16(e + 4 * i);
          entry.record_number = ReadBigEndian16(e + 4 * i + 2);
          model->entries.push_back(entry);
        }
      },
      notes);
  return true;
}

bool ReadActModel(const TableFile& file, ActTableModel* model, std::vector<std::string>* notes,
                  std::string* error) {
  *model = ActTableModel();
  if (TooShort(file, TableKind::kAct, error)) return false;
  const uint8_t* header = file.Peek(0, HeaderEnd(TableKind::kAct));
  const SectionDescriptor index = ReadSectionDescriptor(header + 32);
  model->version = VersionOf(header);
  model->entry_size = index.record_size;
  const int64_t entries_at = int64_t{index.offset} + kActIndexSize;
  WalkPrefixRanges(
      file, index.offset, kActPrefixCount, entries_at, ActPrefixText,
      [&](int p, uint32_t start, uint32_t count) {
        const uint8_t* e = file.Peek(entries_at + 4 * int64_t{start}, 4 * int64_t{count});
        for (uint32_t i = 0; i < count; ++i) {
          ActEntry entry;
          entry.prefix = p;
          entry.letter = e[4 * i];
          entry.number = ReadBigEndian16(e + 4 * i + 1);
          entry.act_class = e[4 * i + 3];
          model->entries.push_back(entry);
        }
      },
      notes);
  return true;
}

bool ReadTreeModel(const TableFile& file, TreeTableModel* model, std::vector<std::string>* notes,
                   std::string* error) {
  *model = TreeTableModel();
  if (TooShort(file, TableKind::kTree, error)) return false;
  const uint8_t* header = file.Peek(0, HeaderEnd(TableKind::kTree));
  const SectionDescriptor nodes = ReadSectionDescriptor(header + 32);
  model->version = VersionOf(header);
  model->node_size = nodes.record_size;
  const int size = nodes.record_size;
  int64_t count = 0;
  if (size > 0 && nodes.offset >= 0 && nodes.offset <= file.size()) {
    count = std::min<int64_t>((file.size() - nodes.offset) / size, 65536);
  }
  if (count == 0) notes->push_back("the file holds no node record");
  for (int64_t n = 0; n < count; ++n) {
    const uint8_t* b = file.Peek(int64_t{nodes.offset} + n * size, size);
    uint8_t six[6] = {};
    std::memcpy(six, b, static_cast<size_t>(std::min(size, 6)));
    TreeNodeRecord node =
        TreeNodeRecord::Inner(six[0], six[1], six[2], six[3], ReadBigEndian16(six + 4));
    if (size > 6) node.extra.assign(b + 6, b + size);
    while (!node.extra.empty() && node.extra.back() == 0) node.extra.pop_back();
    model->nodes.push_back(std::move(node));
  }
  return true;
}

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

bool BuildTableFromSource(TableKind kind, std::string_view text, std::string_view file_name,
                          std::vector<uint8_t>* bytes, std::vector<std::string>* errors) {
  std::string error;
  bool ok = false;
  switch (kind) {
    case TableKind::kDiag: {
      DiagTableModel model;
      if (!ParseDiagSource(text, file_name, &model, errors)) return false;
      ok = WriteDiagTable(model, bytes, &error);
      break;
    }
    case TableKind::kAct: {
      ActTableModel model;
      if (!ParseActSource(text, file_name, &model, errors)) return false;
      ok = WriteActTable(model, bytes, &error);
      break;
    }
    case TableKind::kTree: {
      TreeTableModel model;
      if (!ParseTreeSource(text, file_name, &model, errors)) return false;
      ok = WriteTreeTable(model, bytes, &error);
      break;
    }
  }
  if (!ok) errors->assign(1, std::string(file_name) + ": " + error);
  return ok;
}

}  // namespace grulo
