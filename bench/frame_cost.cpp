// Instructions per steady-state frame of a built library: a host that installs the library in a
// fresh folder, starts a run and drives a shuttle between 0 and 65 km/h with the Sifa key held,
// the master controller forward and the brake controller in the driving position. Run under
// callgrind by scripts/frame-cost. With "all" as the third argument every further cab system
// runs beside the U-Bahn cab, switched on and wired to elements and keys of its own.
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

// Every further cab system running: the run switches, each system's own on-switch and its
// elements and keys, apart from the U-Bahn cab's.
const char kAllSystems[] =
    "runubahn=1\nrunpowergaps=1\nrunwipers=1\nrunawstpws=1\nrunvigilance=1\nrunoverspeed=1\n"
    "runcabindicators=1\nruntraction=1\nrunpzb90=1\n"
    "system=2\nawsindicator=100\nawswarningsound=100\nawsclearsound=101\nawsacknowledgekey=30,101\n"
    "tpwsindicator=102,500\ntpwsindicator2=103,500\ntpwsindicator3=104\ntpwswarningsound=102\n"
    "tpwsresetkey=31\ntpwsoverridekey=32\n"
    "vigilance=1\nvigilancekey=33\nvigilancelamp=105\nvigilancealarm=103\n"
    "overspeedcontrol=1\nwarningspeed=60\noverspeed=70\nsafespeed=50\noverspeedindicator=106\noverspeedalarm=104\n"
    "powerindicator=107\nreminderindicator=108\nreminderkey=34\npowerpickuppoints=0,10\n"
    "wiperindex=109\nwiperindicator=110\nwipersound=105\ndropsound=106\ndropstartindex=120\nnumberofdrops=8\n"
    "wiperrate=1000\nwiperdelay=1000\nwiperonkey=35\nwiperoffkey=36\n"
    "doorindicator=111\nklaxonindicator=112\ntravelmetermode=0\ntravelmeter001=113\ntravelmeter01=114\n"
    "travelmeter1=115\ntravelmeter10=116\n"
    "pzb90=1\npzb90key=37\npzb90bluelamp=117,300\npzb90redlamp=118\npzb90yellowlamp=119\npzb90sound=107\n"
    "traction=1\nfuelindicator=140\nfuelstartamount=500\nfuelcapacity=1000\nfuelconsumption=2\n"
    "boilerpressureindicator=141\nboilerwaterlevelindicator=142\ncutoffindicator=143\nammeter=144\n"
    "ammetervalues=0,100,200,300,400,500,600,700,800\ninjectorindicator=145\ninjectortogglekey=38\n"
    "cutoffincreasekey=39\ncutoffdecreasekey=40\ngearupkey=41\ngeardownkey=42\n";

static VelmoraLibrary gLibrary;
static HostArrays gArrays;
static ATS_VEHICLESTATE gVehicle = {};
static float gDirection = 1.0f;  // the shuttle speeds up (1) or slows down (-1)
static bool gAllSystems = false;  // every further cab system runs
static int gFrame = 0;            // frames played
const int kVigilanceKey = 33;     // the all-systems configuration's vigilance and PZB90 keys
const int kPzbKey = 37;
const int kVigilancePressEvery = 1000;  // frames between two presses of the vigilance key

static void OneFrame() {
  // The driver answers the vigilance device in good time (outside Elapse: not counted).
  if (gAllSystems && ++gFrame % kVigilancePressEvery == 0) {
    gLibrary.KeyDown(kVigilanceKey);
    gLibrary.KeyUp(kVigilanceKey);
  }
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
  const bool allSystems = argc == 4 && std::string(argv[3]) == "all";
  gAllSystems = allSystems;
  if (argc != 3 && !allSystems) {
    fprintf(stderr, "usage: velmora_frame_cost LIBRARY FRAMES [all]\n");
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
  if (allSystems) config += kAllSystems;
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
  if (allSystems) gLibrary.KeyDown(kPzbKey);  // PZB90 switched on by the driver
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
