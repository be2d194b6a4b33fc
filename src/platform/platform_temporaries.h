// The names of the temporaries that a replaced file is written to, and when one is left over.
#pragma once

#include <cstdint>

// A temporary is named after its file, the writing process and thread: "Z1.dat.<process>.<thread>.tmp".
#define PLATFORM_TEMPORARY_FORMAT "%s.%lu.%lu.tmp"

// A temporary that no one has written to for this long, whose process is gone, is left over
// from a writer that was cut off. A writer on this machine takes milliseconds; the wait also
// spares a writer on another machine sharing the folder, whose process this one cannot see.
const int64_t kLeftoverAgeSeconds = 60;

// The writer's process id when entry is the name of a temporary of the file named fileName
// (without folder), else 0.
unsigned long TemporaryWriter(const char* entry, const char* fileName);
