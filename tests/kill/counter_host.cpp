// A host process for the kill test: loads the plug-in library, starts a run in the given host
// working directory, reports "ready" on standard output, then raises all three counters (trip
// resets, trip overrides, kilometres) as fast as it can until it is killed, or with "once" raises
// each once and ends.
// Usage: velmora-counter-host LIBRARY WORKDIR [once]
#include <unistd.h>

#include <cstdio>
#include <string>

#include "harness/harness.h"

const int32_t kTripPointAtSignal = 44002;  // beacon of a trip point at a signal; aspect 0 trips
const int kTripStopKey = 0;                // host key of the trip-stop button
const double kBeyondAKilometre = 1001.0;   // m driven per frame to count a kilometre

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
  static HostArrays arrays;
  ATS_VEHICLESTATE state = {};
  library.Load();
  library.SetVehicleSpec(ATS_VEHICLESPEC{8, 5, 1, 6, 4});
  library.Initialize(0);
  library.Elapse(state, arrays.panel, arrays.sound);
  if (write(STDOUT_FILENO, "ready\n", 6) != 6) return 1;

  do {
    state.Time += 100;
    state.Speed = 0.0f;
    library.Elapse(state, arrays.panel, arrays.sound);
    library.SetBeaconData(ATS_BEACONDATA{kTripPointAtSignal, 0, 10.0f, 0});  // trips
    library.KeyDown(kTripStopKey);                                           // reset: Z1
    library.KeyUp(kTripStopKey);
    library.KeyDown(kTripStopKey);
    library.SetBeaconData(ATS_BEACONDATA{kTripPointAtSignal, 0, 10.0f, 0});  // override: Z2
    library.KeyUp(kTripStopKey);
    state.Time += 100;
    state.Speed = 10.0f;
    state.Location += kBeyondAKilometre;
    library.Elapse(state, arrays.panel, arrays.sound);  // a kilometre: Z3
  } while (!once);
  library.Dispose();
  UnloadVelmoraLibrary(&library);
  return 0;
}
