// Common set-up of the traction tests: a vehicle with 5 power and 8 brake notches, fresh demand
// tables with the driver at neutral, and the traction model started at a frame time of 1000 ms.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>

#include "config/confload.h"
#include "plugin/atsplugin.h"
#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/indicator.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "traction/traction.h"
#include "traction/traction_record.h"

// The traction record the tests read and prepare.
inline TractionRecord& trac = TractionForTesting();

// Gives an option its first value and further values, as a configuration line would.
inline void SetValues(OptionId option, std::initializer_list<int32_t> values) {
  OptionNode* node = gOpts[option].next;
  while (node != nullptr) {
    OptionNode* next = node->next;
    delete node;
    node = next;
  }
  gOpts[option].next = nullptr;
  OptionNode** tail = &gOpts[option].next;
  bool first = true;
  for (int32_t value : values) {
    if (first) {
      gOpts[option].value = value;
      first = false;
      continue;
    }
    OptionNode* added = new OptionNode{value, nullptr};
    *tail = added;
    tail = &added->next;
  }
}

class TractionTest : public ::testing::Test {
 protected:
  static const int kPowerNotches = 5;
  static const int kStartTime = 1000;

  void SetUp() override {
    Load();
    ScrapConfig();
    SetDefaults();
    gTrainspecs = {8, kPowerNotches, 0, 0, 4};
    gState = {};
    gState.Time = kStartTime;
    gHandles = {};
    trac.autoTimer = 0;  // as loaded: the start of a run leaves it alone
    DestroyHandles();
    InitHandles();
  }
  void TearDown() override {
    DestroyHandles();
    ScrapConfig();
  }

  // Starts the model with the options as they now stand.
  void Start() { InitTraction(0); }

  // One model step at a frame time and speed.
  void Frame(int32_t time, float speed) {
    gState.Time = time;
    gState.Speed = speed;
    RunTraction();
  }

  // The driver sets reverser and power (brake stays released).
  void Drive(int reverser, int power) {
    SetReverserHandle(reverser);
    SetPowerHandle(power);
  }
};
