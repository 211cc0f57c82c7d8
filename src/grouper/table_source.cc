#include "grouper/table_source.h"

#include <utility>

namespace grulo {

TableSource TableSource::InDirectory(std::string rep_tab) {
  TableSource source;
  for (TableRole role : kTableRoles) source.paths_[Index(role)] = rep_tab + TableFileName(role);
  source.directory_ = std::move(rep_tab);
  return source;
}

TableSource TableSource::AtPaths(std::string tree, std::string acts, std::string diags) {
  TableSource source;
  source.paths_ = {std::move(tree), std::move(acts), std::move(diags)};
  return source;
}

TableSource TableSource::InMemory(std::optional<std::vector<uint8_t>> tree,
                                  std::optional<std::vector<uint8_t>> acts,
                                  std::optional<std::vector<uint8_t>> diags) {
  TableSource source;
  for (TableRole role : kTableRoles) source.paths_[Index(role)] = TableFileName(role);
  source.bytes_ = std::make_shared<const std::array<std::optional<std::vector<uint8_t>>, 3>>(
      std::array<std::optional<std::vector<uint8_t>>, 3>{std::move(tree), std::move(acts),
                                                          std::move(diags)});
  return source;
}

std::unique_ptr<TableFile> TableSource::Open(TableRole role, Status* why) const {
  if (bytes_ == nullptr) return TableFile::Open(PathOf(role), why);
  const std::optional<std::vector<uint8_t>>& bytes = (*bytes_)[Index(role)];
  if (!bytes.has_value()) {
    *why = Status::NotFound(PathOf(role), "no such table was given");
    return nullptr;
  }
  return TableFile::FromBytes(*bytes);
}

}  // namespace grulo
