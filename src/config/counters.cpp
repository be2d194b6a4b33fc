// The three counter files in the train's folder: bare decimal digits that survive between runs.
#include <cstdint>

#include "config/confload.h"
#include "platform/platform.h"

static const char kCounter1File[] = "../../../Train/Morvan/Z1.dat";
static const char kCounter2File[] = "../../../Train/Morvan/Z2.dat";
static const char kKilometerFile[] = "../../../Train/Morvan/Z3.dat";

// The digits at the start of the file; a missing file reads 0, a value beyond the 32-bit
// range reads 2147483647.
static int32_t ReadCounter(const char* path) {
  PlatformReader file;
  if (!PlatformOpenRead(path, &file)) return 0;
  int64_t value = 0;
  for (;;) {
    int c = fgetc(&file);
    if (c < '0' || c > '9') break;  // also the end of the file
    value = value * 10 + (c - '0');
    if (value > INT32_MAX) value = INT32_MAX;
  }
  PlatformClose(&file);
  return static_cast<int32_t>(value);
}

// Replaces the file with the value's digits; a negative value is stored as "0". A file that
// cannot be written is skipped: the count goes on in memory.
static void WriteCounter(const char* path, int32_t value) {
  char digits[64];
  int count = 0;
  uint32_t rest = value < 0 ? 0 : static_cast<uint32_t>(value);
  do {
    digits[count++] = static_cast<char>('0' + rest % 10);
    rest /= 10;
  } while (rest != 0);
  char text[64];
  for (int i = 0; i < count; i++) text[i] = digits[count - 1 - i];
  PlatformReplaceFile(path, text, count);
}

int32_t read_zaehlwerk1() { return ReadCounter(kCounter1File); }
int32_t read_zaehlwerk2() { return ReadCounter(kCounter2File); }
int32_t read_kilometer() { return ReadCounter(kKilometerFile); }
void write_zaehlwerk1(int32_t value) { WriteCounter(kCounter1File, value); }
void write_zaehlwerk2(int32_t value) { WriteCounter(kCounter2File, value); }
void write_kilometer(int32_t value) { WriteCounter(kKilometerFile, value); }
