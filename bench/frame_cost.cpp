// Instructions per steady-state frame of a built library: a host that installs the library in a
// fresh folder, starts a run and drives a shuttle between 0 and 65 km/h with the Sifa key held,
// the master controller forward and the brake controller in the driving position. Run under
// callgrind by scripts/frame-cost.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "harness/harness.h"

namespace fs = std::filesystem;

const int kSifaKey = 20;
const int kFrameMs = 16;           // about 60 frames per second
const float kTopSpeed = 65.0f;     // km/h
const float kSpeedStep = 0.05f;    // km/h per frame: 0 to 65 km/h in about 21 s

static VelmoraLibrary gLibrary;
static HostArrays gArrays;
static ATS_VEHICLESTATE gVehicle = {};
static float gDirection = 1.0f;  // the shuttle speeds up (1) or slows down (-1)

static void OneFrame() {
  gVehicle.Time += kFrameMs;
  gVehicle.Speed += gDirection * kSpeedStep;
  if (gVehicle.Speed >= kTopSpeed) gDirection = -1.0f;
  if (gVehicle.Speed <= 0.0f) {
    gVehicle.Speed = 0.0f;
    gDirection = 1.0f;
  }
  gVehicle.Location += gVehicle.Speed * kFrameMs / 3600.0;
  gLibrary.Elapse(gVehicle, gArrays.panel, gArrays.sound);
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: velmora_frame_cost LIBRARY FRAMES\n");
    return 2;
  }
  const int frames = atoi(argv[2]);
  std::error_code ec;
  fs::path folder = fs::temp_directory_path() / ("velmora-frame-cost-" + std::to_string(rand()));
  fs::create_directories(folder, ec);
  fs::path library = folder / (std::string("Velmora") + kLibraryExtension);
  if (ec || !fs::copy_file(argv[1], library, fs::copy_options::overwrite_existing, ec)) {
    fprintf(stderr, "%s: cannot copy the library into %s\n", argv[1], folder.string().c_str());
    return 1;
  }
  std::string config = "sifakey=" + std::to_string(kSifaKey) + "\n";
  WriteWholeFile((folder / "Velmora.cfg").string(), config);
  std::string error;
  if (!LoadVelmoraLibrary(library.string(), &gLibrary, &error)) {
    fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  gLibrary.Load();
  gLibrary.SetVehicleSpec(ATS_VEHICLESPEC{8, 8, 1, 6, 4});
  gLibrary.Initialize(0);
  gLibrary.KeyDown(kSifaKey);
  gLibrary.KeyDown(5);   // master controller forward, first and second step
  gLibrary.KeyDown(5);
  gLibrary.KeyDown(15);  // brake controller to fast charging: the pipe fills
  gLibrary.KeyDown(15);
  for (int i = 0; i < 300; i++) OneFrame();
  gLibrary.KeyDown(14);  // driving position
  for (int i = 0; i < 3000; i++) OneFrame();  // one shuttle and more: every band has sounded
  for (int i = 0; i < frames; i++) OneFrame();

  gLibrary.Dispose();
  UnloadVelmoraLibrary(&gLibrary);
  fs::remove_all(folder, ec);
  printf("%d frames played\n", frames);
  return 0;
}
