// End-to-end test fixture: drives the built Velmora library through its sixteen entry points
// exactly as the host does, in a fresh host installation per test.
//
// What each test gets (SetUp), before the test body runs:
//   - a fresh temporary folder laid out like a host installation (see PlayFolder in
//     tools/harness/harness.h):
//       ROOT/Plugin/Velmora.so (.dll)   a copy of the built library
//       ROOT/Train/Morvan/              the train's folder, where Z1.dat Z2.dat Z3.dat live
//       ROOT/Host/Run/Cab/              the working directory, so "../../../Train/Morvan/" is
//                                       the train's folder, as the plug-in expects
//   - the working directory changed to ROOT/Host/Run/Cab.
//   - the library NOT yet loaded and no configuration file: write one first if the test needs it.
// TearDown calls Dispose (if the test loaded the library and did not dispose it), unloads the
// library, returns to the old working directory and deletes the folder.
// Each test runs in a process of its own (gtest_discover_tests), so the library's globals are fresh.
//
// Before loading:
//   InstallAs("Other")          copy the library again as Other.so/.dll; the config is then Other.cfg
//   WriteConfig(text)           writes <library name>.cfg beside the copy (use "\n" line ends;
//                               remember that an empty line ends the reading of the file)
//   WritePluginFile(name, text) writes any file beside the copy (e.g. a decoy Velmora.cfg)
//   WriteCounter(n, bytes)      writes Z<n>.dat (n = 1, 2, 3) in the train's folder
// Host calls (each fails the test instead of crashing when the library is not loaded):
//   LoadPlugin()                loads the copy, resolves all sixteen entry points, calls Load
//   Start(brakeNotches, powerNotches, brakeMode)
//                               LoadPlugin (if needed), SetVehicleSpec(brake, power, 1, 6, 4),
//                               Initialize(brakeMode); defaults 8, 8, 0
//   Initialize(mode)            Initialize again (a host restart)
//   Frame(time, speed)          one Elapse with the host arrays; location integrated from speed
//   Frame(time, speed, location) the same with the location given
//   RunFor(ms, speed, step)     frames every step ms (default 50) from the last frame's time
//   ElapseWith(panel, sound)    one Elapse at the last frame's time with other array pointers
//   SetPower/SetBrake/SetReverser/KeyDown/KeyUp/HornBlow/DoorOpen/DoorClose/SetSignal(n)
//   Key(key)                    KeyDown then KeyUp
//   Beacon(type, signal, distance, optional)   SetBeaconData
//   Dispose()
//   FreePlugin()                Dispose (if not done yet) and free the library, as a host that
//                               loads the train anew; the next LoadPlugin or Start loads it afresh
// Reading what the host sees:
//   Panel(i), Sound(i)          elements of the host's arrays (0..255; other indices fail the test)
//   host.panel, host.sound      the host's arrays themselves (the test may write into them, as a
//                               host that resets a played sound does)
//   handles                     what the last Elapse returned
//   ReadCounter(n)              bytes of Z<n>.dat ("" when missing); CounterExists(n)
//   folder                      the paths of the play folder
// Suites: derive an empty class per behaviour group, e.g.
//   class SifaOnTheRealLibrary : public VelmoraHost {};
//   TEST_F(SifaOnTheRealLibrary, forced_braking_starts_without_the_key) { ... }
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "harness/harness.h"

class VelmoraHost : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  void InstallAs(const std::string& baseName);
  void WriteConfig(const std::string& text);
  void WritePluginFile(const std::string& name, const std::string& text);
  void WriteCounter(int n, const std::string& bytes);
  std::string ReadCounter(int n) const;
  bool CounterExists(int n) const;

  void LoadPlugin();
  void Start(int brakeNotches = 8, int powerNotches = 8, int brakeMode = 0);
  void Initialize(int brakeMode = 0);
  ATS_HANDLES Frame(int32_t time, float speed);
  ATS_HANDLES Frame(int32_t time, float speed, double location);
  ATS_HANDLES RunFor(int32_t duration, float speed, int32_t step = 50);
  ATS_HANDLES ElapseWith(int* panel, int* sound);
  void SetPower(int notch);
  void SetBrake(int notch);
  void SetReverser(int position);
  void KeyDown(int key);
  void KeyUp(int key);
  void Key(int key);
  void HornBlow(int type);
  void DoorOpen();
  void DoorClose();
  void SetSignal(int signal);
  void Beacon(int type, int signal, float distance, int optional);
  void Dispose();
  void FreePlugin();

  int Panel(int index) const;
  int Sound(int index) const;

  // True (and the test failed) when the library is not loaded.
  bool NotLoaded() const;

  PlayFolder folder;          // the host installation of this test
  std::string libraryName;    // base name of the installed copy ("Velmora")
  VelmoraLibrary plugin;      // the loaded library's entry points
  HostArrays host;            // the host's own panel and sound arrays
  ATS_HANDLES handles = {};   // what the last Elapse returned
  int32_t now = 0;            // ms of the last frame
  float speed = 0.0f;         // km/h of the last frame
  double location = 0.0;      // m of the last frame
  bool loaded = false;        // Load has been called
  bool disposed = false;      // Dispose has been called
};
