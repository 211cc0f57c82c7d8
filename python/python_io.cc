#include "python_io.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace grulo::python {

py::str FileSystemText(std::string_view text) {
  return py::reinterpret_steal<py::str>(
      PyUnicode_DecodeFSDefaultAndSize(text.data(), static_cast<py::ssize_t>(text.size())));
}

void RaiseOSError(std::string_view message) {
  PyErr_SetObject(PyExc_OSError, FileSystemText(message).ptr());
  throw py::error_already_set();
}

void PendingError::Catch(py::error_already_set&& error) {
  if (!error_.has_value()) error_.emplace(std::move(error));
}

void PendingError::RaiseIfAny() {
  if (!error_.has_value()) return;
  py::error_already_set error = std::move(*error_);
  error_.reset();
  throw error;
}

bool IsTextFile(py::handle file) {
  return py::isinstance(file, py::module_::import("io").attr("TextIOBase"));
}

PythonSource::PythonSource(py::handle input, PendingError* errors) : errors_(errors) {
  if (py::isinstance<py::bytes>(input)) {
    const Status status = FileSource::Open(input.cast<std::string>(), &file_);
    if (!status.ok()) RaiseOSError(status.message());
    return;
  }
  if (IsTextFile(input)) {
    throw py::type_error("the input is a text file: open it in binary mode ('rb')");
  }
  if (py::hasattr(input, "readinto")) {
    readinto_ = input.attr("readinto");
    return;
  }
  if (py::hasattr(input, "read")) {
    read_ = input.attr("read");
    return;
  }
  if (PyObject_CheckBuffer(input.ptr())) {
    Py_buffer view;
    if (PyObject_GetBuffer(input.ptr(), &view, PyBUF_SIMPLE) != 0) throw py::error_already_set();
    view_ = view;
    return;
  }
  throw py::type_error(std::string("an input is a path, a binary file object or a buffer, not ") +
                       Py_TYPE(input.ptr())->tp_name);
}

PythonSource::~PythonSource() {
  if (view_.has_value()) {
    py::gil_scoped_acquire gil;
    PyBuffer_Release(&*view_);
  }
}

bool PythonSource::SignalRaised() {
  if (PyErr_CheckSignals() == 0) return false;
  errors_->Catch(py::error_already_set());
  return true;
}

int64_t PythonSource::Read(char* buffer, size_t n) {
  if (readinto_ || read_) {
    py::gil_scoped_acquire gil;
    if (errors_->failed() || SignalRaised()) return -1;
    return ReadFileObject(buffer, n);
  }
  if (++blocks_ % kSignalBlocks == 0) {
    py::gil_scoped_acquire gil;
    if (SignalRaised()) return -1;
  }
  if (file_ != nullptr) return ReadFile(buffer, n);
  const size_t size = static_cast<size_t>(view_->len);
  const size_t count = std::min(n, size - offset_);
  std::memcpy(buffer, static_cast<const char*>(view_->buf) + offset_, count);
  offset_ += count;
  return static_cast<int64_t>(count);
}

int64_t PythonSource::ReadFile(char* buffer, size_t n) {
  const int64_t count = file_->Read(buffer, n);
  if (count < 0) {
    py::gil_scoped_acquire gil;
    try {
      RaiseOSError(file_->read_status().message());
    } catch (py::error_already_set& error) {
      errors_->Catch(std::move(error));
    }
  }
  return count;
}

int64_t PythonSource::ReadFileObject(char* buffer, size_t n) {
  try {
    if (readinto_) {
      py::memoryview into = py::memoryview::from_memory(buffer, static_cast<py::ssize_t>(n));
      py::object got = readinto_(into);
      into.attr("release")();  // the engine's buffer: no reference may outlive the call
      // None: a non-blocking file without data, which a grouping cannot wait for.
      if (got.is_none()) {
        throw py::value_error("the input file object gave no data (non-blocking?)");
      }
      const int64_t count = got.cast<int64_t>();
      if (count < 0 || static_cast<size_t>(count) > n) {
        throw py::value_error("the input file object's readinto returned " +
                              std::to_string(count));
      }
      return count;
    }
    py::object got = read_(n);
    if (py::isinstance<py::str>(got)) {
      throw py::type_error("the input file object gives str: open it in binary mode ('rb')");
    }
    if (got.is_none()) throw py::value_error("the input file object gave no data (non-blocking?)");
    const py::buffer bytes = py::reinterpret_borrow<py::buffer>(got);
    const py::buffer_info info = bytes.request();
    const size_t count = static_cast<size_t>(info.size * info.itemsize);
    if (count > n) throw py::value_error("the input file object's read gave more than asked");
    std::memcpy(buffer, info.ptr, count);
    return static_cast<int64_t>(count);
  } catch (py::error_already_set& error) {
    errors_->Catch(std::move(error));
  } catch (const py::builtin_exception& error) {
    error.set_error();
    errors_->Catch(py::error_already_set());
  }
  return -1;
}

std::unique_ptr<OutputFile> PythonOutput(py::object file, PendingError* errors) {
  if (IsTextFile(file)) {
    throw py::type_error("an output is a text file: open it in binary mode ('wb')");
  }
  py::object write = file.attr("write");
  return OutputFile::ToFunction([write = std::move(write), errors](std::string_view block) {
    py::gil_scoped_acquire gil;
    try {
      // A raw file may take part of the block: write the rest again.
      while (!block.empty()) {
        py::object wrote = write(py::memoryview::from_memory(
            block.data(), static_cast<py::ssize_t>(block.size())));
        size_t count = block.size();  // None: buffered files take everything
        if (!wrote.is_none()) count = wrote.cast<size_t>();
        if (count == 0 || count > block.size()) {
          throw py::value_error("an output file object's write returned " +
                                std::to_string(count));
        }
        block.remove_prefix(count);
      }
      return Status();
    } catch (py::error_already_set& error) {
      errors->Catch(std::move(error));
    } catch (const py::builtin_exception& error) {
      error.set_error();
      errors->Catch(py::error_already_set());
    }
    return Status::IoError("an output", "the file object's write failed");
  });
}

BytesOutput::BytesOutput()
    : output_(OutputFile::ToFunction([this](std::string_view block) { return Append(block); })) {}

BytesOutput::~BytesOutput() {
  if (bytes_ == nullptr) return;
  py::gil_scoped_acquire gil;
  Py_DECREF(bytes_);
}

Status BytesOutput::Append(std::string_view block) {
  if (block.size() > capacity_ - size_) {
    // Large blocks of memory grow in place or are moved by the system's
    // page tables: growing costs no copy.
    py::gil_scoped_acquire gil;
    const size_t capacity = std::max({capacity_ * 2, size_ + block.size(), size_t{1} << 20});
    if (bytes_ == nullptr) {
      bytes_ = PyBytes_FromStringAndSize(nullptr, static_cast<py::ssize_t>(capacity));
    } else if (_PyBytes_Resize(&bytes_, static_cast<py::ssize_t>(capacity)) != 0) {
      bytes_ = nullptr;  // freed by the failed resize
    }
    if (bytes_ == nullptr) {
      PyErr_Clear();
      size_ = capacity_ = 0;
      return Status::IoError("an output in memory", "out of memory");
    }
    capacity_ = capacity;
  }
  std::memcpy(PyBytes_AS_STRING(bytes_) + size_, block.data(), block.size());
  size_ += block.size();
  return Status();
}

py::bytes BytesOutput::Take() {
  if (bytes_ == nullptr) return py::bytes();
  if (_PyBytes_Resize(&bytes_, static_cast<py::ssize_t>(size_)) != 0) {
    bytes_ = nullptr;
    throw py::error_already_set();
  }
  PyObject* taken = bytes_;
  bytes_ = nullptr;
  size_ = capacity_ = 0;
  return py::reinterpret_steal<py::bytes>(taken);
}

}  // namespace grulo::python
