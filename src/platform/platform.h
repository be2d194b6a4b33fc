// The only calls into the operating system: the library's own path and whole-file I/O. Paths
// are UTF-8 (UTF-16 towards Windows), so any folder name works.
#pragma once

#include <cstdint>

// Path of this library's configuration file: the library's own path, found through an address
// inside it (so a renamed library reads its own file), with the extension turned into "cfg".
// Returns the path's length, 0 when the path is unknown. The path and a NUL are written only
// when the length is at most size; a longer path's length tells the caller what to provide.
int PlatformConfigPath(char* buffer, int size);

// An open file for reading, with a block buffer so bytes are taken without a call each.
struct PlatformReader {
  void* handle;               // the operating system's handle
  unsigned char block[4096];  // bytes read ahead
  int filled;                 // bytes in block
  int position;               // next byte of block to hand out
  bool failed;                // end of file or a read error seen
};

// Opens an existing file for reading, leaving others free to read it and to replace it; false
// when it cannot be opened.
bool PlatformOpenRead(const char* path, PlatformReader* reader);
// Fills the reader's block from the file; the number of bytes read, 0 at end of file or on an error.
int PlatformReadBlock(PlatformReader* reader);
// Next byte 0..255, or -1 at end of file or on a read error.
int PlatformReadByte(PlatformReader* reader);
void PlatformClose(PlatformReader* reader);

// Replaces the file at path with exactly these bytes: written to a temporary file in the
// same folder, named for this process and thread, that then takes the file's place. So the
// file always holds the old or the new bytes, also when a crash interrupts the write or other
// processes write the same file at once. False when it could not be written; the temporary
// is then removed. After a write, the temporaries of the same file that writers cut off in
// mid-write left behind are removed: those untouched for a minute whose process has ended. A
// running writer's temporary is never removed; a process that took a dead writer's id keeps
// that writer's temporaries until the id is free again.
bool PlatformReplaceFile(const char* path, const char* bytes, int count);
