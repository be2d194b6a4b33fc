// The frame cycle and the key handlers take no heap memory once a run has started: every form
// of the global operator new is replaced here by one that counts its calls.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <new>
#if defined(_WIN32)
#include <malloc.h>
#endif

#include "config/confload.h"
#include "platform/platform.h"
#include "test_files.h"
#include "plugin/atsplugin.h"

// Calls of any global operator new since the program started.
static long gNewCalls = 0;

static void* CountedAllocate(std::size_t size) {
  gNewCalls++;
  return std::malloc(size == 0 ? 1 : size);
}

static void* CountedAllocateAligned(std::size_t size, std::align_val_t alignment) {
  gNewCalls++;
  std::size_t align = static_cast<std::size_t>(alignment);
  std::size_t rounded = (size + align - 1) / align * align;
#if defined(_WIN32)
  return _aligned_malloc(rounded == 0 ? align : rounded, align);
#else
  return std::aligned_alloc(align, rounded == 0 ? align : rounded);
#endif
}

static void ReleaseAligned(void* pointer) {
#if defined(_WIN32)
  _aligned_free(pointer);
#else
  std::free(pointer);
#endif
}

void* operator new(std::size_t size) {
  void* pointer = CountedAllocate(size);
  if (pointer == nullptr) throw std::bad_alloc();
  return pointer;
}
void* operator new[](std::size_t size) {
  void* pointer = CountedAllocate(size);
  if (pointer == nullptr) throw std::bad_alloc();
  return pointer;
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return CountedAllocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return CountedAllocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) {
  void* pointer = CountedAllocateAligned(size, alignment);
  if (pointer == nullptr) throw std::bad_alloc();
  return pointer;
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  void* pointer = CountedAllocateAligned(size, alignment);
  if (pointer == nullptr) throw std::bad_alloc();
  return pointer;
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return CountedAllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return CountedAllocateAligned(size, alignment);
}

void operator delete(void* pointer) noexcept { std::free(pointer); }
void operator delete[](void* pointer) noexcept { std::free(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { std::free(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { std::free(pointer); }
void operator delete(void* pointer, const std::nothrow_t&) noexcept { std::free(pointer); }
void operator delete[](void* pointer, const std::nothrow_t&) noexcept { std::free(pointer); }
void operator delete(void* pointer, std::align_val_t) noexcept { ReleaseAligned(pointer); }
void operator delete[](void* pointer, std::align_val_t) noexcept { ReleaseAligned(pointer); }
void operator delete(void* pointer, std::size_t, std::align_val_t) noexcept { ReleaseAligned(pointer); }
void operator delete[](void* pointer, std::size_t, std::align_val_t) noexcept { ReleaseAligned(pointer); }
void operator delete(void* pointer, std::align_val_t, const std::nothrow_t&) noexcept { ReleaseAligned(pointer); }
void operator delete[](void* pointer, std::align_val_t, const std::nothrow_t&) noexcept { ReleaseAligned(pointer); }

// Keeps the compiler from leaving out an allocation whose result nobody reads.
static void* volatile gKeep = nullptr;

// The driver's keys of a departure and a stop, with the drive button and the Sifa key.
const int kSifaKey = 20;
const int kDriveButton = 21;
const int kMasterUp = 5;
const int kMasterDown = 6;
const int kMasterNeutral = 7;
const int kBrakeRelease = 14;
const int kBrakeApply = 15;
const int kHoldingBrake = 13;
const int kHornKey = 2;

static int gPanelArray[256];
static int gSoundArray[256];

// A started run: loaded, vehicle given, initialised, keys wired, a few frames behind it.
static ATS_VEHICLESTATE StartRun() {
  gState = ATS_VEHICLESTATE{};  // the start of run reads the clock: time 0, whatever ran before
  Load();
  ATS_VEHICLESPEC spec = {8, 8, 1, 6, 4};
  SetVehicleSpec(spec);
  Initialize(0);
  gOpts[OPT_sifakey].value = kSifaKey;
  gOpts[OPT_speedselectorkey].value = kDriveButton;
  ATS_VEHICLESTATE state = {};
  for (int i = 0; i < 5; i++) {
    state.Time += 50;
    Elapse(state, gPanelArray, gSoundArray);
  }
  return state;
}

TEST(HeapUse, counter_sees_every_form_of_operator_new) {
  long before = gNewCalls;
  int* single = new int(3);
  gKeep = single;
  delete single;
  int* several = new int[4];
  gKeep = several;
  delete[] several;
  int* quiet = new (std::nothrow) int(5);
  gKeep = quiet;
  delete quiet;
  struct alignas(64) Wide {
    char bytes[64];
  };
  Wide* wide = new Wide;
  gKeep = wide;
  delete wide;
  EXPECT_EQ(gNewCalls - before, 4);
}

TEST(HeapUse, frames_and_keys_of_a_whole_run_take_no_heap_memory) {
  ATS_VEHICLESTATE state = StartRun();
  long frameAllocations = 0;
  long keyAllocations = 0;
  int highestPower = 0;  // proves the frames covered driving, not only standing

  // One frame at the given speed, counting only what Elapse itself allocates.
  auto frames = [&](int count, float fromSpeed, float toSpeed) {
    for (int i = 0; i < count; i++) {
      state.Time += 50;
      state.Speed = fromSpeed + (toSpeed - fromSpeed) * static_cast<float>(i) / static_cast<float>(count);
      state.Location += state.Speed * 50.0 / 3600.0;
      long before = gNewCalls;
      ATS_HANDLES handles = Elapse(state, gPanelArray, gSoundArray);
      frameAllocations += gNewCalls - before;
      if (handles.Power > highestPower) highestPower = handles.Power;
    }
  };
  auto keyDown = [&](int key) {
    long before = gNewCalls;
    KeyDown(key);
    keyAllocations += gNewCalls - before;
  };
  auto keyUp = [&](int key) {
    long before = gNewCalls;
    KeyUp(key);
    keyAllocations += gNewCalls - before;
  };

  // Departure: Sifa held, forward, brake controller to fast charging, then driving position.
  keyDown(kSifaKey);
  keyDown(kMasterUp);
  frames(20, 0.0f, 0.0f);
  keyDown(kBrakeApply);
  keyDown(kBrakeApply);
  frames(100, 0.0f, 0.0f);
  keyDown(kBrakeRelease);
  keyDown(kDriveButton);
  frames(200, 0.0f, 14.0f);
  keyDown(kMasterUp);
  keyDown(kMasterUp);
  frames(400, 14.0f, 48.0f);
  keyDown(kHornKey);
  frames(20, 48.0f, 48.0f);
  keyUp(kHornKey);
  // Coasting, braking to a stop with the holding brake, Sifa released in neutral.
  keyUp(kDriveButton);
  frames(100, 48.0f, 45.0f);
  for (int i = 0; i < 4; i++) keyDown(kBrakeApply);
  frames(300, 45.0f, 0.0f);
  keyDown(kHoldingBrake);
  frames(40, 0.0f, 0.0f);
  keyUp(kHoldingBrake);
  keyDown(kMasterDown);
  keyDown(kMasterNeutral);
  keyUp(kSifaKey);
  frames(100, 0.0f, 0.0f);
  // Absurd speeds and unknown keys belong to the steady state too.
  keyDown(99);
  keyUp(-1);
  frames(10, NAN, NAN);
  frames(10, 1e30f, -1e30f);

  EXPECT_EQ(frameAllocations, 0) << "Elapse took heap memory";
  EXPECT_EQ(keyAllocations, 0) << "a key handler took heap memory";
  EXPECT_GE(highestPower, 4) << "the run never took power: driving was not covered";
  Dispose();
}

// Every cab system running, each switched on and wired; the traction is steam or diesel.
const char kEverySystem[] =
    "runpowergaps=1\nrunwipers=1\nrunawstpws=1\nrunvigilance=1\nrunoverspeed=1\nruncabindicators=1\nruntraction=1\n"
    "runpzb90=1\nsifakey=20\nspeedselectorkey=21\npowergapbehaviour=1\npowerpickuppoints=0,40\nreminderkey=30\n"
    "wiperindex=101\nwipersound=60,1\nwiperonkey=31\nwiperdelay=500\ndropstartindex=110\nnumberofdrops=20\n"
    "dropsound=61,3\nsystem=2\nawswarningsound=62\ntpwsindicator=103,300\nawsacknowledgekey=32\ntpwsresetkey=32\n"
    "vigilance=1\nvigilanceinterval=2000,1000\nvigilancekey=34\noverspeedcontrol=1\noverspeed=45\n"
    "klaxonindicator=107,300\ncustomindicators=35,108\ndoorindicator=109,130\ntravelmetermode=1\ntravelmeter01=131\n"
    "gearratios=10,20,30\ngearindicator=132\ntachometer=133\nfuelconsumption=1,2,3\nheatingpart=1\n"
    "heatingrate=1,2,3\ncutoffindicator=136\ninjectortogglekey=36\nammeter=139\nammetervalues=0,10,20\n"
    "pzb90=1\npzb90bluelamp=140,300\npzb90key=37\n";

TEST(HeapUse, frames_and_keys_take_no_heap_memory_with_every_system_running) {
  for (const char* traction : {"traction=1\n", "traction=2\n"}) {
    TempFolder folder;
    const std::string path = folder.File("Velmora.cfg");
    WriteBytes(path, std::string(kEverySystem) + traction);
    Load();
    SetVehicleSpec({8, 8, 1, 6, 4});
    SetConfigPathOverride(path.c_str());
    Initialize(0);
    SetConfigPathOverride(nullptr);
    ATS_VEHICLESTATE state = {};
    long allocations = 0;  // by frames and keys
    auto frames = [&](int count, float speed) {
      for (int i = 0; i < count; i++) {
        state.Time += 50;
        state.Speed = speed;
        state.Location += speed * 50.0 / 3600.0;
        long before = gNewCalls;
        Elapse(state, gPanelArray, gSoundArray);
        allocations += gNewCalls - before;
      }
    };
    auto key = [&](int number) {
      long before = gNewCalls;
      KeyDown(number);
      KeyUp(number);
      allocations += gNewCalls - before;
    };
    frames(20, 0.0f);
    for (int number : {20, 21, 5, 5, 15, 14, 30, 31, 31, 34, 35, 36, 37, 3, 4}) key(number);
    SetReverser(1);
    SetPower(3);
    frames(200, 30.0f);
    // A power gap's records are made by its beacon, not by the frames.
    for (int type : {20, 21, 44001, 49001, 23}) SetBeaconData({type, 0, 0.0f, 30});
    frames(400, 50.0f);  // through the gap, overspeed, the AWS and PZB brakes
    for (int number : {32, 33, 34, 37}) key(number);
    frames(300, 0.0f);
    DoorOpen();
    DoorClose();
    HornBlow(1);
    frames(200, -20.0f);

    EXPECT_EQ(allocations, 0) << traction << "a frame or a key took heap memory";
    EXPECT_NE(gPanelArray[131], 0) << "the travel meter never ran: the further systems were not covered";
    Dispose();
  }
}
