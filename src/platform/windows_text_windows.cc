#include <windows.h>

#include "platform/windows_text.h"
#include "text/cp1252_utf16.h"

namespace grulo {

std::wstring WidePath(std::string_view path) {
  std::u16string wide = TextToUtf16(path);
  return std::wstring(wide.begin(), wide.end());
}

std::string NarrowText(std::wstring_view text) {
  return Utf16ToCp1252(std::u16string(text.begin(), text.end()));
}

bool IsMissingError(unsigned long error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
         error == ERROR_BAD_NETPATH || error == ERROR_BAD_NET_NAME ||
         error == ERROR_INVALID_DRIVE || error == ERROR_DIRECTORY;
}

Status WindowsError(unsigned long error) {
  if (IsMissingError(error)) return Status::NotFound("", "No such file or directory");
  switch (error) {
    case ERROR_ACCESS_DENIED:
      return Status::IoError("", "Permission denied");
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return Status::IoError("", "the file is in use by another program");
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return Status::IoError("", "File exists");
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return Status::IoError("", "No space left on device");
    case ERROR_INVALID_NAME:
      return Status::IoError("", "Invalid argument");
    case ERROR_FILENAME_EXCED_RANGE:
      return Status::IoError("", "File name too long");
    default:
      return Status::IoError("", "Windows error " + std::to_string(error));
  }
}

}  // namespace grulo
