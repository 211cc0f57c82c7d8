// Diagnosis and act lookups on tables of a realistic size (15,000 diagnosis
// codes, 8,000 act codes), written to a temporary directory and opened as the
// program opens them: memory-mapped files read in place.
//
//   build/bench/table_lookup_bench

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "authoring/code_text.h"
#include "authoring/file_io.h"
#include "authoring/table_writer.h"
#include "summary/summary_state.h"
#include "tables/act_table.h"
#include "tables/diag_table.h"
#include "tables/open_tables.h"

namespace grulo {

constexpr int kDiagCodes = 15000;
constexpr int kActCodes = 8000;
constexpr int kSummaries = 1024;  // different summaries looked up in turn

struct Fixture {
  std::string dir;
  DiagTable diags;
  ActTable acts;
  std::vector<std::string> diag_fields;  // 23 six-character codes per summary
  std::vector<std::string> act_fields;   // 10 eight-character codes per summary

  Fixture() {
    std::mt19937 random(2024);
    std::string pattern = (std::filesystem::temp_directory_path() / "grulo-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    dir = pattern + "/";

    // Codes cluster in 1,800 prefixes, with one or two suffix characters, as
    // real classifications do.
    DiagTableModel diag_model;
    diag_model.version = "11";
    std::set<std::pair<int, int>> diag_keys;
    std::vector<std::string> known_diags;
    const char kSuffix[] = "0123456789+";
    while (static_cast<int>(diag_keys.size()) < kDiagCodes) {
      const int prefix = static_cast<int>(random() % 1800) * 13 % 2600;
      std::string suffix(1, kSuffix[random() % 10]);
      if (random() % 3 != 0) suffix += kSuffix[random() % 11];
      const std::string code = DiagCodeText(prefix, 0) + suffix;
      int p, s;
      if (!ParseDiagCode(code, &p, &s) || !diag_keys.emplace(p, s).second) continue;
      const uint8_t category = static_cast<uint8_t>(11 + random() % 8);
      AddDiagCode(&diag_model, code, 0xFF, {category, 38, static_cast<uint8_t>(random() % 256)});
      known_diags.push_back(DiagCodeField(p, s));
    }

    ActTableModel act_model;
    act_model.version = "11";
    std::set<std::string> act_keys;
    std::vector<std::string> known_acts;
    while (static_cast<int>(act_keys.size()) < kActCodes) {
      const int prefix = static_cast<int>(random() % 2000) * 7 % 17576;
      const std::string code = ActCodeText(prefix, static_cast<uint8_t>(random() % 26),
                                           static_cast<uint16_t>(random() % 1000));
      if (!act_keys.insert(code).second) continue;
      AddActCode(&act_model, code, static_cast<uint8_t>(1 + random() % 100));
      known_acts.push_back(code);
    }

    std::vector<uint8_t> bytes;
    std::string error;
    if (!WriteDiagTable(diag_model, &bytes, &error) ||
        !WriteBytesToFile(dir + kDiagTableName, bytes, &error) ||
        !WriteActTable(act_model, &bytes, &error) ||
        !WriteBytesToFile(dir + kActTableName, bytes, &error) ||
        OpenDiagTable(dir, &diags) != kTableOpened || OpenActTable(dir, &acts) != kTableOpened) {
      std::abort();
    }

    // Each summary: known codes, one unknown code and some blank slots.
    for (int s = 0; s < kSummaries; ++s) {
      for (int slot = 0; slot < kDiagSlotCount; ++slot) {
        if (slot == 7) {
          diag_fields.push_back("Q9999 ");
        } else if (slot > 18) {
          diag_fields.push_back("      ");
        } else {
          diag_fields.push_back(known_diags[random() % known_diags.size()]);
        }
      }
      for (int k = 0; k < kMaxActSlots; ++k) {
        act_fields.push_back(k == 9 ? "ZZZZ0000" : known_acts[random() % known_acts.size()]);
      }
    }
  }

  ~Fixture() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

void LookupDiag23Slots(benchmark::State& state, const Fixture& f) {
  SummaryState summary;
  int s = 0;
  for (auto _ : state) {
    const std::string* codes = &f.diag_fields[static_cast<size_t>(s) * kDiagSlotCount];
    for (int slot = 0; slot < kDiagSlotCount; ++slot) {
      LookupDiag(f.diags, codes[slot], slot, &summary);
    }
    benchmark::DoNotOptimize(summary.DiagAttr.data());
    s = (s + 1) % kSummaries;
  }
  state.SetItemsProcessed(state.iterations() * kDiagSlotCount);
}

void LookupAct10Acts(benchmark::State& state, const Fixture& f) {
  SummaryState summary;
  int s = 0;
  for (auto _ : state) {
    const std::string* codes = &f.act_fields[static_cast<size_t>(s) * kMaxActSlots];
    for (int k = 0; k < kMaxActSlots; ++k) LookupAct(f.acts, codes[k], k, &summary);
    benchmark::DoNotOptimize(summary.ActClass.data());
    s = (s + 1) % kSummaries;
  }
  state.SetItemsProcessed(state.iterations() * kMaxActSlots);
}

}  // namespace grulo

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const grulo::Fixture fixture;
  benchmark::RegisterBenchmark("LookupDiag/23 slots", [&fixture](benchmark::State& state) {
    grulo::LookupDiag23Slots(state, fixture);
  });
  benchmark::RegisterBenchmark("LookupAct/10 acts", [&fixture](benchmark::State& state) {
    grulo::LookupAct10Acts(state, fixture);
  });
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
