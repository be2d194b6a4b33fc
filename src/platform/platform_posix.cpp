// POSIX side of the platform: the library's own path through dladdr, files through open/read/rename.
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/platform.h"
#include "platform/platform_temporaries.h"

const int kLongestPath = 4096;  // bytes of a path to a counter file's temporary, with its NUL

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

// No process has this id any more (or none can have it here), so the writer that had it is gone.
// A process of another user answers as well (EPERM), and so does one that took over a dead
// writer's id: its temporaries stay until the id is free again, which errs on the safe side.
static bool ProcessGone(unsigned long process) {
  if (process > static_cast<unsigned long>(INT_MAX)) return true;
  return kill(static_cast<pid_t>(process), 0) == -1 && errno == ESRCH;
}

// Removes the temporaries of the file at path that writers cut off in mid-write left behind:
// untouched for a while, and written by a process that is gone.
static void RemoveLeftovers(const char* path) {
  const char* fileName = path;
  for (const char* at = path; *at != '\0'; at++) {
    if (*at == '/') fileName = at + 1;
  }
  // The path fitted in a buffer of this size with its temporary's longer name.
  char folder[kLongestPath];
  const size_t length = static_cast<size_t>(fileName - path);
  memcpy(folder, path, length);
  memcpy(folder + length, ".", 2);  // "Train/Morvan/.", or "." for a name alone
  DIR* directory = opendir(folder);
  if (directory == nullptr) return;
  const time_t now = time(nullptr);
  for (const dirent* entry = readdir(directory); entry != nullptr; entry = readdir(directory)) {
    unsigned long writer = TemporaryWriter(entry->d_name, fileName);
    if (writer == 0) continue;
    struct stat info;
    if (fstatat(dirfd(directory), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode) ||
        now - info.st_mtime < kLeftoverAgeSeconds || !ProcessGone(writer)) {
      continue;
    }
    unlinkat(dirfd(directory), entry->d_name, 0);
  }
  closedir(directory);
}

bool PlatformReplaceFile(const char* path, const char* bytes, int count) {
  // The temporary belongs to this process and thread alone: a second writer of the same file,
  // in another host process or thread, never truncates it before it takes the file's place.
  char temporary[kLongestPath];
  int length = snprintf(temporary, sizeof temporary, PLATFORM_TEMPORARY_FORMAT, path,
                        static_cast<unsigned long>(getpid()), static_cast<unsigned long>(gettid()));
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
  RemoveLeftovers(path);
  return true;
}
