// What kind of program file a library path holds (ELF or Windows, which processor, library or
// program), told in words, and whether this program can load it.
#include <cstdint>
#include <cstdio>
#include <string>

#include "harness/harness.h"
#include "unicode_io.h"

const size_t kHeaderBytes = 4096;  // enough for the ELF header and the usual PE header offset

enum FileFormat { kFormatUnknown, kFormatElf, kFormatWindows, kFormatDos };

// The kind of a program file as read from its header.
struct FileKind {
  FileFormat format = kFormatUnknown;
  int machine = 0;         // ELF e_machine or PE machine field
  bool library = true;     // a DLL or a shared object rather than a program
  bool empty = false;      // the file has no bytes
};

// ELF and PE machine numbers of the processors this harness meets.
const int kElfX86 = 3;
const int kElfX8664 = 62;
const int kElfArm64 = 183;
const int kPeX86 = 0x14c;
const int kPeX64 = 0x8664;
const int kPeArm64 = 0xaa64;
const int kPeDllFlag = 0x2000;  // IMAGE_FILE_DLL in the PE characteristics

static unsigned Little16(const std::string& bytes, size_t at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

static uint32_t Little32(const std::string& bytes, size_t at) {
  return Little16(bytes, at) | static_cast<uint32_t>(Little16(bytes, at + 2)) << 16;
}

static bool ReadKind(const std::string& path, FileKind* kind) {
  FILE* file = OpenFile(path, "rb");
  if (file == nullptr) return false;
  std::string bytes(kHeaderBytes, '\0');
  bytes.resize(fread(&bytes[0], 1, kHeaderBytes, file));
  fclose(file);
  kind->empty = bytes.empty();
  if (bytes.size() >= 20 && bytes.compare(0, 4, "\x7f" "ELF") == 0) {
    kind->format = kFormatElf;
    kind->machine = static_cast<int>(Little16(bytes, 18));
    const unsigned kElfProgram = 2;  // e_type of a program that cannot be loaded as a library
    kind->library = Little16(bytes, 16) != kElfProgram;
  } else if (bytes.size() >= 64 && bytes.compare(0, 2, "MZ") == 0) {
    kind->format = kFormatDos;
    uint32_t pe = Little32(bytes, 0x3c);
    bool inside = pe <= bytes.size() && bytes.size() - pe >= 24;
    if (inside && bytes.compare(pe, 4, std::string("PE\0\0", 4)) == 0) {
      kind->format = kFormatWindows;
      kind->machine = static_cast<int>(Little16(bytes, pe + 4));
      kind->library = (Little16(bytes, pe + 22) & kPeDllFlag) != 0;
    }
  }
  return true;
}

static std::string Processor(FileFormat format, int machine) {
  if (format == kFormatElf) {
    if (machine == kElfX86) return "32-bit x86";
    if (machine == kElfX8664) return "x86-64";
    if (machine == kElfArm64) return "64-bit ARM";
  } else {
    if (machine == kPeX86) return "32-bit x86";
    if (machine == kPeX64) return "64-bit x64";
    if (machine == kPeArm64) return "64-bit ARM";
  }
  return "machine " + std::to_string(machine);
}

static std::string Describe(const FileKind& kind) {
  if (kind.empty) return "an empty file";
  switch (kind.format) {
    case kFormatElf:
      return "a Linux " + Processor(kind.format, kind.machine) + (kind.library ? " library (ELF)" : " program (ELF), not a library");
    case kFormatWindows:
      return "a Windows " + Processor(kind.format, kind.machine) + (kind.library ? " DLL" : " program (.exe), not a DLL");
    case kFormatDos:
      return "an MS-DOS program, not a library";
    case kFormatUnknown:
      break;
  }
  return "not a program library (it starts with neither the Linux ELF nor the Windows header)";
}

// The kind of library this program itself can load.
static FileKind OwnKind() {
  FileKind own;
#if defined(_WIN32)
  own.format = kFormatWindows;
  own.machine = sizeof(void*) == 8 ? kPeX64 : kPeX86;
#else
  own.format = kFormatElf;
#if defined(__x86_64__)
  own.machine = kElfX8664;
#elif defined(__i386__)
  own.machine = kElfX86;
#elif defined(__aarch64__)
  own.machine = kElfArm64;
#endif
#endif
  return own;
}

std::string DescribeLibraryFile(const std::string& path) {
  FileKind kind;
  if (!ReadKind(path, &kind)) return std::string();
  return Describe(kind);
}

std::string LibraryMismatch(const std::string& path) {
  FileKind kind;
  if (!ReadKind(path, &kind)) return std::string();  // the loader tells why it cannot open it
  FileKind own = OwnKind();
  bool sameProcessor = own.machine == 0 || kind.machine == own.machine;
  if (kind.format == own.format && sameProcessor && kind.library && !kind.empty) return std::string();
  std::string ownKind = own.format == kFormatWindows ? "Windows " + Processor(own.format, own.machine) + " DLLs"
                                                     : "Linux " + Processor(own.format, own.machine) + " libraries (.so)";
  return "it is " + Describe(kind) + ", and this player loads only " + ownKind;
}
