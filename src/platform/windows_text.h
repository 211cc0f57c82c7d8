// What the Windows implementations of the platform share: paths for the
// wide-character calls and the reasons of failed calls. Included only by the
// *_windows.cc files.

#ifndef GRULO_PLATFORM_WINDOWS_TEXT_H_
#define GRULO_PLATFORM_WINDOWS_TEXT_H_

#include <string>
#include <string_view>

#include "base/status.h"

namespace grulo {

// The path for a wide-character call: the program's paths are the bytes of
// the configuration file, Windows-1252, or UTF-8 when the path is valid UTF-8
// beyond ASCII (a grulo.ini saved in UTF-8): TextToUtf16.
std::wstring WidePath(std::string_view path);

// A text from a wide-character call as Windows-1252 bytes ('?' for a
// character that Windows-1252 lacks).
std::string NarrowText(std::wstring_view text);

// The status of a failed call that left `error` in GetLastError(): a missing
// file or directory is kNotFound, anything else kIoError, with the reason in
// the words the POSIX build uses where there is one ("No such file or
// directory", "Permission denied").
Status WindowsError(unsigned long error);

// True for the errors of a file or a directory that is not there.
bool IsMissingError(unsigned long error);

}  // namespace grulo

#endif  // GRULO_PLATFORM_WINDOWS_TEXT_H_
