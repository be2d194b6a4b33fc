// A host for the folder-name test: loads the library at the path given, which may hold any
// characters, starts a run with the reverser forward, drives one kilometre (so the kilometre
// counter is written beside the working directory) and prints the value of one panel element.
// Usage: velmora-folder-host LIBRARY ELEMENT
#include <cstdio>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "unicode_io.h"

const double kBeyondAKilometre = 1001.0;  // m driven in one frame to count a kilometre

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = ProgramArguments(argc, argv);
  if (arguments.size() != 3) {
    fprintf(stderr, "usage: velmora-folder-host LIBRARY ELEMENT\n");
    return 2;
  }
  VelmoraLibrary library;
  std::string error;
  if (!LoadVelmoraLibrary(arguments[1], &library, &error)) {
    PrintText(stderr, "velmora-folder-host: %s\n", error.c_str());
    return 1;
  }
  static HostArrays arrays;
  ATS_VEHICLESTATE state = {};
  library.Load();
  library.SetVehicleSpec(ATS_VEHICLESPEC{8, 8, 1, 6, 4});
  library.Initialize(0);
  library.SetReverser(1);
  library.Elapse(state, arrays.panel, arrays.sound);
  state.Time += 100;
  state.Speed = 10.0f;
  state.Location += kBeyondAKilometre;
  library.Elapse(state, arrays.panel, arrays.sound);
  printf("%d\n", arrays.panel[std::stoi(arguments[2]) & 255]);
  library.Dispose();
  UnloadVelmoraLibrary(&library);
  return 0;
}
