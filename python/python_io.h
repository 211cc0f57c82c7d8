// Python objects as the inputs and outputs of a grouping: a binary file
// object or a buffer (bytearray, memoryview, mmap...) read as the input, a
// binary file object written as an output. A whole file is grouped without
// the GIL; these take it for each block they hand over, and keep the Python
// exception that stopped them so that the caller raises it afterwards.

#ifndef GRULO_PYTHON_PYTHON_IO_H_
#define GRULO_PYTHON_PYTHON_IO_H_

#include <pybind11/pybind11.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "io/line_reader.h"
#include "io/output_file.h"

namespace grulo::python {

namespace py = pybind11;

// Text that may hold paths, bytes that are not UTF-8 decoded as the file
// system's names are (GIL held).
py::str FileSystemText(std::string_view text);

// Raises OSError(message) (GIL held).
[[noreturn]] void RaiseOSError(std::string_view message);

// The first Python exception met while the GIL was released elsewhere.
class PendingError {
 public:
  // Keeps the current Python error unless one is kept already (GIL held).
  void Catch(py::error_already_set&& error);
  bool failed() const { return error_.has_value(); }
  // Raises the kept error, if any (GIL held).
  void RaiseIfAny();

 private:
  std::optional<py::error_already_set> error_;
};

// The input of a grouping, read in blocks by a LineReader.
class PythonSource final : public ByteSource {
 public:
  // `input`: bytes naming a file, read without the GIL; a binary file object
  // (readinto(b) or read(n)), which needs the GIL for each block; or an
  // object that exposes a contiguous buffer, read from its start without
  // the GIL. Raises OSError for a file that cannot be opened, TypeError for
  // anything else, a text file object included (GIL held).
  PythonSource(py::handle input, PendingError* errors);
  ~PythonSource() override;
  PythonSource(const PythonSource&) = delete;
  PythonSource& operator=(const PythonSource&) = delete;

  // -1 when the input failed or a signal (Ctrl-C) came: see PendingError.
  // Signals are looked for with each block of a file object, and every
  // kSignalBlocks blocks of a file or a buffer, so that a thread that holds
  // the GIL slows the grouping little.
  int64_t Read(char* buffer, size_t n) override;

 private:
  static constexpr int kSignalBlocks = 256;  // 16 MiB

  int64_t ReadFileObject(char* buffer, size_t n);
  int64_t ReadFile(char* buffer, size_t n);
  // Whether a signal's Python handler raised (GIL held).
  bool SignalRaised();

  PendingError* errors_;
  std::unique_ptr<FileSource> file_;  // the file of a path
  py::object readinto_;  // the file object's, or None
  py::object read_;      // the file object's, when it has no readinto
  std::optional<Py_buffer> view_;  // the buffer of a bytes-like input
  size_t offset_ = 0;              // what of the buffer is read
  int64_t blocks_ = 0;
};

// An output that hands each block to `file.write`, taking the GIL. A write
// that raises makes the output fail, the exception kept in `errors`.
std::unique_ptr<OutputFile> PythonOutput(py::object file, PendingError* errors);

// An output gathered into a Python bytes object that grows as blocks come
// (without the GIL, but for the few times it grows), so that the bytes are
// copied once from the output's buffer and never again.
class BytesOutput {
 public:
  BytesOutput();
  ~BytesOutput();
  BytesOutput(const BytesOutput&) = delete;
  BytesOutput& operator=(const BytesOutput&) = delete;

  OutputFile* output() { return output_.get(); }
  // The bytes written, once the output is flushed (GIL held).
  py::bytes Take();

 private:
  Status Append(std::string_view block);

  PyObject* bytes_ = nullptr;  // a bytes object no one else sees yet
  size_t size_ = 0;
  size_t capacity_ = 0;
  std::unique_ptr<OutputFile> output_;
};

// Whether the object is a text file object (io.TextIOBase), which cannot
// take or give bytes.
bool IsTextFile(py::handle file);

}  // namespace grulo::python

#endif  // GRULO_PYTHON_PYTHON_IO_H_
