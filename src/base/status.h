// The outcome of an operation that can fail for a reason a person must read:
// opening or reading a file, a table that the program refuses, a line of a
// text source that cannot be parsed. A Status is either ok or carries a code
// and one message that names where the problem is (a path, "path:line", a
// table) and what is wrong.

#ifndef GRULO_BASE_STATUS_H_
#define GRULO_BASE_STATUS_H_

#include <string>
#include <string_view>

namespace grulo {

class Status {
 public:
  enum Code {
    kOk = 0,
    kNotFound,         // a file or an entry that is not there
    kCorruption,       // a file whose content is inconsistent or refused
    kInvalidArgument,  // a text, option or value that cannot be used
    kIoError,          // the system refused a read, a write or an opening
  };

  // An ok status.
  Status() = default;
  // A status of the code whose message is "<where>: <what>", or just <what>
  // when `where` is empty.
  Status(Code code, std::string_view where, std::string_view what);

  // The same for each code.
  static Status NotFound(std::string_view where, std::string_view what);
  static Status Corruption(std::string_view where, std::string_view what);
  static Status InvalidArgument(std::string_view where, std::string_view what);
  static Status IoError(std::string_view where, std::string_view what);

  // An invalid-argument status for line `line` (from 1) of a text file:
  // "<path>:<line>: <what>".
  static Status AtLine(std::string_view path, int line, std::string_view what);

  bool ok() const { return code_ == kOk; }
  Code code() const { return code_; }
  // Empty for an ok status.
  const std::string& message() const { return message_; }

  // "ok", or the message.
  std::string ToString() const;

 private:
  Code code_ = kOk;
  std::string message_;
};

}  // namespace grulo

#endif  // GRULO_BASE_STATUS_H_
