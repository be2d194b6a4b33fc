// The play folder of a harness run (library copy, train folder, host working directory) and
// the small file operations around it, on std::filesystem with UTF-8 names; only the program's
// own path is asked of the system itself.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#else
#include <limits.h>
#include <unistd.h>
#endif

#include "harness/harness.h"
#include "unicode_io.h"

namespace fs = std::filesystem;

const char kPlayFolderPrefix[] = "velmora-";  // every play folder's name starts with it
const int kTemporaryNameAttempts = 100;       // fresh names tried before giving up
#if defined(_WIN32)
const DWORD kLongestWindowsPath = 65536;      // characters; Windows knows none longer than 32767
#endif

std::string JoinPath(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  return TextFromPath(PathFromText(directory) / PathFromText(name));
}

std::string DirectoryOf(const std::string& path) {
  std::string parent = TextFromPath(PathFromText(path).parent_path());
  return parent.empty() ? "." : parent;
}

std::string FileNameOf(const std::string& path) { return TextFromPath(PathFromText(path).filename()); }

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  FILE* file = OpenFile(path, "wb");
  if (file == nullptr) return false;
  bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return fclose(file) == 0 && written;
}

bool ReadWholeFile(const std::string& path, std::string* bytes) {
  bytes->clear();
  FILE* file = OpenFile(path, "rb");
  if (file == nullptr) return false;
  char block[65536];
  size_t got;
  while ((got = fread(block, 1, sizeof block, file)) > 0) bytes->append(block, got);
  bool failed = ferror(file) != 0;
  fclose(file);
  return !failed;
}

std::string WhyUnreadable(const std::string& path) {
  std::error_code error;
  fs::file_status status = fs::status(PathFromText(path), error);
  if (status.type() == fs::file_type::not_found) return "there is no such file";
  if (status.type() == fs::file_type::directory) return "it is a folder, not a file";
  FILE* file = OpenFile(path, "rb");
  if (file == nullptr) return std::string("it cannot be opened: ") + strerror(errno);
  fclose(file);
  return "it cannot be read to the end";
}

bool FileExists(const std::string& path) {
  std::error_code error;
  return fs::is_regular_file(PathFromText(path), error);
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return fs::is_directory(PathFromText(path), error);
}

bool RemoveFile(const std::string& path) {
  std::error_code error;
  return fs::remove(PathFromText(path), error);
}

std::string ExecutablePath() {
#if defined(_WIN32)
  // The buffer grows until the whole path fits: a cut-off path fills it.
  for (DWORD capacity = 2 * MAX_PATH; capacity <= kLongestWindowsPath; capacity *= 2) {
    std::wstring path(capacity, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, &path[0], capacity);
    if (length == 0) return std::string();
    if (length < capacity) return TextFromPath(fs::path(path.substr(0, length)));
  }
  return std::string();
#else
  char path[PATH_MAX + 1];
  ssize_t length = readlink("/proc/self/exe", path, PATH_MAX);
  if (length <= 0) return std::string();
  return std::string(path, static_cast<size_t>(length));
#endif
}

// A new, empty folder with a name nobody can guess under the system's temporary folder.
static bool MakeTemporaryFolder(std::string* root) {
  std::error_code error;
  fs::path base = fs::temp_directory_path(error);
  if (error) return false;
  std::random_device seed;
  std::mt19937_64 random((static_cast<uint64_t>(seed()) << 32) ^ seed());
  for (int attempt = 0; attempt < kTemporaryNameAttempts; attempt++) {
    char name[32];
    snprintf(name, sizeof name, "%s%012llx", kPlayFolderPrefix,
             static_cast<unsigned long long>(random() & 0xffffffffffffULL));
    fs::path candidate = base / name;
    if (fs::create_directory(candidate, error)) {
      *root = TextFromPath(candidate);
      return true;
    }
  }
  return false;
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
  folder->counterDir = TextFromPath(PathFromText(root) / "Train" / "Morvan");
  folder->workDir = TextFromPath(PathFromText(root) / "Host" / "Run" / "Cab");
  for (const std::string& directory : {folder->pluginDir, folder->counterDir, folder->workDir}) {
    std::error_code made;
    fs::create_directories(PathFromText(directory), made);
    if (made) {
      *error = "cannot create the folder " + directory + ": " + made.message();
      return false;
    }
  }
  return true;
}

std::string ConfigPathOf(const std::string& libraryPath) {
#if defined(_WIN32)
  // The last three characters give way to "cfg": Velmora.dll reads Velmora.cfg.
  if (libraryPath.size() < 3) return libraryPath + "cfg";
  return libraryPath.substr(0, libraryPath.size() - 3) + "cfg";
#else
  // The extension after the file name's last "." becomes "cfg"; without one ".cfg" is added.
  fs::path path = PathFromText(libraryPath);
  path.replace_extension(".cfg");
  return TextFromPath(path);
#endif
}

bool InstallLibraryFile(PlayFolder* folder, const std::string& source, const std::string& fileName,
                        std::string* error) {
  std::string bytes;
  if (!ReadWholeFile(source, &bytes)) {
    *error = "cannot read the library " + source + ": " + WhyUnreadable(source);
    return false;
  }
  if (bytes.empty()) {
    *error = "cannot load the library " + source + ": the file is empty";
    return false;
  }
  std::string target = JoinPath(folder->pluginDir, fileName);
  if (!WriteWholeFile(target, bytes)) {
    *error = "cannot copy the library " + source + " to " + target;
    return false;
  }
  folder->libraryPath = target;
  folder->configPath = ConfigPathOf(target);
  return true;
}

bool InstallLibrary(PlayFolder* folder, const std::string& source, const std::string& baseName,
                    std::string* error) {
  return InstallLibraryFile(folder, source, baseName + kLibraryExtension, error);
}

bool EnterPlayFolder(PlayFolder* folder, std::string* error) {
  std::error_code failure;
  fs::path current = fs::current_path(failure);
  folder->previousDir = failure ? std::string() : TextFromPath(current);
  fs::current_path(PathFromText(folder->workDir), failure);
  if (failure) {
    *error = "cannot change to the folder " + folder->workDir + ": " + failure.message();
    return false;
  }
  return true;
}

void LeavePlayFolder(PlayFolder* folder) {
  if (folder->previousDir.empty()) return;
  std::error_code failure;
  fs::current_path(PathFromText(folder->previousDir), failure);  // nothing is left to do when it is gone
  folder->previousDir.clear();
}

void RemovePlayFolder(PlayFolder* folder) {
  LeavePlayFolder(folder);
  // Only ever a folder this harness created: it carries the harness's own name.
  if (FileNameOf(folder->root).rfind(kPlayFolderPrefix, 0) == 0) {
    std::error_code failure;
    fs::remove_all(PathFromText(folder->root), failure);
  }
  *folder = PlayFolder();
}

std::string CounterFilePath(const PlayFolder& folder, int n) {
  return JoinPath(folder.counterDir, "Z" + std::to_string(n) + ".dat");
}
