// Byte-wise reading of an open file out of block reads, the same on every system.
#include "platform/platform.h"

int PlatformReadByte(PlatformReader* reader) {
  if (reader->position >= reader->filled) {
    if (reader->failed) return -1;
    int got = PlatformReadBlock(reader);
    if (got <= 0) {
      reader->failed = true;
      return -1;
    }
    reader->filled = got;
    reader->position = 0;
  }
  return reader->block[reader->position++];
}
