// The configuration file: the key table, the built-in defaults and the reading of the file into gOpts.
#include "config/confload.h"
#include "config/confload_testing.h"

#include <cstring>
#include <new>

#include "platform/platform.h"

const char kOptionKeys[OPTION_COUNT][kKeySlot] = {
#define OPTION(name, key, def, kind, further, system, effect, plausible, text) key,
#include "config/options.def"
#undef OPTION
};

const int32_t kOptionDefaults[OPTION_COUNT] = {
#define OPTION(name, key, def, kind, further, system, effect, plausible, text) def,
#include "config/options.def"
#undef OPTION
};

const char* const kOptionMeanings[OPTION_COUNT] = {
#define OPTION(name, key, def, kind, further, system, effect, plausible, text) text,
#include "config/options.def"
#undef OPTION
};

OptionRecord gOpts[OPTION_COUNT];
// The file LoadConfig reads instead of the one beside the library, or null.
static const char* configPathOverride = nullptr;
// SetDefaults has cleared the lists once; until then ScrapConfig may not walk them.
static bool pointersNullified = false;

void SetConfigPathOverride(const char* path) { configPathOverride = path; }

void ForgetDefaultsForTesting() { pointersNullified = false; }

const int kPathSize = 273;      // characters of the path buffer for the usual library path
const int kLineBuffer = 1024;   // characters of the line buffer
const int kLineSize = kConfigLineChars + 1;  // fgets size: the characters and the NUL
const int kEndOfFile = 256;     // what fgetc gives when nothing more can be read
const char kCommentMark = ';';

// An option id is never below 0; OPTION_COUNT and above stand for no option of the table.
bool OptFurther(OptionId option, int n, int32_t* value) {
  if (option >= OPTION_COUNT || n < 0) return false;
  const OptionNode* node = gOpts[option].next;
  for (int i = 0; node != nullptr && i < n; i++) node = node->next;
  if (node == nullptr) return false;
  *value = node->value;
  return true;
}

int OptFurtherCount(OptionId option) {
  if (option >= OPTION_COUNT) return 0;
  int count = 0;
  for (const OptionNode* node = gOpts[option].next; node != nullptr; node = node->next) count++;
  return count;
}

void SetDefaults() {
  for (int i = 0; i < OPTION_COUNT; i++) gOpts[i].next = nullptr;
  pointersNullified = true;
  for (int i = 0; i < OPTION_COUNT; i++) gOpts[i].value = kOptionDefaults[i];
}

static void ReleaseList(OptionRecord& option) {
  OptionNode* node = option.next;
  option.next = nullptr;
  while (node != nullptr) {
    OptionNode* next = node->next;
    delete node;
    node = next;
  }
}

void ScrapConfig() {
  if (!pointersNullified) return;
  for (int i = 0; i < OPTION_COUNT; i++) ReleaseList(gOpts[i]);
}

int fgetc(PlatformReader* file) {
  int byte = PlatformReadByte(file);
  if (byte < 0) return kEndOfFile;
  return static_cast<signed char>(static_cast<unsigned char>(byte));
}

int fgets(PlatformReader* file, char* buffer, int size) {
  int stored = 0;
  while (stored < size - 1) {
    int c = fgetc(file);
    if (c == kEndOfFile || c == '\n') break;
    buffer[stored++] = static_cast<char>(c);
  }
  if (size > 0) buffer[stored] = '\0';
  return stored;
}

// The key a line begins with: the first key of the table that agrees with the line over the
// length of the shorter of the two; -1 when none does.
static int MatchKey(const char* line, size_t lineLength) {
  for (int i = 0; i < OPTION_COUNT; i++) {
    size_t keyLength = strlen(kOptionKeys[i]);
    size_t shorter = lineLength < keyLength ? lineLength : keyLength;
    if (memcmp(line, kOptionKeys[i], shorter) == 0) return i;
  }
  return -1;
}

// One value being read: its magnitude (held at the 32-bit limit) and whether a "-" came first.
struct ValueReader {
  int32_t* target;
  int64_t magnitude;
  bool negative;
};

static void AddDigit(ValueReader& reader, int digit) {
  const int64_t kLimit = 2147483648LL;  // magnitude of the lowest 32-bit value
  reader.magnitude = reader.magnitude * 10 + digit;
  if (reader.magnitude > kLimit) reader.magnitude = kLimit;
  int64_t value = reader.negative ? -reader.magnitude : reader.magnitude;
  if (value > INT32_MAX) value = INT32_MAX;
  *reader.target = static_cast<int32_t>(value);
}

// Reads "first,second,..." after the key into the option; stops at the first character that
// is not a digit, "-" or ",".
static void ReadValues(OptionRecord& option, const char* text) {
  option.value = 0;
  ReleaseList(option);
  OptionNode** tail = &option.next;
  ValueReader reader = {&option.value, 0, false};
  for (const char* p = text; *p != '\0'; p++) {
    char c = *p;
    if (c == '-') {
      reader.negative = true;
    } else if (c == ',') {
      OptionNode* node = new (std::nothrow) OptionNode;
      if (node == nullptr) return;
      node->value = 0;
      node->next = nullptr;
      *tail = node;
      tail = &node->next;
      reader = {&node->value, 0, false};
    } else if (c >= '0' && c <= '9') {
      AddDigit(reader, c - '0');
    } else {
      return;
    }
  }
}

int LoadConfig() {
  if (configPathOverride != nullptr) return LoadConfigFile(configPathOverride);
  char path[kPathSize] = {0};
  const int length = PlatformConfigPath(path, kPathSize - 1);
  if (length <= 0) return 0;
  if (length <= kPathSize - 1) return LoadConfigFile(path);
  // A library in a deep folder: its path gets a buffer of its own length.
  char* longPath = new (std::nothrow) char[static_cast<size_t>(length) + 1];
  if (longPath == nullptr) return 0;
  const int read = PlatformConfigPath(longPath, length) == length ? LoadConfigFile(longPath) : 0;
  delete[] longPath;
  return read;
}

int ByteOrderMarkLength(const char* text, int length) {
  static const char kMark[] = "\xEF\xBB\xBF";
  const int kMarkLength = 3;
  if (length < kMarkLength || memcmp(text, kMark, kMarkLength) != 0) return 0;
  return kMarkLength;
}

int ReadConfigLine(const char* text, int length) {
  if (length <= 0) return -1;                // an empty line
  if (text[0] == kCommentMark) return -1;
  size_t lineLength = strlen(text);
  int key = MatchKey(text, lineLength);
  if (key < 0) return -1;
  size_t keyLength = strlen(kOptionKeys[key]);
  ReadValues(gOpts[key], lineLength > keyLength ? text + keyLength : "");
  return key;
}

int LoadConfigFile(const char* path) { return ReadConfigFile(path, nullptr, nullptr); }

int ReadConfigFile(const char* path, ConfigLineObserver observer, void* context) {
  PlatformReader file;
  if (!PlatformOpenRead(path, &file)) return 0;

  char line[kLineBuffer];
  bool firstLine = true;
  for (;;) {
    int length = fgets(&file, line, kLineSize);
    if (length == 0 && file.failed) break;  // end of the file
    // Windows editors may start the file with a byte-order mark; it is not part of the first key.
    int start = firstLine ? ByteOrderMarkLength(line, length) : 0;
    firstLine = false;
    int option = ReadConfigLine(line + start, length - start);
    if (observer != nullptr) observer(context, line, length, start, option);
  }
  PlatformClose(&file);
  return 1;
}
