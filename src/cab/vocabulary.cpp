// Truncation and option-list reading shared by every cab system.
#include "cab/vocabulary.h"

#include <cmath>

// A value whose truncation lies outside the 32-bit range, or NaN. Out of line: panel values
// mostly lie well inside the range, and their truncation then takes no detour.
__attribute__((noinline)) static int32_t TruncOutsideRange(double value) {
  if (std::isnan(value)) return 0;
  return value > 0.0 ? INT32_MAX : INT32_MIN;
}

int32_t TruncToInt(double value) {
  if (!TruncatesPlainly(value)) return TruncOutsideRange(value);
  return static_cast<int32_t>(value);
}

OptionWalk WalkOption(OptionId option) {
  OptionWalk walk;
  walk.first = gOpts[option].value;
  walk.firstTaken = false;
  walk.node = gOpts[option].next;
  return walk;
}

bool NextValue(OptionWalk& walk, int32_t* value) {
  if (!walk.firstTaken) {
    walk.firstTaken = true;
    *value = walk.first;
    return true;
  }
  if (walk.node == nullptr) return false;
  *value = walk.node->value;
  walk.node = walk.node->next;
  return true;
}

int32_t OptAt(OptionId option, int64_t k) {
  OptionWalk walk = WalkOption(option);
  int32_t value = 0;
  NextValue(walk, &value);
  for (int64_t i = 0; i < k; i++) {
    if (!NextValue(walk, &value)) break;  // past the end: the last value stands
  }
  return value;
}

NotchValues KeepNotchValues(OptionId option) {
  NotchValues table = {option, {}, 0};
  int32_t value;
  for (OptionWalk walk = WalkOption(option); table.count < kNotchValuesKept && NextValue(walk, &value);) {
    table.values[table.count++] = value;
  }
  return table;
}
