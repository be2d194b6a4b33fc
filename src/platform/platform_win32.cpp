// Windows side of the platform: the library's own path through its module handle, files through Win32.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "platform/platform.h"

const int kModulePathLimit = 272;  // characters GetModuleFileNameA may store

int PlatformConfigPath(char* buffer, int size) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCSTR>(&PlatformConfigPath), &module)) {
    return 0;
  }
  char path[kModulePathLimit + 1] = {0};
  DWORD length = GetModuleFileNameA(module, path, kModulePathLimit);
  if (length <= 2 || length >= static_cast<DWORD>(size) || length > kModulePathLimit) return 0;
  // The last three characters of the library's path become "cfg" (Velmora.dll -> Velmora.cfg).
  memcpy(buffer, path, length);
  memcpy(buffer + length - 3, "cfg", 3);
  buffer[length] = '\0';
  return static_cast<int>(length);
}

bool PlatformOpenRead(const char* path, PlatformReader* reader) {
  // Shared for replacing too: a writer in another process may rename its new file over this one.
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
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

bool PlatformReplaceFile(const char* path, const char* bytes, int count) {
  // The temporary belongs to this process and thread alone: a second writer of the same file,
  // in another host process or thread, never truncates it before it takes the file's place.
  char temporary[MAX_PATH + 32];
  int length = snprintf(temporary, sizeof temporary, "%s.%lu.%lu.tmp", path,
                        static_cast<unsigned long>(GetCurrentProcessId()),
                        static_cast<unsigned long>(GetCurrentThreadId()));
  if (length < 0 || length >= static_cast<int>(sizeof temporary)) return false;
  HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes, static_cast<DWORD>(count), &written, nullptr) && written == static_cast<DWORD>(count);
  ok = FlushFileBuffers(file) && ok;
  CloseHandle(file);
  if (!ok || !MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(temporary);
    return false;
  }
  return true;
}
