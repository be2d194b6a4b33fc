// Temporary files and folders for tests that read and write real files.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "config/confload.h"

// A fresh folder under the system's temporary folder, removed at the end of the test. Its name
// comes from the system's random device and a count, never from the library's generator
// (PlatformRandom): the cab systems draw from it, and a test's draws must not depend on how many
// other test processes were making folders at the same moment.
struct TempFolder {
  std::filesystem::path path;
  TempFolder() {
    static int serial = 0;
    static std::random_device device;
    auto base = std::filesystem::temp_directory_path();
    for (;;) {
      path = base / ("velmora-unit-" + std::to_string(device()) + "-" + std::to_string(++serial));
      if (std::filesystem::create_directory(path)) break;
    }
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::string File(const std::string& name) const { return (path / name).string(); }
};

// Writes the file; false when it could not be written whole.
inline bool WriteBytes(const std::string& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
  out.close();
  return !out.fail();
}

inline std::string ReadBytes(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Defaults, then this text read as the configuration file, as a start of run does.
// Returns what LoadConfigFile returned.
inline int LoadConfigText(const std::string& text) {
  ScrapConfig();
  SetDefaults();
  TempFolder folder;
  std::string file = folder.File("Velmora.cfg");
  WriteBytes(file, text);
  return LoadConfigFile(file.c_str());
}
