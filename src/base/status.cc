#include "base/status.h"

namespace grulo {

Status::Status(Code code, std::string_view where, std::string_view what) : code_(code) {
  if (!where.empty()) {
    message_.assign(where);
    message_ += ": ";
  }
  message_ += what;
}

Status Status::NotFound(std::string_view where, std::string_view what) {
  return Status(kNotFound, where, what);
}

Status Status::Corruption(std::string_view where, std::string_view what) {
  return Status(kCorruption, where, what);
}

Status Status::InvalidArgument(std::string_view where, std::string_view what) {
  return Status(kInvalidArgument, where, what);
}

Status Status::IoError(std::string_view where, std::string_view what) {
  return Status(kIoError, where, what);
}

Status Status::AtLine(std::string_view path, int line, std::string_view what) {
  std::string where(path);
  where += ':';
  where += std::to_string(line);
  return Status(kInvalidArgument, where, what);
}

std::string Status::ToString() const { return ok() ? "ok" : message_; }

}  // namespace grulo
