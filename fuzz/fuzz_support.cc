#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "authoring/table_build.h"

namespace grulo {
namespace fuzz {
namespace {

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "fuzz support: %s\n", what.c_str());
  std::abort();
}

std::string ReadSource(const char* name) {
  const std::string path = std::string(GRULO_SOURCE_DIR) + "/data/demo/" + name;
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<uint8_t> Build(TableKind kind, const char* name) {
  std::vector<uint8_t> bytes;
  Status status = BuildTable(kind, ReadSource(name), name, &bytes);
  if (!status.ok()) Fail(status.ToString());
  return bytes;
}

std::unique_ptr<TableFile> DemoFile(TableKind kind) {
  return TableFile::FromBytes(DemoTableBytes(kind));
}

template <typename Table>
Table Adopt(TableKind kind, int16_t (*adopt)(std::unique_ptr<TableFile>&, Table*, Status*)) {
  std::unique_ptr<TableFile> file = DemoFile(kind);
  Table table;
  Status why;
  if (adopt(file, &table, &why) != kTableOpened) Fail("demo table refused: " + why.ToString());
  return table;
}

}  // namespace

const std::vector<uint8_t>& DemoTableBytes(TableKind kind) {
  static const std::vector<uint8_t> tree = Build(TableKind::kTree, "tree.txt");
  static const std::vector<uint8_t> acts = Build(TableKind::kAct, "acts.txt");
  static const std::vector<uint8_t> diags = Build(TableKind::kDiag, "diag.txt");
  switch (kind) {
    case TableKind::kTree:
      return tree;
    case TableKind::kAct:
      return acts;
    case TableKind::kDiag:
      break;
  }
  return diags;
}

TreeTable DemoTree() { return Adopt<TreeTable>(TableKind::kTree, AdoptTreeTable); }
ActTable DemoActs() { return Adopt<ActTable>(TableKind::kAct, AdoptActTable); }
DiagTable DemoDiags() { return Adopt<DiagTable>(TableKind::kDiag, AdoptDiagTable); }

const TableSet& DemoTableSet() {
  static const TableSet set(DemoTree(), DemoActs(), DemoDiags());
  return set;
}

const std::vector<std::string>& FixedLines() {
  static const std::vector<std::string> lines = [] {
    std::vector<std::string> out;
    std::istringstream input(ReadSource("input.txt"));
    std::string line;
    while (out.size() < 8 && std::getline(input, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      out.push_back(line);
    }
    if (out.size() < 8) Fail("the demo input has fewer than 8 lines");
    std::string faulty = out[0];
    faulty.replace(20, 10, "ABCDEFGHIJ");  // letters where digits belong
    out.push_back(faulty);
    faulty = out[1];
    faulty.replace(40, 8, "31022026");  // a birth date that does not exist
    out.push_back(faulty);
    out.push_back(out[2].substr(0, 200));      // too short
    out.push_back(out[3].substr(0, 9) + "X99" + out[3].substr(12));  // unknown format
    out.push_back("short");
    return out;
  }();
  return lines;
}

const DateText& FixedToday() {
  static const DateText today = {'0', '7', '1', '2', '2', '0', '2', '6', '\0'};
  return today;
}

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "property violated: %s\n", what);
  std::abort();
}

}  // namespace fuzz
}  // namespace grulo
