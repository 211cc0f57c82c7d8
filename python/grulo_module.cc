// grulo._grulo, the native half of the Python package `grulo` (python/grulo/
// holds the other half, which checks the arguments and documents them):
//   - TableSet: three tables opened by the library's rule (refused when they
//     cannot be used together), to group lines one at a time or a file lazily;
//   - run(): a whole input grouped by the batch engine, exactly as the batch
//     groups it (table problems and all), without the GIL, into .grp and
//     .err bytes or file objects, the counters and, if asked, the columns of
//     a data frame;
//   - Result, LineFormat, the error catalogue and the version.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "batch/batch_engine.h"
#include "batch/table_report.h"
#include "calendar/clock.h"
#include "checks/error_catalogue.h"
#include "frame_columns.h"
#include "grouper/grouping_context.h"
#include "grouper/line_outcome.h"
#include "grouper/table_set.h"
#include "grouper/table_source.h"
#include "grulo/grouper.h"
#include "io/line_reader.h"
#include "line_result.h"
#include "python_io.h"
#include "text/cp1252_text.h"

namespace grulo::python {
namespace {

// The Python objects made when the module is imported and never changed
// after: the LineFormat members by value.
struct ModuleObjects {
  py::object line_formats[4];
};

// Filled once, under the GIL, by the module's initialisation, and only read
// after; kept for the life of the process, as the interpreter keeps the
// module.
ModuleObjects& Objects() {
  static ModuleObjects* objects = new ModuleObjects();
  return *objects;
}

py::str Decoded(std::string_view windows_1252) { return py::str(Cp1252ToUtf8(windows_1252)); }

// ---- today ----

// The date of a `today` argument: nullopt for None (the local clock), a
// datetime.date (or anything with year, month and day) or "DDMMYYYY".
std::optional<CivilDate> TodayOf(py::handle today) {
  if (today.is_none()) return std::nullopt;
  int day, month, year;
  if (py::isinstance<py::str>(today)) {
    const std::string text = today.cast<std::string>();
    bool digits = text.size() == 8;
    for (char c : text) digits = digits && c >= '0' && c <= '9';
    if (!digits) {
      throw py::value_error("today must be 8 digits DDMMYYYY, not " +
                            py::repr(today).cast<std::string>());
    }
    day = std::stoi(text.substr(0, 2));
    month = std::stoi(text.substr(2, 2));
    year = std::stoi(text.substr(4, 4));
  } else if (py::hasattr(today, "year") && py::hasattr(today, "month") &&
             py::hasattr(today, "day")) {
    day = today.attr("day").cast<int>();
    month = today.attr("month").cast<int>();
    year = today.attr("year").cast<int>();
  } else {
    throw py::type_error(std::string("today must be a datetime.date, a 'DDMMYYYY' str or None "
                                     "(the local clock), not ") +
                         Py_TYPE(today.ptr())->tp_name);
  }
  const std::chrono::year_month_day date{std::chrono::year(year),
                                         std::chrono::month(static_cast<unsigned>(month)),
                                         std::chrono::day(static_cast<unsigned>(day))};
  if (year < 1 || year > 9999 || month < 1 || day < 1 || !date.ok()) {
    throw py::value_error("today is not a date of the calendar: day " + std::to_string(day) +
                          ", month " + std::to_string(month) + ", year " + std::to_string(year));
  }
  return CivilDate{year, month, day};
}

ClockFactory ClocksOf(const std::optional<CivilDate>& today) {
  if (today.has_value()) return FixedClocks(*today);
  return [] { return std::unique_ptr<Clock>(new SystemClock()); };
}

// Today's text for one line at a time: a fixed date or the local clock.
class LineToday {
 public:
  void Set(py::handle today) {
    const std::optional<CivilDate> date = TodayOf(today);
    if (date.has_value()) {
      clock_.reset();
      FormatToday(*date, &fixed_);
    } else if (clock_ == nullptr) {
      clock_ = std::make_unique<SystemClock>();
    }
  }
  const DateText& Read() { return clock_ != nullptr ? from_clock_.Read(*clock_) : fixed_; }

 private:
  DateText fixed_{};
  std::unique_ptr<SystemClock> clock_;
  TodayText from_clock_;
};

// ---- tables ----

// The Python error of tables that cannot be opened: grulo.TableError(message)
// (defined by the package, imported by now) with filename the first table
// that failed, errno the system's number when the system refused that file,
// None when the file was read and refused.
[[noreturn]] void RaiseTableError(const Status& status, const TablePaths& paths) {
  const std::string& message = status.message();
  const std::string first = message.substr(0, message.find('\n'));
  py::object filename = py::none();
  py::object error_number = py::none();
  py::object reason = py::none();
  for (const std::string* path : {&paths.tree, &paths.acts, &paths.diags}) {
    if (!first.starts_with(*path + ": ")) continue;
    filename = FileSystemText(*path);
    const std::string why = first.substr(path->size() + 2);
    reason = FileSystemText(why);
    if (status.code() == Status::kNotFound) {
      error_number = py::int_(ENOENT);
    } else if (status.code() == Status::kIoError) {
      for (int e = 1; e < 134; ++e) {  // the system's message names its number
        const std::string_view text = std::strerror(e);
        if (std::string_view(why).ends_with(text)) {
          error_number = py::int_(e);
          break;
        }
      }
    }
    break;
  }
  py::object table_error = py::module_::import("grulo").attr("TableError");
  py::object error = table_error(FileSystemText(message), error_number, reason, filename);
  PyErr_SetObject(table_error.ptr(), error.ptr());
  throw py::error_already_set();
}

// The bytes of a line: a str in Windows-1252, the encoding of summary files,
// or any object with a contiguous buffer.
std::string LineBytes(py::handle line) {
  if (py::isinstance<py::str>(line)) return line.attr("encode")("cp1252").cast<std::string>();
  if (!PyObject_CheckBuffer(line.ptr())) {
    throw py::type_error(std::string("a line is str or bytes-like, not ") +
                         Py_TYPE(line.ptr())->tp_name);
  }
  Py_buffer view;
  if (PyObject_GetBuffer(line.ptr(), &view, PyBUF_SIMPLE) != 0) throw py::error_already_set();
  std::string bytes(static_cast<const char*>(view.buf), static_cast<size_t>(view.len));
  PyBuffer_Release(&view);
  return bytes;
}

// One line's outcome with open tables, by the library's rule.
class LineGrouper {
 public:
  LineGrouper() = default;
  LineGrouper(const LineGrouper&) = delete;
  LineGrouper& operator=(const LineGrouper&) = delete;

  // `text` the line's first characters (at least 512 or all of them) of a
  // line of `length` characters.
  LineResult Group(const TableSet& tables, std::string_view text, uint64_t length,
                   const DateText& today, int64_t line_number) {
    // A NUL byte ends the line, as it ends a line of the batch's input.
    const size_t nul = text.find('\0');
    if (nul != std::string_view::npos) {
      text = text.substr(0, nul);
      length = nul;
    }
    context_.GroupLine(tables, text, length, today, &outcome_);
    return maker_.Make(line_number, text, length, outcome_);
  }

 private:
  GroupingContext context_;
  LineOutcome outcome_;
  LineResultMaker maker_;
};

class FileLines;

// grulo._grulo.TableSet: three tables, open and immutable, with a grouper of
// lines for the calls made through them (under the GIL, one at a time).
class NativeTables {
 public:
  NativeTables(const std::string& tree, const std::string& acts, const std::string& diags)
      : paths_{tree, acts, diags}, grouper_(std::make_unique<LineGrouper>()) {
    const Status status = OpenTableSet(paths_, &set_);
    if (!status.ok()) RaiseTableError(status, paths_);
  }

  py::str version() const { return Decoded(VersionView(set_->version())); }
  py::tuple paths() const {
    return py::make_tuple(FileSystemText(paths_.tree), FileSystemText(paths_.acts),
                          FileSystemText(paths_.diags));
  }

  LineResult Group(py::handle line, py::handle today, int64_t line_number) {
    const std::string bytes = LineBytes(line);
    today_.Set(today);
    return grouper_->Group(*set_, bytes, bytes.size(), today_.Read(), line_number);
  }

  const std::shared_ptr<const TableSet>& set() const { return set_; }

 private:
  TablePaths paths_;
  std::shared_ptr<const TableSet> set_;
  std::unique_ptr<LineGrouper> grouper_;
  LineToday today_;
};

// The lines of an input, grouped one by one as they are asked for, read as
// the batch reads them.
class FileLines {
 public:
  FileLines(const NativeTables& tables, py::object input, py::handle today, bool close_at_end)
      : set_(tables.set()),
        input_(std::move(input)),
        close_at_end_(close_at_end),
        source_(std::make_unique<PythonSource>(input_, &errors_)),
        reader_(std::make_unique<LineReader>(source_.get())),
        grouper_(std::make_unique<LineGrouper>()) {
    today_.Set(today);
  }
  ~FileLines() { Close(); }
  FileLines(const FileLines&) = delete;
  FileLines& operator=(const FileLines&) = delete;

  LineResult Next() {
    if (reader_ == nullptr) throw py::stop_iteration();
    if (!started_) {
      started_ = true;
      if (!reader_->Start()) Fail();
    }
    InputLine line;
    const LineReader::Status status = reader_->Next(&line);
    if (status == LineReader::kError) Fail();
    if (status != LineReader::kLine) {
      Close();
      throw py::stop_iteration();
    }
    return grouper_->Group(*set_, line.text, line.length, today_.Read(), ++line_number_);
  }

 private:
  [[noreturn]] void Fail() {
    Close();
    errors_.RaiseIfAny();
    throw py::value_error("the input cannot be read");
  }
  // Closes the file opened for the iteration; a failure to close it is
  // reported as unraisable (the iteration is over, or the iterator gone).
  void Close() {
    reader_.reset();
    source_.reset();
    if (!close_at_end_) return;
    close_at_end_ = false;
    try {
      input_.attr("close")();
    } catch (py::error_already_set& error) {
      error.discard_as_unraisable("closing the input of Tables.group_file");
    }
  }

  std::shared_ptr<const TableSet> set_;
  py::object input_;
  bool close_at_end_;
  PendingError errors_;
  std::unique_ptr<PythonSource> source_;
  std::unique_ptr<LineReader> reader_;
  std::unique_ptr<LineGrouper> grouper_;
  LineToday today_;
  bool started_ = false;
  int64_t line_number_ = 0;
};

// ---- Result ----

py::tuple IntTuple(const std::vector<int16_t>& numbers, bool blocking, bool all) {
  std::vector<py::object> items;
  for (int16_t e : numbers) {
    const bool blocks = !IsNonBlocking(e);
    if (all) {
      items.push_back(py::make_tuple(e, blocks));
    } else if (blocks == blocking) {
      items.push_back(py::int_(e));
    }
  }
  py::tuple t(items.size());
  for (size_t i = 0; i < items.size(); ++i) t[i] = items[i];
  return t;
}

std::string Repr(const LineResult& r) {
  static const char* kFormats[] = {"WELL_FORMED", "UNREADABLE", "UNKNOWN_FORMAT",
                                   "SIZE_PROBLEM"};
  std::string text = "grulo.Result(line_number=" + std::to_string(r.line_number) +
                     ", format=grulo.LineFormat." + kFormats[r.format & 3];
  if (r.format == static_cast<int>(LineFormat::kWellFormed)) {
    text += ", category=" + std::to_string(r.category) + ", number=" +
            std::to_string(r.number) + ", return_code=" + std::to_string(r.return_code) +
            ", version=" + py::repr(Decoded(r.version)).cast<std::string>() + ", blocking=" +
            py::repr(IntTuple(r.errors, true, false)).cast<std::string>() + ", non_blocking=" +
            py::repr(IntTuple(r.errors, false, false)).cast<std::string>();
  }
  return text + ")";
}

py::object Bytes(const std::string& s) { return py::bytes(s); }

py::tuple StateOf(const LineResult& r) {
  py::tuple errors(r.errors.size());
  for (size_t i = 0; i < r.errors.size(); ++i) errors[i] = py::int_(r.errors[i]);
  return py::make_tuple(r.line_number, r.format, r.category, r.number, r.return_code, r.blocked,
                        py::bytes(r.version), errors, r.has_grp_line, py::bytes(r.grp_line),
                        py::bytes(r.err_entry));
}

LineResult FromState(const py::tuple& t) {
  if (t.size() != 11) throw py::value_error("not the state of a grulo.Result");
  LineResult r;
  r.line_number = t[0].cast<int64_t>();
  r.format = t[1].cast<int>();
  if (r.format < 0 || r.format > 3) throw py::value_error("not the state of a grulo.Result");
  r.category = t[2].cast<int>();
  r.number = t[3].cast<int>();
  r.return_code = t[4].cast<int>();
  r.blocked = t[5].cast<bool>();
  r.version = t[6].cast<std::string>();
  for (py::handle e : t[7].cast<py::tuple>()) r.errors.push_back(e.cast<int16_t>());
  r.has_grp_line = t[8].cast<bool>();
  r.grp_line = t[9].cast<std::string>();
  r.err_entry = t[10].cast<std::string>();
  return r;
}

// ---- whole inputs ----

template <typename T>
py::array_t<T> Array(const std::vector<T>& values) {
  py::array_t<T> array(static_cast<py::ssize_t>(values.size()));
  if (!values.empty()) std::memcpy(array.mutable_data(), values.data(), values.size() * sizeof(T));
  return array;
}

// The numbers of each line as tuples, one tuple object per distinct list.
py::list Tuples(const std::vector<int16_t>& numbers, const std::vector<int64_t>& ends) {
  py::list out(ends.size());
  std::unordered_map<std::string, py::tuple> made;
  const py::tuple empty;
  int64_t begin = 0;
  for (size_t i = 0; i < ends.size(); ++i) {
    const int64_t end = ends[i];
    if (end == begin) {
      out[i] = empty;
      continue;
    }
    std::string key(reinterpret_cast<const char*>(numbers.data() + begin),
                    static_cast<size_t>(end - begin) * sizeof(int16_t));
    auto [it, added] = made.try_emplace(std::move(key));
    if (added) {
      py::tuple t(static_cast<size_t>(end - begin));
      for (int64_t k = begin; k < end; ++k) {
        t[static_cast<size_t>(k - begin)] = py::int_(numbers[static_cast<size_t>(k)]);
      }
      it->second = std::move(t);
    }
    out[i] = it->second;
    begin = end;
  }
  return out;
}

py::dict FrameOf(const FrameColumns& c) {
  py::dict d;
  d["line_number"] = Array(c.line_number);
  d["format"] = Array(c.format);
  d["category"] = Array(c.category);
  d["number"] = Array(c.number);
  d["return_code"] = Array(c.return_code);
  d["version"] = Array(c.version);
  py::list versions;
  for (const std::string& v : c.versions) versions.append(Decoded(v));
  d["versions"] = versions;
  d["blocking"] = Tuples(c.blocking, c.blocking_end);
  d["non_blocking"] = Tuples(c.non_blocking, c.non_blocking_end);
  return d;
}

// Groups `input` (bytes naming a file, a binary file object or a buffer)
// with the tables at the three paths by the batch's rules, each output into
// bytes (None), a binary file object, or nowhere (False). Returns (grp
// bytes or None, err bytes or None, the seven counters, the table warnings,
// the frame's columns or None).
py::tuple RunBatch(py::handle input, const std::string& tree, const std::string& acts,
                   const std::string& diags, py::handle today, int threads, py::object grp_file,
                   py::object err_file, bool frame) {
  if (threads < 1) throw py::value_error("threads must be 1 or more");
  PendingError errors;
  BatchEngine engine(TableSource::AtPaths(tree, acts, diags), ClocksOf(TodayOf(today)));
  PythonSource source(input, &errors);
  // Each output into a file object, or into bytes.
  BytesOutput grp_bytes, err_bytes;
  std::unique_ptr<OutputFile> grp_out, err_out;
  OutputFile* grp = grp_bytes.output();
  OutputFile* err = err_bytes.output();
  auto choose = [&errors](py::object file, std::unique_ptr<OutputFile>* out) {
    if (file.is(py::bool_(false))) {
      *out = OutputFile::ToFunction([](std::string_view) { return Status(); });
    } else {
      *out = PythonOutput(std::move(file), &errors);
    }
    return out->get();
  };
  if (!grp_file.is_none()) grp = choose(grp_file, &grp_out);
  if (!err_file.is_none()) err = choose(err_file, &err_out);
  FrameColumns columns;
  BatchOptions options;
  options.threads = threads;
  if (frame) options.observer = &columns;
  Status status;
  {
    py::gil_scoped_release released;
    status = engine.Run(&source, err, grp, options);
  }
  errors.RaiseIfAny();
  if (!status.ok()) RaiseOSError(status.message());

  const RunCounters& n = engine.counters();
  py::list warnings;
  // Three paths and no RepTab: a directory ending with '/' asks for no hint.
  for (const std::string& w : TableWarnings("/", "tables argument", *engine.session())) {
    warnings.append(FileSystemText(w));
  }
  return py::make_tuple(
      grp_file.is_none() ? py::object(grp_bytes.Take()) : py::none(),
      err_file.is_none() ? py::object(err_bytes.Take()) : py::none(),
      py::make_tuple(n.NbLus, n.NbErrBloq, n.NbErrNonBloq, n.NbErrForm, n.NbGrp, n.NbErrTab,
                     n.NbErrArbre),
      warnings, frame ? py::object(FrameOf(columns)) : py::none());
}

py::list Catalogue() {
  py::list entries;
  for (const ErrorInfo& info : kErrorCatalogue) {
    entries.append(py::make_tuple(ToNumber(info.number), info.blocking, info.produced,
                                  py::str(std::string(info.field.name)),
                                  py::str(std::string(info.description)),
                                  py::str(std::string(info.note))));
  }
  return entries;
}

}  // namespace
}  // namespace grulo::python

namespace py = pybind11;
using grulo::python::FileLines;
using grulo::python::LineResult;
using grulo::python::NativeTables;

PYBIND11_MODULE(_grulo, m) {
  using namespace grulo::python;
  m.doc() = "The native half of the grulo package: import grulo instead.";
  m.attr("version") = grulo::LibraryVersion();
  m.attr("TABLE_NAMES") = py::make_tuple(grulo::kTreeTableName, grulo::kActTableName,
                                         grulo::kDiagTableName);

  ModuleObjects& objects = Objects();
  py::object enum_class = py::module_::import("enum").attr("Enum");
  py::object line_format = enum_class(
      "LineFormat",
      py::make_tuple(py::make_tuple("WELL_FORMED", 0), py::make_tuple("UNREADABLE", 1),
                     py::make_tuple("UNKNOWN_FORMAT", 2), py::make_tuple("SIZE_PROBLEM", 3)),
      py::arg("module") = "grulo");
  line_format.attr("__doc__") =
      "What the format recognition says of a line.\n\n"
      "WELL_FORMED: a summary, grouped. UNREADABLE: fewer than 12 characters.\n"
      "UNKNOWN_FORMAT: columns 10-12 are neither 'M04' nor 'MA4'.\n"
      "SIZE_PROBLEM: the length does not agree with the act count.\n"
      "Only a well-formed line has a result, a version and errors.";
  for (int i = 0; i < 4; ++i) objects.line_formats[i] = line_format(i);
  m.attr("LineFormat") = line_format;

  py::class_<LineResult> result(m, "Result",
                                "The outcome of one line, immutable: compared, hashed and "
                                "pickled field by field.");
  result.attr("__module__") = "grulo";
  result
      .def_property_readonly(
          "line_number", [](const LineResult& r) { return r.line_number; },
          "The line's number in its file, from 1; the number given to Tables.group (0 by "
          "default).")
      .def_property_readonly(
          "format", [](const LineResult& r) { return Objects().line_formats[r.format & 3]; },
          "The format recognition, a grulo.LineFormat.")
      .def_property_readonly(
          "category", [](const LineResult& r) { return r.category; },
          "The first number of the result (%02d in the .grp line); 0 for a malformed line.")
      .def_property_readonly(
          "number", [](const LineResult& r) { return r.number; },
          "The second number of the result (%03d).")
      .def_property_readonly(
          "return_code", [](const LineResult& r) { return r.return_code; },
          "The third number of the result (%02d): the first blocking error of a blocked "
          "summary, 1 to 3 for a failed walk.")
      .def_property_readonly(
          "version", [](const LineResult& r) { return Decoded(r.version); },
          "The tree table's version (at most two characters) that starts the .grp line, "
          "decoded from Windows-1252 as Windows decodes it (the five bytes it leaves "
          "undefined become the control characters of the same value), so any version "
          "reads; the exact bytes start grp_line.")
      .def_property_readonly(
          "errors", [](const LineResult& r) { return IntTuple(r.errors, false, true); },
          "Every error as (number, blocking), in check order (a number may occur twice).")
      .def_property_readonly(
          "blocking", [](const LineResult& r) { return IntTuple(r.errors, true, false); },
          "The blocking error numbers, in check order: the .err entry's first list.")
      .def_property_readonly(
          "non_blocking", [](const LineResult& r) { return IntTuple(r.errors, false, false); },
          "The non-blocking error numbers, in check order: the .err entry's second list.")
      .def_property_readonly(
          "blocked", [](const LineResult& r) { return r.blocked; },
          "True when an error blocks the summary: no .grp line.")
      .def_property_readonly(
          "grp_line",
          [](const LineResult& r) { return r.has_grp_line ? Bytes(r.grp_line) : py::none(); },
          "The .grp line as the batch writes it (Windows-1252, CR LF), or None for a line "
          "that has none (malformed or blocked).")
      .def_property_readonly(
          "err_entry", [](const LineResult& r) { return Bytes(r.err_entry); },
          "The .err entry as the batch writes it (Windows-1252, CR LF, its header "
          "numbered line_number); b'' for a summary without error.")
      .def("__eq__",
           [](const LineResult& a, py::object b) -> py::object {
             if (!py::isinstance<LineResult>(b)) {
               return py::reinterpret_borrow<py::object>(Py_NotImplemented);
             }
             return py::bool_(a == b.cast<const LineResult&>());
           })
      .def("__hash__", [](const LineResult& r) { return static_cast<py::ssize_t>(r.Hash()); })
      .def("__repr__", &Repr)
      .def(py::pickle(&StateOf, &FromState));

  py::class_<FileLines>(m, "FileLines", "The results of an input's lines, in input order.")
      .def("__iter__", [](FileLines& it) -> FileLines& { return it; })
      .def("__next__", &FileLines::Next);

  py::class_<NativeTables>(m, "TableSet", "Three tables opened by the library's rule.")
      .def(py::init<const std::string&, const std::string&, const std::string&>(),
           py::arg("tree"), py::arg("acts"), py::arg("diags"))
      .def_property_readonly("version", &NativeTables::version)
      .def_property_readonly("paths", &NativeTables::paths)
      .def("group", &NativeTables::Group, py::arg("line"), py::arg("today"),
           py::arg("line_number"))
      .def(
          "lines",
          [](const NativeTables& tables, py::object input, py::handle today, bool close_at_end) {
            return std::make_unique<FileLines>(tables, std::move(input), today, close_at_end);
          },
          py::arg("input"), py::arg("today"), py::arg("close_at_end"));

  m.def("run", &RunBatch, py::arg("input"), py::arg("tree"), py::arg("acts"), py::arg("diags"),
        py::arg("today"), py::arg("threads"), py::arg("grp"), py::arg("err"), py::arg("frame"));
  m.def("error_catalogue", &Catalogue);
}
