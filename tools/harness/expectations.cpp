// Checking an expect line of a scenario against the frame it follows, and the message when the
// frame shows something else.
#include <string>

#include "harness/harness.h"

// A value as the message shows it; sound values also by their meaning.
static std::string Shown(ExpectTarget target, int value) {
  std::string number = std::to_string(value);
  if (target != kExpectSound) return number;
  if (value == SOUND_PLAY) return "play (" + number + ")";
  if (value == SOUND_LOOP) return "loop (" + number + ")";
  if (value == SOUND_STOP) return "stop (" + number + ")";
  if (value == kSoundStarted) return "started (" + number + ")";
  return number;
}

// What the expect line looks at: "panel brake_lamp", "sound 75", "brake".
static std::string Subject(const Expectation& expectation) {
  switch (expectation.target) {
    case kExpectPanel:
    case kExpectSound: {
      std::string array = expectation.target == kExpectPanel ? "panel " : "sound ";
      return array + (expectation.name.empty() ? std::to_string(expectation.index) : expectation.name);
    }
    case kExpectBrake:
      return "brake";
    case kExpectPower:
      return "power";
    case kExpectReverser:
      return "reverser";
  }
  return std::string();
}

std::string DescribeExpectation(const Expectation& expectation) {
  return Subject(expectation) + " = " + Shown(expectation.target, expectation.value);
}

std::string CheckExpectation(const Scenario& scenario, const Expectation& expectation, const TraceRow& row,
                             const HostArrays& arrays) {
  int seen = 0;
  switch (expectation.target) {
    case kExpectPanel:
      seen = arrays.panel[expectation.index];
      break;
    case kExpectSound:
      seen = arrays.sound[expectation.index];
      break;
    case kExpectBrake:
      seen = row.handles.Brake;
      break;
    case kExpectPower:
      seen = row.handles.Power;
      break;
    case kExpectReverser:
      seen = row.handles.Reverser;
      break;
  }
  if (seen == expectation.value) return std::string();
  return scenario.fileName + ":" + std::to_string(expectation.line) + ": expected " + Subject(expectation) + " = " +
         Shown(expectation.target, expectation.value) + " at t=" + std::to_string(row.time) + " ms, saw " +
         Shown(expectation.target, seen);
}
