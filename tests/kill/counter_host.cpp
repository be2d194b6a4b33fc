// A host process for the kill test: loads the plug-in library, starts a run in the given host
// working directory, raises all three counters (trip resets, trip overrides, kilometres) once,
// reports "ready" on standard output, then goes on raising them as fast as it can until it is
// killed, or with "once" ends there. So every host that reported "ready" has raised each counter,
// however slow the machine.
// Usage: velmora-counter-host LIBRARY WORKDIR [once]
#include <unistd.h>

#include <cstdio>
#include <string>

#include "harness/harness.h"

const int32_t kTripPointAtSignal = 44002;  // beacon of a trip point at a signal; aspect 0 trips
const int kTripStopKey = 0;                // host key of the trip-stop button
const double kBeyondAKilometre = 1001.0;   // m driven per frame to count a kilometre

// The host's run: the library, its clock and place, and the arrays.
struct HostRun {
  VelmoraLibrary* library;
  ATS_VEHICLESTATE state;
  HostArrays arrays;
};

// One trip and reset, one override and one kilometre: each counter rises by one.
static void RaiseAllCounters(HostRun* run) {
  VelmoraLibrary& library = *run->library;
  run->state.Time += 100;
  run->state.Speed = 0.0f;
  library.Elapse(run->state, run->arrays.panel, run->arrays.sound);
  library.SetBeaconData(ATS_BEACONDATA{kTripPointAtSignal, 0, 10.0f, 0});  // trips
  library.KeyDown(kTripStopKey);                                           // reset: Z1
  library.KeyUp(kTripStopKey);
  library.KeyDown(kTripStopKey);
  library.SetBeaconData(ATS_BEACONDATA{kTripPointAtSignal, 0, 10.0f, 0});  // override: Z2
  library.KeyUp(kTripStopKey);
  run->state.Time += 100;
  run->state.Speed = 10.0f;
  run->state.Location += kBeyondAKilometre;
  library.Elapse(run->state, run->arrays.panel, run->arrays.sound);  // a kilometre: Z3
}

int main(int argc, char** argv) {
  const bool once = argc == 4 && std::string(argv[3]) == "once";
  if (argc != 3 && !once) {
    fprintf(stderr, "usage: %s LIBRARY WORKDIR [once]\n", argv[0]);
    return 2;
  }
  VelmoraLibrary library;
  std::string error;
  if (chdir(argv[2]) != 0 || !LoadVelmoraLibrary(argv[1], &library, &error)) {
    fprintf(stderr, "%s: cannot start in %s: %s\n", argv[0], argv[2], error.c_str());
    return 1;
  }
  static HostRun run = {&library, {}, {}};
  library.Load();
  library.SetVehicleSpec(ATS_VEHICLESPEC{8, 5, 1, 6, 4});
  library.Initialize(0);
  library.Elapse(run.state, run.arrays.panel, run.arrays.sound);
  RaiseAllCounters(&run);
  if (write(STDOUT_FILENO, "ready\n", 6) != 6) return 1;
  if (once) {
    library.Dispose();
    UnloadVelmoraLibrary(&library);
    return 0;
  }
  for (;;) RaiseAllCounters(&run);
}
