// The cab's fixed sound elements on the built library: with both configurable U-Bahn sounds
// unwired, a day's driving writes exactly the sound elements that the fixed-wiring table lists.
#include <set>
#include <string>

#include "config/fixed_wiring.h"
#include "e2e_fixture.h"

namespace {

const int kUntouched = 12345;  // a sound value the plug-in never writes
const int kStep = 50;          // ms between frames

const int kKeyTripStop = 0;
const int kKeyHorn = 2;
const int kKeyAnnouncement = 4;
const int kKeyUp = 5;
const int kKeyNeutral = 7;
const int kKeyLeft = 8;
const int kKeyClose = 9;
const int kKeyRight = 10;
const int kKeySpringApply = 11;
const int kKeySpringRelease = 12;
const int kKeyHoldingBrake = 13;
const int kKeyBrakeRelease = 14;
const int kKeyBrakeApply = 15;
const int kKeySifa = 20;
const int kKeyDrive = 21;
const int kPanelDoorsClosed = 100;

class FixedSoundsOnTheRealLibrary : public VelmoraHost {
 protected:
  std::set<int> written;  // every sound element the plug-in wrote

  // Marks the host's sound array, lets the plug-in act, and notes what it wrote.
  template <typename Call>
  void Watch(Call call) {
    for (int i = 0; i < 256; i++) host.sound[i] = kUntouched;
    call();
    for (int i = 0; i < 256; i++) {
      if (host.sound[i] != kUntouched) written.insert(i);
    }
  }
  void Press(int key) { Watch([&] { Key(key); }); }
  void Down(int key) { Watch([&] { KeyDown(key); }); }
  void Up(int key) { Watch([&] { KeyUp(key); }); }
  void Pass(int type, int signal, int optional) { Watch([&] { Beacon(type, signal, 0.0f, optional); }); }
  // Frames for `duration` ms with the speed changing evenly from `from` to `to`.
  void Drive(int duration, float from, float to) {
    for (int t = kStep; t <= duration; t += kStep) {
      const float at = from + (to - from) * static_cast<float>(t) / static_cast<float>(duration);
      Watch([&] { Frame(now + kStep, at); });
    }
  }
};

TEST_F(FixedSoundsOnTheRealLibrary, a_days_driving_writes_exactly_the_listed_fixed_sounds) {
  WriteConfig("sifakey=20\nspeedselectorkey=21\nsifasound=-1\nfahrtastersound=-1\ntuer_zu=100\n");
  Start();
  Frame(0, 0.0f);
  for (int i = 0; i < 256; i++) {
    if (host.sound[i] != SOUND_STOP) written.insert(i);  // written before the first frame
  }
  // Horn, announcements and the spring brake at a standstill.
  Down(kKeyHorn);
  Drive(500, 0, 0);
  Up(kKeyHorn);
  Drive(1500, 0, 0);
  Watch([&] { HornBlow(0); });
  Drive(1500, 0, 0);
  Watch([&] { HornBlow(0); });
  Press(kKeySpringApply);
  Drive(1500, 0, 0);
  Down(kKeySpringRelease);
  Drive(3000, 0, 0);
  Up(kKeySpringRelease);
  Press(kKeySpringRelease);
  // Doors on both sides: boarding, passengers holding the doors, a release on the wrong side.
  Pass(23, 0, 1);
  Pass(25, 0, 20);
  Press(kKeyRight);
  Drive(2000, 0, 0);
  Press(kKeyClose);
  Drive(12000, 0, 0);
  Press(kKeyRight);
  Drive(25000, 0, 0);
  Press(kKeyClose);
  Drive(8000, 0, 0);
  Pass(23, 0, 2);
  Press(kKeyLeft);
  Drive(2000, 0, 0);
  Press(kKeyClose);
  Drive(8000, 0, 0);
  Press(kKeyRight);
  Drive(1000, 0, 0);
  Press(kKeyClose);
  Drive(8000, 0, 0);
  Pass(23, 0, 1);
  Press(kKeyLeft);
  Drive(1000, 0, 0);
  Press(kKeyClose);
  Drive(8000, 0, 0);
  // Departure: Sifa held, forward, pipe charged, drive button up to overspeed.
  Down(kKeySifa);
  Press(kKeyUp);
  Drive(100, 0, 0);
  ASSERT_EQ(Panel(kPanelDoorsClosed), 1) << "the doors are closed before departure";
  Press(kKeyBrakeApply);
  Press(kKeyBrakeApply);
  Drive(15000, 0, 0);
  Press(kKeyBrakeRelease);
  Down(kKeyDrive);
  for (int step = 0; step < 4; step++) Press(kKeyUp);
  Drive(20000, 0, 45);
  Pass(26, 0, 0);
  Pass(28, 0, 1);
  Pass(29, 0, 1);
  Pass(30, 0, 0);
  Pass(31, 0, 0);
  Pass(31, 0, 1);
  Press(kKeyAnnouncement);
  Drive(20000, 45, 78);
  Pass(28, 0, 0);
  Pass(29, 0, 0);
  Drive(3000, 78, 78);
  Up(kKeyDrive);
  // Braking down to a stop on the holding brake, then the service and emergency positions.
  Drive(5000, 78, 30);
  Pass(30, 0, 0);
  Pass(31, 0, 0);
  for (int step = 0; step < 5; step++) Press(kKeyBrakeApply);
  Drive(5000, 30, 12);
  Press(kKeyHoldingBrake);
  Drive(8000, 12, 0);
  Press(kKeyBrakeApply);
  Press(kKeyBrakeApply);
  Drive(2000, 0, 0);
  for (int step = 0; step < 7; step++) Press(kKeyBrakeRelease);
  Drive(15000, 0, 0);
  // Trips at stop signals reset with the spring brake applied and released, then an override.
  Drive(3000, 0, 20);
  Pass(44002, 0, 0);
  Drive(5000, 20, 0);
  Press(kKeySpringApply);
  Drive(1500, 0, 0);
  Down(kKeyTripStop);
  Drive(2000, 0, 0);
  Up(kKeyTripStop);
  Drive(15000, 0, 0);
  Drive(3000, 0, 20);
  Pass(44002, 0, 0);
  Drive(5000, 20, 0);
  Down(kKeyTripStop);
  Drive(2000, 0, 0);
  Up(kKeyTripStop);
  Drive(15000, 0, 0);
  Down(kKeyTripStop);
  Drive(1000, 0, 5);
  Pass(44002, 0, 0);
  Up(kKeyTripStop);
  Drive(2000, 5, 0);
  Press(kKeyNeutral);
  Up(kKeySifa);
  Drive(3000, 0, 0);

  std::set<int> listed;
  for (int i = 0; i < kFixedSoundCount; i++) {
    if (kCabSystemRuns[kFixedSounds[i].system]) listed.insert(kFixedSounds[i].element);
  }
  for (int element : written) {
    EXPECT_EQ(listed.count(element), 1u) << "sound element " << element << " is not in src/config/fixed_wiring.def";
  }
  std::string unheard;
  for (int element : listed) {
    if (written.count(element) == 0) unheard += " " + std::to_string(element);
  }
  EXPECT_EQ(unheard, "") << "listed fixed sounds that the drive never wrote";
}

}  // namespace
