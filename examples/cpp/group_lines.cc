// Groups the first three lines of a summary file through the C++ interface
// and prints each result with its errors.
//   group_lines TABLE_DIR INPUT_FILE

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include <grulo/grouper.h>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: group_lines TABLE_DIR INPUT_FILE\n";
    return 2;
  }
  const grulo::Tables tables = grulo::Tables::Open(argv[1]);
  if (!tables.ok()) {
    std::cerr << tables.error() << "\n";
    return 1;
  }
  grulo::Grouper grouper(grulo::Date{7, 12, 2026});
  std::ifstream input(argv[2], std::ios::binary);
  std::string line;
  for (int n = 1; n <= 3 && std::getline(input, line); ++n) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const grulo::Outcome& outcome = grouper.Group(tables, line);
    if (outcome.format() != grulo::LineFormat::kWellFormed) {
      std::cout << "line " << n << ": not a summary\n";
      continue;
    }
    const grulo::GroupResult& r = outcome.result();
    char numbers[32];
    std::snprintf(numbers, sizeof numbers, "%02d%03d%02d", r.GroupCategory, r.GroupNumber,
                  r.GroupReturn);
    std::cout << "line " << n << ": " << outcome.version() << " " << numbers
              << (outcome.blocked() ? " blocked" : "") << " errors:";
    for (int i = 0; i < outcome.error_count(); ++i) {
      std::cout << " " << outcome.error(i).number << (outcome.error(i).blocking ? "*" : "");
    }
    std::cout << "\n";
  }
  return 0;
}
