// The configuration file and option table, the built-in defaults and the three counter files.
#pragma once

#include <cstdint>

enum OptionId {
#define OPTION(name, key, def, kind, further, system, effect, plausible, text) OPT_##name,
#include "config/options.def"
#undef OPTION
  OPTION_COUNT
};

const int kKeySlot = 40;  // characters per key slot, NUL included

// One further value of an option, in file order.
struct OptionNode {
  int32_t value;
  OptionNode* next;
};

// An option: its first value and the list of its further values.
struct OptionRecord {
  int32_t value;
  OptionNode* next;
};

extern const char kOptionKeys[OPTION_COUNT][kKeySlot];  // the keys, "system=" to "taster_speicherbremse_aus="
extern const int32_t kOptionDefaults[OPTION_COUNT];  // built-in first values
extern const char* const kOptionMeanings[OPTION_COUNT];  // what each option sets, for people
extern OptionRecord gOpts[OPTION_COUNT];

// First value of an option.
inline int32_t Opt(OptionId option) { return gOpts[option].value; }
// The n-th further value (n = 0 is the option's second value); false when the list is shorter.
bool OptFurther(OptionId option, int n, int32_t* value);
// Number of further values.
int OptFurtherCount(OptionId option);

// When set, LoadConfig reads this file instead of the one beside the library: for programs that
// link the cab systems directly (tests, benchmarks, fuzzers). Null (the default) in the plug-in.
// The text is not copied: it must outlive the loads that read it.
void SetConfigPathOverride(const char* path);

int LoadConfig();   // 1 when the file was opened and read to its end, 0 otherwise
int LoadConfigFile(const char* path);  // the same for a file named by its path

const int kConfigLineChars = 1022;  // characters of a line; the rest is read as a line of its own

// Told of every piece of a file that LoadConfigFile reads as a line: its text and length as
// stored (a longer line comes in pieces of kConfigLineChars), where the reading began (after a
// byte-order mark at the start of the file) and the option it set, or -1.
typedef void (*ConfigLineObserver)(void* context, const char* text, int length, int start,
                                   int option);
// LoadConfigFile telling the observer of each line as it is read.
int ReadConfigFile(const char* path, ConfigLineObserver observer, void* context);
// Reads one line into gOpts as the file reader does; the option it set, or -1 for an empty
// line, a comment or a line that matches no key.
int ReadConfigLine(const char* text, int length);
// 3 when the text starts with the UTF-8 byte-order mark (EF BB BF), otherwise 0.
int ByteOrderMarkLength(const char* text, int length);
void ScrapConfig();
void SetDefaults();

// Buffered reading of an open file: one byte, or one line.
struct PlatformReader;
int fgetc(PlatformReader* file);  // the byte as -128..127, or 256 at end of file
int fgets(PlatformReader* file, char* buffer, int size);  // characters stored in buffer

// The counter files in the train's folder, relative to the working directory.
int32_t read_zaehlwerk1();
int32_t read_zaehlwerk2();
int32_t read_kilometer();
void write_zaehlwerk1(int32_t value);
void write_zaehlwerk2(int32_t value);
void write_kilometer(int32_t value);
