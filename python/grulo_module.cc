// The Python module `grulo` over the grouping library's C++ interface.
//
//   import grulo
//   tables = grulo.Tables("/srv/grulo/tables")
//   result = tables.group(line)                 # today: the local date
//   for result in tables.group_file("week.rss", today="07122026"): ...

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "grulo/grouper.h"

namespace py = pybind11;

namespace {

// One grouped line, as Python sees it.
struct PyResult {
  grulo::LineFormat format = grulo::LineFormat::kUnreadable;
  int category = 0;
  int number = 0;
  int return_code = 0;
  std::string version;
  std::vector<std::pair<int, bool>> errors;  // (number, blocking), in check order
  bool blocked = false;
  long long line_number = 0;  // from 1 in a file; 0 for a single line
};

PyResult ToPython(const grulo::Outcome& outcome, long long line_number) {
  PyResult r;
  r.format = outcome.format();
  r.category = outcome.result().GroupCategory;
  r.number = outcome.result().GroupNumber;
  r.return_code = outcome.result().GroupReturn;
  r.version = std::string(outcome.version());
  for (int i = 0; i < outcome.error_count(); ++i) {
    r.errors.emplace_back(outcome.error(i).number, outcome.error(i).blocking);
  }
  r.blocked = outcome.blocked();
  r.line_number = line_number;
  return r;
}

std::string Repr(const PyResult& r) {
  static const char* kFormats[] = {"WELL_FORMED", "UNREADABLE", "UNKNOWN_FORMAT", "SIZE_PROBLEM"};
  std::string text = "<grulo.Result ";
  text += kFormats[static_cast<int>(r.format)];
  if (r.format == grulo::LineFormat::kWellFormed) {
    char numbers[48];
    std::snprintf(numbers, sizeof numbers, " %02d%03d%02d", r.category, r.number, r.return_code);
    text += numbers;
    text += " errors=[";
    for (size_t i = 0; i < r.errors.size(); ++i) {
      if (i > 0) text += ", ";
      text += std::to_string(r.errors[i].first);
      if (r.errors[i].second) text += "*";
    }
    text += "]";
  }
  return text + ">";
}

// The date of a `today` argument: None for the local date, a datetime.date
// (or anything with day, month and year), or "DDMMYYYY".
std::optional<grulo::Date> DateOf(const py::object& today) {
  if (today.is_none()) return std::nullopt;
  if (py::hasattr(today, "year") && py::hasattr(today, "month") && py::hasattr(today, "day")) {
    return grulo::Date{today.attr("day").cast<int>(), today.attr("month").cast<int>(),
                       today.attr("year").cast<int>()};
  }
  if (py::isinstance<py::str>(today)) {
    const std::string text = today.cast<std::string>();
    bool digits = text.size() == 8;
    for (char c : text) digits = digits && c >= '0' && c <= '9';
    if (!digits) throw py::value_error("today must be 8 digits DDMMYYYY, got '" + text + "'");
    return grulo::Date{std::stoi(text.substr(0, 2)), std::stoi(text.substr(2, 2)),
                       std::stoi(text.substr(4, 4))};
  }
  throw py::type_error("today must be None, a datetime.date or a 'DDMMYYYY' string");
}

// The bytes of a line: bytes as they are, str encoded in Windows-1252, the
// encoding of summary files.
std::string BytesOf(const py::object& line) {
  if (py::isinstance<py::bytes>(line)) return line.cast<std::string>();
  if (py::isinstance<py::str>(line)) {
    py::object encoded = line.attr("encode")("cp1252");
    return encoded.cast<std::string>();
  }
  throw py::type_error("a line must be str or bytes");
}

void SetToday(grulo::Grouper* grouper, const py::object& today) {
  std::optional<grulo::Date> date = DateOf(today);
  if (date.has_value()) {
    grouper->SetToday(*date);
  } else {
    grouper->UseLocalClock();
  }
}

// Tables that cannot be opened: grulo.TableError, an OSError.
class TableError : public std::exception {
 public:
  explicit TableError(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// The Python Tables: the open tables and a grouper for the calls made
// through them.
class PyTables {
 public:
  explicit PyTables(grulo::Tables tables) : tables_(std::move(tables)) {
    if (!tables_.ok()) throw TableError(tables_.error());
  }

  const grulo::Tables& tables() const { return tables_; }
  std::string version() const { return std::string(tables_.version()); }

  PyResult Group(const py::object& line, const py::object& today) {
    const std::string bytes = BytesOf(line);
    SetToday(&grouper_, today);
    return ToPython(grouper_.Group(tables_, bytes), 0);
  }

 private:
  grulo::Tables tables_;
  grulo::Grouper grouper_{grulo::Date{}};
};

// Groups the lines of a file one at a time, as the batch reads them: a line
// ends at LF, a CR before it is dropped, a last line without LF is kept, a
// NUL byte ends the text of a line. Of an over-long line only the start is
// kept with its length.
class FileIterator {
 public:
  FileIterator(const PyTables& tables, const std::string& path, const py::object& today)
      : tables_(tables.tables()), file_(std::fopen(path.c_str(), "rb"), &std::fclose) {
    if (file_ == nullptr) {
      PyErr_SetFromErrnoWithFilename(PyExc_OSError, path.c_str());
      throw py::error_already_set();
    }
    SetToday(&grouper_, today);
  }

  PyResult Next() {
    std::string& head = head_;
    head.clear();
    uint64_t length = 0;
    int64_t nul_at = -1;
    int previous = -1;
    bool any = false;
    bool ended = false;
    while (!ended) {
      if (next_ == end_ && !Refill()) break;
      any = true;
      const char c = buffer_[next_++];
      if (c == '\n') {
        ended = true;
        break;
      }
      if (c == '\0' && nul_at < 0) nul_at = static_cast<int64_t>(length);
      if (head.size() < kKept) head.push_back(c);
      ++length;
      previous = static_cast<unsigned char>(c);
    }
    if (!any) throw py::stop_iteration();
    if (ended && previous == '\r') {  // CR LF: the CR goes with the line end
      if (length <= kKept) head.pop_back();
      --length;
    }
    if (nul_at >= 0 && static_cast<uint64_t>(nul_at) < length) length = static_cast<uint64_t>(nul_at);
    ++line_number_;
    return ToPython(grouper_.Group(tables_, head, length), line_number_);
  }

 private:
  static constexpr size_t kKept = 512;

  // Reads the next block; false at the end of the file or on an error.
  bool Refill() {
    if (file_ == nullptr) return false;
    next_ = 0;
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_.get());
    if (end_ == 0 && std::ferror(file_.get())) {
      PyErr_SetFromErrno(PyExc_OSError);
      throw py::error_already_set();
    }
    return end_ > 0;
  }

  grulo::Tables tables_;
  std::unique_ptr<FILE, int (*)(FILE*)> file_;
  grulo::Grouper grouper_{grulo::Date{}};
  std::vector<char> buffer_ = std::vector<char>(size_t{1} << 16);
  size_t next_ = 0;
  size_t end_ = 0;
  std::string head_;
  long long line_number_ = 0;
};

}  // namespace

PYBIND11_MODULE(grulo, m) {
  m.doc() = "Checks and groups weekly summaries of follow-up care and rehabilitation stays.";
  m.attr("__version__") = grulo::LibraryVersion();
  py::register_exception<TableError>(m, "TableError", PyExc_OSError);

  py::enum_<grulo::LineFormat>(m, "LineFormat", "What the format recognition says of a line.")
      .value("WELL_FORMED", grulo::LineFormat::kWellFormed)
      .value("UNREADABLE", grulo::LineFormat::kUnreadable)
      .value("UNKNOWN_FORMAT", grulo::LineFormat::kUnknownFormat)
      .value("SIZE_PROBLEM", grulo::LineFormat::kSizeProblem);

  py::class_<PyResult>(m, "Result", "The outcome of grouping one line.")
      .def_readonly("format", &PyResult::format)
      .def_readonly("category", &PyResult::category)
      .def_readonly("number", &PyResult::number)
      .def_readonly("return_code", &PyResult::return_code)
      .def_readonly("version", &PyResult::version)
      .def_readonly("errors", &PyResult::errors,
                    "(number, blocking) of each error, in check order")
      .def_readonly("blocked", &PyResult::blocked, "True when an error blocks the grouping")
      .def_readonly("line_number", &PyResult::line_number, "from 1 in a file; 0 for one line")
      .def("__repr__", &Repr);

  py::class_<FileIterator>(m, "FileResults")
      .def("__iter__", [](FileIterator& it) -> FileIterator& { return it; })
      .def("__next__", &FileIterator::Next);

  py::class_<PyTables>(m, "Tables", "The three tables, opened once.")
      .def(py::init([](const std::string& directory) {
             return PyTables(grulo::Tables::Open(directory));
           }),
           py::arg("directory"),
           "Opens arbressr.tab, ccamcssr.tab and diag10sr.tab of the directory; raises "
           "grulo.TableError naming each table's problem.")
      .def_static(
          "from_files",
          [](const std::string& tree, const std::string& acts, const std::string& diags) {
            return PyTables(grulo::Tables::OpenFiles(tree, acts, diags));
          },
          py::arg("tree"), py::arg("acts"), py::arg("diags"))
      .def_property_readonly("version", &PyTables::version)
      .def("group", &PyTables::Group, py::arg("line"), py::arg("today") = py::none(),
           "Groups one summary line (str in Windows-1252, or bytes), without its line end. "
           "today: None for the computer's local date, a datetime.date or 'DDMMYYYY'.")
      .def(
          "group_file",
          [](const PyTables& tables, const std::string& path, const py::object& today) {
            return FileIterator(tables, path, today);
          },
          py::arg("path"), py::arg("today") = py::none(), py::keep_alive<0, 1>(),
          "An iterator of the results of every line of the file, in input order.");
}
