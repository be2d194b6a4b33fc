// Recognises the temporaries of a replaced file by their name, the same on every system.
#include "platform/platform_temporaries.h"

#include <cstring>

static const char kTemporaryEnd[] = ".tmp";
static const int kLongestNumber = 10;  // digits of a process or thread id (32 bits)

// Reads a decimal number of 1 to 10 digits without a leading zero; the text after it, or null.
static const char* ReadNumber(const char* text, unsigned long* value) {
  unsigned long number = 0;
  int digits = 0;
  while (text[digits] >= '0' && text[digits] <= '9') {
    if (digits == kLongestNumber) return nullptr;
    number = number * 10 + static_cast<unsigned long>(text[digits] - '0');
    digits++;
  }
  if (digits == 0 || (text[0] == '0' && digits > 1)) return nullptr;
  *value = number;
  return text + digits;
}

unsigned long TemporaryWriter(const char* entry, const char* fileName) {
  const size_t nameLength = strlen(fileName);
  if (strncmp(entry, fileName, nameLength) != 0) return 0;
  const char* at = entry + nameLength;
  unsigned long process = 0;
  unsigned long thread = 0;
  if (*at != '.' || (at = ReadNumber(at + 1, &process)) == nullptr) return 0;
  if (*at != '.' || (at = ReadNumber(at + 1, &thread)) == nullptr) return 0;
  return strcmp(at, kTemporaryEnd) == 0 ? process : 0;
}
