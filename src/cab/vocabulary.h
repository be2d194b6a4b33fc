// The words every cab system shares: which host key an option names, how a real number becomes
// a whole one, and how an option's further values are read.
#pragma once

#include <cmath>
#include <cstdint>

#include "config/confload.h"

// A key option of -1 names no key.
const int32_t kNoKey = -1;

// The option names a host key at all.
inline bool KeyConfigured(OptionId keyOption) { return gOpts[keyOption].value != kNoKey; }

// The host key is the one the option names. An option of -1 matches no host key, not even a
// host key number of -1.
inline bool KeyMatches(OptionId keyOption, int hostKey) {
  return KeyConfigured(keyOption) && hostKey == gOpts[keyOption].value;
}

// Below this size, truncation toward zero lands inside the 32-bit range; at and above it the
// result is the nearest end, which is also the truncation of what lies between -2^31 - 1 and
// -2^31.
const double kInt32Size = 2147483648.0;
// The real number truncates inside the 32-bit range: TruncToInt gives its plain conversion. NaN
// does not.
inline bool TruncatesPlainly(double value) { return std::fabs(value) < kInt32Size; }
// The same for a float (2^31 is a float as it stands).
inline bool TruncatesPlainly(float value) { return std::fabs(value) < static_cast<float>(kInt32Size); }

// A real number truncated toward zero, as panel values are; NaN gives 0, values beyond the
// 32-bit range the nearest end. Whole 64-bit intermediates go through it as well.
int32_t TruncToInt(double value);
// A whole 64-bit value held to the 32-bit range: the same result as TruncToInt gives for it,
// without the detour through a real number.
inline int32_t ClampToInt(int64_t value) {
  if (value >= INT32_MAX) return INT32_MAX;
  if (value <= INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// Value k of an option counting from 0 (0 is the first value); an option with fewer values
// gives its last one, a k below 0 the first.
int32_t OptAt(OptionId option, int64_t k);

// The first values of an option kept in a table, for a system that reads a value per notch every
// frame: kept at the start of a run, as options stay as they are during it.
const int kNotchValuesKept = 16;
struct NotchValues {
  OptionId option;                   // the option the values are of
  int32_t values[kNotchValuesKept];  // its values 0, 1, ... as OptAt gives them
  int64_t count;                     // values kept: the option's, at most kNotchValuesKept (as
                                     // wide as the notch it is compared with)
};
NotchValues KeepNotchValues(OptionId option);
// The same as OptAt(table.option, k).
inline int32_t NotchValueAt(const NotchValues& table, int64_t k) {
  // One unsigned comparison: a k below 0 wraps far beyond any count.
  if (static_cast<uint64_t>(k) < static_cast<uint64_t>(table.count)) return table.values[k];
  return OptAt(table.option, k);
}

// A walk through all values of an option in file order, the first value included.
struct OptionWalk {
  int32_t first;           // the option's first value
  bool firstTaken;         // the first value has been handed out
  const OptionNode* node;  // the further value to hand out next; null at the end
};
OptionWalk WalkOption(OptionId option);
// The next value; false at the end of the list.
bool NextValue(OptionWalk& walk, int32_t* value);
