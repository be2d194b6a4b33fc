// Unicode arguments, file names and console output for the tools; the Windows calls they need.
#include "unicode_io.h"

#include <cstdarg>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
// windows.h first: shellapi.h builds on it.
#include <shellapi.h>
#endif

namespace fs = std::filesystem;

#if defined(_WIN32)
// UTF-16 to UTF-8 and back; a sequence that is not valid becomes U+FFFD.
static std::string Narrow(const wchar_t* text, int length) {
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, &narrow[0], bytes, nullptr, nullptr);
  return narrow;
}

static std::wstring Widen(const std::string& text) {
  int length = static_cast<int>(text.size());
  int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  std::wstring wide(static_cast<size_t>(units > 0 ? units : 0), L'\0');
  if (units > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), length, &wide[0], units);
  return wide;
}

// The console behind stream, or null when the stream goes to a file or a pipe.
static HANDLE ConsoleOf(FILE* stream) {
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}
#endif

std::vector<std::string> ProgramArguments(int argc, char** argv) {
#if defined(_WIN32)
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide != nullptr) {
    std::vector<std::string> arguments;
    for (int i = 0; i < count; i++) arguments.push_back(Narrow(wide[i], static_cast<int>(wcslen(wide[i]))));
    LocalFree(wide);
    return arguments;
  }
#endif
  return std::vector<std::string>(argv, argv + argc);
}

fs::path PathFromText(const std::string& name) { return fs::u8path(name); }

std::string TextFromPath(const fs::path& path) { return path.u8string(); }

FILE* OpenFile(const std::string& name, const char* mode) {
#if defined(_WIN32)
  return _wfopen(Widen(name).c_str(), Widen(mode).c_str());
#else
  return fopen(name.c_str(), mode);
#endif
}

bool WriteText(FILE* stream, const std::string& text) {
#if defined(_WIN32)
  if (HANDLE console = ConsoleOf(stream)) {
    fflush(stream);  // what went out through the stream comes first
    std::wstring wide = Widen(text);
    DWORD written = 0;
    return wide.empty() || WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  }
#endif
  return fwrite(text.data(), 1, text.size(), stream) == text.size() && ferror(stream) == 0;
}

bool PrintText(FILE* stream, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  va_list again;
  va_copy(again, arguments);
  int length = vsnprintf(nullptr, 0, format, arguments);
  va_end(arguments);
  std::string text(static_cast<size_t>(length > 0 ? length : 0), '\0');
  if (length > 0) vsnprintf(&text[0], text.size() + 1, format, again);
  va_end(again);
  return length >= 0 && WriteText(stream, text);
}
