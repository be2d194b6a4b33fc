// POSIX side of the platform: the library's own path through dladdr, files through open/read/rename.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/platform.h"

int PlatformConfigPath(char* buffer, int size) {
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&PlatformConfigPath), &info) == 0 || info.dli_fname == nullptr) return 0;
  const char* path = info.dli_fname;
  int length = static_cast<int>(strlen(path));
  // The extension after the final "." of the file name becomes "cfg"; without one, ".cfg" is added.
  const char* slash = strrchr(path, '/');
  const char* dot = strrchr(path, '.');
  int stem = (dot != nullptr && (slash == nullptr || dot > slash)) ? static_cast<int>(dot - path) : length;
  if (length <= 2) return 0;
  if (stem + 4 > size) return stem + 4;
  memcpy(buffer, path, stem);
  memcpy(buffer + stem, ".cfg", 5);
  return stem + 4;
}

bool PlatformOpenRead(const char* path, PlatformReader* reader) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  // The handle slot, a Win32 HANDLE on Windows, holds the file descriptor here.
  reader->handle = reinterpret_cast<void*>(static_cast<intptr_t>(fd));  // NOLINT(performance-no-int-to-ptr)
  reader->filled = 0;
  reader->position = 0;
  reader->failed = false;
  return true;
}

int PlatformReadBlock(PlatformReader* reader) {
  int fd = static_cast<int>(reinterpret_cast<intptr_t>(reader->handle));
  ssize_t got = read(fd, reader->block, sizeof reader->block);
  return got > 0 ? static_cast<int>(got) : 0;
}

void PlatformClose(PlatformReader* reader) {
  close(static_cast<int>(reinterpret_cast<intptr_t>(reader->handle)));
  reader->handle = reinterpret_cast<void*>(static_cast<intptr_t>(-1));  // NOLINT(performance-no-int-to-ptr)
}

bool PlatformReplaceFile(const char* path, const char* bytes, int count) {
  // The temporary belongs to this process and thread alone: a second writer of the same file,
  // in another host process or thread, never truncates it before it takes the file's place.
  char temporary[4096];
  int length = snprintf(temporary, sizeof temporary, "%s.%ld.%ld.tmp", path, static_cast<long>(getpid()),
                        static_cast<long>(gettid()));
  if (length < 0 || length >= static_cast<int>(sizeof temporary)) return false;
  int fd = open(temporary, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool written = write(fd, bytes, count) == count;
  written = (fsync(fd) == 0) && written;
  close(fd);
  if (!written || rename(temporary, path) != 0) {
    unlink(temporary);
    return false;
  }
  return true;
}
