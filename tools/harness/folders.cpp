// The play folder of a harness run (library copy, train folder, host working directory) and
// the small file operations around it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#if defined(_WIN32)
#include <direct.h>
#include <windows.h>
#else
#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "harness/harness.h"

#if defined(_WIN32)
const char kSeparator = '\\';
#else
const char kSeparator = '/';
#endif

std::string JoinPath(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  char last = directory[directory.size() - 1];
  if (last == '/' || last == '\\') return directory + name;
  return directory + kSeparator + name;
}

std::string DirectoryOf(const std::string& path) {
  size_t cut = path.find_last_of("/\\");
  if (cut == std::string::npos) return ".";
  if (cut == 0) return path.substr(0, 1);
  return path.substr(0, cut);
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  FILE* file = fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return fclose(file) == 0 && written;
}

bool ReadWholeFile(const std::string& path, std::string* bytes) {
  bytes->clear();
  FILE* file = fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char block[65536];
  size_t got;
  while ((got = fread(block, 1, sizeof block, file)) > 0) bytes->append(block, got);
  bool failed = ferror(file) != 0;
  fclose(file);
  return !failed;
}

bool FileExists(const std::string& path) {
  FILE* file = fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  fclose(file);
  return true;
}

bool RemoveFile(const std::string& path) { return remove(path.c_str()) == 0; }

static bool MakeDirectory(const std::string& path) {
#if defined(_WIN32)
  return CreateDirectoryA(path.c_str(), nullptr) != 0;
#else
  return mkdir(path.c_str(), 0755) == 0;
#endif
}

std::string ExecutablePath() {
#if defined(_WIN32)
  char path[MAX_PATH + 1] = {0};
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  return std::string(path, length);
#else
  char path[PATH_MAX + 1];
  ssize_t length = readlink("/proc/self/exe", path, PATH_MAX);
  if (length <= 0) return std::string();
  return std::string(path, static_cast<size_t>(length));
#endif
}

// A new, empty folder under the system's temporary folder.
static bool MakeTemporaryFolder(std::string* root) {
#if defined(_WIN32)
  char base[MAX_PATH + 1] = {0};
  DWORD length = GetTempPathA(MAX_PATH, base);
  if (length == 0 || length >= MAX_PATH) return false;
  for (int attempt = 0; attempt < 1000; attempt++) {
    char name[64];
    snprintf(name, sizeof name, "velmora-%lu-%lu-%d", static_cast<unsigned long>(GetCurrentProcessId()),
             static_cast<unsigned long>(GetTickCount()), attempt);
    std::string candidate = JoinPath(base, name);
    if (MakeDirectory(candidate)) {
      *root = candidate;
      return true;
    }
  }
  return false;
#else
  const char* base = getenv("TMPDIR");
  std::string pattern = JoinPath(base != nullptr && base[0] != '\0' ? base : "/tmp", "velmora-XXXXXX");
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) return false;
  *root = buffer.data();
  return true;
#endif
}

bool CreatePlayFolder(PlayFolder* folder, std::string* error) {
  *folder = PlayFolder();
  std::string root;
  if (!MakeTemporaryFolder(&root)) {
    *error = "cannot create a temporary folder";
    return false;
  }
  folder->root = root;
  folder->pluginDir = JoinPath(root, "Plugin");
  folder->counterDir = JoinPath(JoinPath(root, "Train"), "Morvan");
  folder->workDir = JoinPath(JoinPath(JoinPath(root, "Host"), "Run"), "Cab");
  const std::string made[] = {folder->pluginDir, JoinPath(root, "Train"), folder->counterDir,
                              JoinPath(root, "Host"), JoinPath(JoinPath(root, "Host"), "Run"),
                              folder->workDir};
  for (const std::string& directory : made) {
    if (!MakeDirectory(directory)) {
      *error = "cannot create the folder " + directory;
      return false;
    }
  }
  return true;
}

bool InstallLibrary(PlayFolder* folder, const std::string& source, const std::string& baseName,
                    std::string* error) {
  std::string bytes;
  if (!ReadWholeFile(source, &bytes) || bytes.empty()) {
    *error = "cannot read the library " + source;
    return false;
  }
  std::string target = JoinPath(folder->pluginDir, baseName + kLibraryExtension);
  if (!WriteWholeFile(target, bytes)) {
    *error = "cannot copy the library to " + target;
    return false;
  }
  folder->libraryPath = target;
  folder->configPath = JoinPath(folder->pluginDir, baseName + ".cfg");
  return true;
}

bool EnterPlayFolder(PlayFolder* folder, std::string* error) {
#if defined(_WIN32)
  char current[MAX_PATH + 1] = {0};
  DWORD length = GetCurrentDirectoryA(MAX_PATH, current);
  folder->previousDir = (length > 0 && length < MAX_PATH) ? std::string(current, length) : std::string();
  if (!SetCurrentDirectoryA(folder->workDir.c_str())) {
#else
  char current[PATH_MAX + 1];
  folder->previousDir = getcwd(current, sizeof current) != nullptr ? std::string(current) : std::string();
  if (chdir(folder->workDir.c_str()) != 0) {
#endif
    *error = "cannot change to the folder " + folder->workDir;
    return false;
  }
  return true;
}

void LeavePlayFolder(PlayFolder* folder) {
  if (folder->previousDir.empty()) return;
#if defined(_WIN32)
  SetCurrentDirectoryA(folder->previousDir.c_str());
#else
  if (chdir(folder->previousDir.c_str()) != 0) {
    // Nothing sensible is left to do: the folder we came from is gone.
  }
#endif
  folder->previousDir.clear();
}

// Deletes a folder with everything in it.
static void RemoveTree(const std::string& path) {
#if defined(_WIN32)
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(JoinPath(path, "*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = JoinPath(path, name);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryA(path.c_str());
#else
  DIR* directory = opendir(path.c_str());
  if (directory != nullptr) {
    while (dirent* entry = readdir(directory)) {
      std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      std::string child = JoinPath(path, name);
      struct stat info;
      if (lstat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        RemoveTree(child);
      } else {
        unlink(child.c_str());
      }
    }
    closedir(directory);
  }
  rmdir(path.c_str());
#endif
}

void RemovePlayFolder(PlayFolder* folder) {
  LeavePlayFolder(folder);
  // Only ever a folder this harness created: it carries the harness's own name.
  if (folder->root.find("velmora-") != std::string::npos) RemoveTree(folder->root);
  *folder = PlayFolder();
}

std::string CounterFilePath(const PlayFolder& folder, int n) {
  return JoinPath(folder.counterDir, "Z" + std::to_string(n) + ".dat");
}
