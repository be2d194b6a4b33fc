// Windows side of the platform: the library's own path through its module handle, files through
// Win32. Paths are UTF-8 on this side of the platform and UTF-16 towards the system, so any folder
// name works, whatever the system's ANSI code page.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/platform_temporaries.h"

const DWORD kLongestPath = 32768;            // characters of the longest path Windows knows
const wchar_t kLongPathPrefix[] = L"\\\\?\\";  // lifts the MAX_PATH limit of a full path
const int kLongPathPrefixLength = 4;
const int kFileTimeTicksPerSecond = 10000000;  // FILETIME counts 100 ns

// The path in UTF-16 with room for extra characters after it, from malloc (the caller frees it),
// or null. A full path of MAX_PATH characters or more is prefixed so the system takes it whole.
static wchar_t* WidePath(const char* path, int extra) {
  int length = MultiByteToWideChar(CP_UTF8, 0, path, -1, nullptr, 0);  // with the NUL
  if (length <= 0) return nullptr;
  bool full = (path[0] != '\0' && path[1] == ':' && path[2] == '\\') && strchr(path, '/') == nullptr &&
              strstr(path, "\\.") == nullptr;  // prefixed, a path is taken as it is: no "." or ".."
  bool prefixed = full && length > MAX_PATH;
  int start = prefixed ? kLongPathPrefixLength : 0;
  wchar_t* wide = static_cast<wchar_t*>(malloc(sizeof(wchar_t) * (start + length + extra)));
  if (wide == nullptr) return nullptr;
  if (prefixed) memcpy(wide, kLongPathPrefix, sizeof(wchar_t) * kLongPathPrefixLength);
  MultiByteToWideChar(CP_UTF8, 0, path, -1, wide + start, length);
  return wide;
}

// The path of this library from its module handle, from malloc (the caller frees it); the
// buffer grows until the whole path fits. Null when it is unknown.
static wchar_t* ModulePath(DWORD* length) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&PlatformConfigPath), &module)) {
    return nullptr;
  }
  for (DWORD capacity = 2 * MAX_PATH; capacity < 4 * kLongestPath; capacity *= 2) {
    wchar_t* path = static_cast<wchar_t*>(malloc(sizeof(wchar_t) * capacity));
    if (path == nullptr) return nullptr;
    *length = GetModuleFileNameW(module, path, capacity);
    if (*length > 0 && *length < capacity) return path;  // a cut-off path fills the whole buffer
    free(path);
    if (*length == 0) return nullptr;
  }
  return nullptr;
}

int PlatformConfigPath(char* buffer, int size) {
  DWORD length = 0;
  wchar_t* path = ModulePath(&length);
  if (path == nullptr) return 0;
  int bytes = 0;
  if (length > 2) {
    // The last three characters of the library's path become "cfg" (Velmora.dll -> Velmora.cfg).
    memcpy(path + length - 3, L"cfg", sizeof(wchar_t) * 3);
    bytes = WideCharToMultiByte(CP_UTF8, 0, path, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    if (bytes > 0 && bytes <= size) {
      WideCharToMultiByte(CP_UTF8, 0, path, static_cast<int>(length), buffer, bytes, nullptr, nullptr);
      buffer[bytes] = '\0';
    }
  }
  free(path);
  return bytes;
}

bool PlatformOpenRead(const char* path, PlatformReader* reader) {
  wchar_t* wide = WidePath(path, 0);
  if (wide == nullptr) return false;
  // Shared for replacing too: a writer in another process may rename its new file over this one.
  HANDLE file = CreateFileW(wide, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  free(wide);
  if (file == INVALID_HANDLE_VALUE) return false;
  reader->handle = file;
  reader->filled = 0;
  reader->position = 0;
  reader->failed = false;
  return true;
}

int PlatformReadBlock(PlatformReader* reader) {
  DWORD got = 0;
  if (!ReadFile(static_cast<HANDLE>(reader->handle), reader->block, sizeof reader->block, &got, nullptr)) return 0;
  return static_cast<int>(got);
}

void PlatformClose(PlatformReader* reader) {
  CloseHandle(static_cast<HANDLE>(reader->handle));
  reader->handle = INVALID_HANDLE_VALUE;
}

// The writer with this process id is gone: no process has the id (the system answers
// ERROR_INVALID_PARAMETER), or the process it names has ended. A process that may not be asked,
// or one that took over a dead writer's id, keeps its temporaries: the safe side.
static bool ProcessGone(unsigned long id) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  if (process == nullptr) return GetLastError() == ERROR_INVALID_PARAMETER;
  DWORD code = STILL_ACTIVE;
  bool ended = GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
  CloseHandle(process);
  return ended;
}

// Seconds since the file was last written, from the times of a folder entry.
static long long SecondsSince(const FILETIME& written) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER a = {{now.dwLowDateTime, now.dwHighDateTime}};
  ULARGE_INTEGER b = {{written.dwLowDateTime, written.dwHighDateTime}};
  return (static_cast<long long>(a.QuadPart) - static_cast<long long>(b.QuadPart)) / kFileTimeTicksPerSecond;
}

// Removes the temporaries of the file at path that writers cut off in mid-write left behind:
// untouched for a while, and written by a process that is gone.
static void RemoveLeftovers(const char* path) {
  const char* fileName = path;
  for (const char* at = path; *at != '\0'; at++) {
    if (*at == '/' || *at == '\\') fileName = at + 1;
  }
  // The folder part stays; the pattern of the temporaries, then each one's name, follows it.
  wchar_t* wide = WidePath(path, MAX_PATH + 8);
  if (wide == nullptr) return;
  wchar_t* name = wide + wcslen(wide) - MultiByteToWideChar(CP_UTF8, 0, fileName, -1, nullptr, 0) + 1;
  wcscat(name, L".*.tmp");
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileExW(wide, FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      char entry[MAX_PATH * 3 + 1];  // a name of MAX_PATH UTF-16 units in UTF-8
      int bytes = WideCharToMultiByte(CP_UTF8, 0, found.cFileName, -1, entry, sizeof entry, nullptr, nullptr);
      unsigned long writer = bytes > 0 ? TemporaryWriter(entry, fileName) : 0;
      if (writer == 0 || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
          SecondsSince(found.ftLastWriteTime) < kLeftoverAgeSeconds || !ProcessGone(writer)) {
        continue;
      }
      wcscpy(name, found.cFileName);
      DeleteFileW(wide);
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  free(wide);
}

bool PlatformReplaceFile(const char* path, const char* bytes, int count) {
  // The temporary belongs to this process and thread alone: a second writer of the same file,
  // in another host process or thread, never truncates it before it takes the file's place.
  char temporary[MAX_PATH + 32];
  int length = snprintf(temporary, sizeof temporary, PLATFORM_TEMPORARY_FORMAT, path,
                        static_cast<unsigned long>(GetCurrentProcessId()),
                        static_cast<unsigned long>(GetCurrentThreadId()));
  if (length < 0 || length >= static_cast<int>(sizeof temporary)) return false;
  wchar_t* wideTemporary = WidePath(temporary, 0);
  wchar_t* widePath = WidePath(path, 0);
  HANDLE file = INVALID_HANDLE_VALUE;
  if (wideTemporary != nullptr && widePath != nullptr) {
    file = CreateFileW(wideTemporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  bool replaced = false;
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    replaced = WriteFile(file, bytes, static_cast<DWORD>(count), &written, nullptr) &&
               written == static_cast<DWORD>(count);
    replaced = FlushFileBuffers(file) && replaced;
    CloseHandle(file);
    replaced = replaced && MoveFileExW(wideTemporary, widePath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!replaced) DeleteFileW(wideTemporary);
  }
  free(wideTemporary);
  free(widePath);
  if (replaced) RemoveLeftovers(path);
  return replaced;
}
