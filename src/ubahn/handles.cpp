// Handle arbitration (demand counts per notch and position), the U-Bahn start state, the drive button and reverser.
#include <cmath>
#include <cstdint>
#include <new>

#include "config/confload.h"
#include "plugin/tools.h"
#include "ubahn/traincontrol_overhoul.h"

ATS_HANDLES gDriver;
int32_t reverserLock[3];
int32_t* powerLock = nullptr;
int32_t* brakeLock = nullptr;
bool tractionInterlock = false;
bool initialized = false;

bool speedSelectorKey = false;
bool fahrschalterAn = false;
bool speedSelectorEngaged = false;
int32_t speedSelectorSetting = 0;
bool startmeldung = true;

// Entries in the two demand tables as they were made; 0 while a table is absent.
static int32_t powerLockCount = 0;
static int32_t brakeLockCount = 0;

// The largest demand table made: a vehicle claiming more notches gets no table at all.
const int32_t kMaxLockEntries = 1000000;

const int kSoundStarting = 75;  // the motors starting up as the drive button takes power
const int kNoKey = -1;          // the drive button option's "not configured"

int EmergencyBrakeNotch() {
  if (gTrainspecs.BrakeNotches == INT32_MAX) return -1;  // no table can exist for such a vehicle
  return gTrainspecs.BrakeNotches + 1;
}

// One demand more or less; a count stays inside the 32-bit range however often it is moved.
static void CountDemand(int32_t& count, bool apply) {
  if (apply) {
    if (count < INT32_MAX) count++;
  } else {
    if (count > INT32_MIN) count--;
  }
}

// A table of `entries` zeroed counts, or null when the number is absurd or memory is short.
static int32_t* MakeLockTable(int64_t entries, int32_t* made) {
  *made = 0;
  if (entries <= 0 || entries > kMaxLockEntries) return nullptr;
  int32_t* table = new (std::nothrow) int32_t[static_cast<size_t>(entries)];
  if (table == nullptr) return nullptr;
  for (int64_t i = 0; i < entries; i++) table[i] = 0;
  *made = static_cast<int32_t>(entries);
  return table;
}

// Highest power notch a demand may name: the vehicle's, but never past the table.
static int32_t TopPowerNotch() {
  int32_t top = powerLockCount - 1;
  return gTrainspecs.PowerNotches < top ? gTrainspecs.PowerNotches : top;
}

// Highest brake notch (the emergency notch) a demand may name, never past the table.
static int32_t TopBrakeNotch() {
  int32_t top = brakeLockCount - 1;
  int64_t emergency = static_cast<int64_t>(gTrainspecs.BrakeNotches) + 1;
  return emergency < top ? static_cast<int32_t>(emergency) : top;
}

void OperateReverser(int position, bool apply) {
  if (position < -1 || position > 1) return;
  CountDemand(reverserLock[position + 1], apply);

  if (reverserLock[1] > 0) {
    gHandles.Reverser = 0;
  } else if (reverserLock[2] > 0) {
    gHandles.Reverser = 1;
  } else if (reverserLock[0] > 0) {
    gHandles.Reverser = -1;
  }

  if (Opt(OPT_effectivervrindex) != -1) {
    SetPanelOpt(OPT_effectivervrindex, gHandles.Reverser == -1 ? 2 : gHandles.Reverser);
  }
}

void OperatePower(int notch, bool apply) {
  if (powerLock == nullptr || notch < 0 || notch > TopPowerNotch()) return;
  CountDemand(powerLock[notch], apply);

  if (tractionInterlock && Opt(OPT_tractioninterlock) == 1) {
    gHandles.Power = 0;
    return;
  }
  int32_t top = TopPowerNotch();
  for (int32_t n = 0; n <= top; n++) {
    if (powerLock[n] > 0) {
      gHandles.Power = n;
      return;
    }
  }
}

void OperateBrake(int notch, bool apply) {
  if (brakeLock == nullptr || notch < 0 || notch > TopBrakeNotch()) return;
  CountDemand(brakeLock[notch], apply);

  for (int32_t n = TopBrakeNotch(); n >= 0; n--) {
    if (brakeLock[n] > 0) {
      gHandles.Brake = n;
      if (n > 0) {
        tractionInterlock = true;
        if (Opt(OPT_tractioninterlock) == 1) gHandles.Power = 0;
      }
      return;
    }
  }
}

void SetBrakeHandle(int notch) {
  OperateBrake(gDriver.Brake, false);
  OperateBrake(notch, true);
  gDriver.Brake = notch;
}

void SetPowerHandle(int notch) {
  if (notch == 0 || gDriver.Power == 0) tractionInterlock = false;
  // With a drive button in the cab, the power handle places no demand: traction comes from the button.
  if (Opt(OPT_speedselectorkey) == kNoKey) {
    OperatePower(gDriver.Power, false);
    OperatePower(notch, true);
  }
  gDriver.Power = notch;
}

void SetReverserHandle(int position) {
  bool moving = !(gState.Speed == 0.0f);  // a speed that is not a number counts as moving
  if (Opt(OPT_reversercontrol) == 1 && moving && position != 0) return;

  OperateReverser(gDriver.Reverser, false);
  OperateReverser(position, true);
  gDriver.Reverser = position;

  int32_t neutralBrake = Opt(OPT_neutralrvrbrake);
  if (neutralBrake != 0) {
    int notch = neutralBrake == 1 ? gTrainspecs.BrakeNotches : EmergencyBrakeNotch();
    OperateBrake(notch, position == 0);
  }

  // Thrown while moving: the reverser is held in neutral until the next start.
  if (Opt(OPT_reversercontrol) == 2 && moving) OperateReverser(0, true);
}

int InitTrainControl(int brakeMode) {
  gDriver.Brake = 0;
  gDriver.Power = 0;
  gDriver.Reverser = 0;
  tractionInterlock = false;

  // The demand tables follow the vehicle as it is described now.
  delete[] powerLock;
  delete[] brakeLock;
  // A negative notch count describes no vehicle: that table stays absent.
  int64_t powerEntries = gTrainspecs.PowerNotches < 0 ? 0 : int64_t{gTrainspecs.PowerNotches} + 1;
  int64_t brakeEntries = gTrainspecs.BrakeNotches < 0 ? 0 : int64_t{gTrainspecs.BrakeNotches} + 2;
  powerLock = MakeLockTable(powerEntries, &powerLockCount);
  brakeLock = MakeLockTable(brakeEntries, &brakeLockCount);
  reverserLock[0] = 0;
  reverserLock[1] = 0;
  reverserLock[2] = 0;

  // The driver's handles stand at neutral, power 0, brake 0.
  OperateReverser(0, true);
  OperatePower(0, true);
  OperateBrake(0, true);

  initialized = true;
  speedSelectorKey = false;
  speedSelectorEngaged = false;
  speedSelectorSetting = 0;
  SifaKey = false;

  SetPanelOpt(OPT_fahrschalterstellung, fahrschalter);
  FahrschalterNull(kKeyFahrschalterNull);
  neutral = true;
  SetPanelOpt(OPT_bremsschalter1, 0);
  SetPanelOpt(OPT_bremsschalter2, 0);

  fahrschalter = kFahrschalterNeutral;
  bremsschalter = 0;
  bremsstufe = 0;
  festhaltebremse = false;
  festhaltebremsekey = false;

  bremsleitungsdruck = kStartPipePressure;
  druck_hilfsvariable = kStartPipePressure;
  fuellleitungsdruck = kFullSupplyPressure;

  SifaBremst = false;
  vorwaerts = false;
  rueckwaerts = false;
  neutral = true;
  ebremse = false;
  luftbremse = true;
  schienenstoss = false;
  tueren_geschlossen = true;

  luftbremstimer2 = gState.Time;
  fahrgaeste = 0;
  fsp_gerade_eingeschaltet = false;

  zaehlwerk1 = read_zaehlwerk1();
  zaehlwerk2 = read_zaehlwerk2();
  kilometerzaehler = read_kilometer();

  nulllage = TruncToInt(gState.Location);

  SetPanelOpt(OPT_anzeige_init, 0);
  SetPanelOpt(OPT_fahrsperre, 1);
  return 1;
}

void DestroyTrainControl() {
  if (!initialized) return;
  delete[] powerLock;
  delete[] brakeLock;
  powerLock = nullptr;
  brakeLock = nullptr;
  powerLockCount = 0;
  brakeLockCount = 0;
}

void TrainControl() {
  if (gDriver.Power > 0) startmeldung = false;  // the start message goes once power has been taken
  SetPanelOpt(OPT_anzeige_init, startmeldung ? 1 : 0);

  // Engage: the drive button takes the notch of the master controller position.
  int32_t notch = fahrschalter + 1;
  if (speedSelectorKey && speedSelectorSetting != notch && bremsschalter == 1 &&
      bremsleitungsdruck > kPipeReleased && tueren_geschlossen) {
    OperatePower(speedSelectorSetting, false);
    speedSelectorSetting = notch;
    OperatePower(speedSelectorSetting, true);
    anhaltesound = false;
    if (gState.Speed > -2.0f && gState.Speed < 2.0f && !speedSelectorEngaged) {
      SetSound(kSoundStarting, SOUND_PLAY);
    }
    speedSelectorEngaged = true;
  }

  // Cut: above the position's limit, on release, or with the brake controller moved off 1.
  // A speed that is not a number is not above the limit.
  float limit = static_cast<float>(VMax);
  bool keep = !(std::fabs(gState.Speed) > limit) && (speedSelectorKey || !speedSelectorEngaged) &&
              bremsschalter == 1;
  if (!keep) {
    OperatePower(speedSelectorSetting, false);
    speedSelectorSetting = 0;
    OperatePower(0, true);
    speedSelectorEngaged = false;
  }
}

void UBahnReverser() {
  // In brake controller position 7 the reverser keeps whatever it had.
  if (bremsschalter == 7) return;
  if (vorwaerts) gHandles.Reverser = 1;
  if (rueckwaerts) gHandles.Reverser = -1;
  if (neutral) gHandles.Reverser = 0;
}

// The drive-button picture: with or without the Sifa key held.
static void ShowDriveButton(bool withSifa) {
  if (withSifa) {
    SetPanelOpt(OPT_fahrschalter_sifa_an, 1);
    SetPanelOpt(OPT_fahrschalter_sifa_aus, 0);
  } else {
    SetPanelOpt(OPT_fahrschalter_sifa_aus, 1);
    SetPanelOpt(OPT_fahrschalter_sifa_an, 0);
  }
}

static bool IsDriveButton(int key) {
  int32_t button = Opt(OPT_speedselectorkey);
  return button != kNoKey && key == button;
}

void TrainControlKeyPressed(int key) {
  if (!IsDriveButton(key)) return;
  speedSelectorKey = true;
  if (!fahrschalterAn) SetSoundOpt(OPT_fahrtastersound, SOUND_PLAY);
  ShowDriveButton(SifaKey);
  fahrschalterAn = true;
}

void TrainControlKeyReleased(int key) {
  if (!IsDriveButton(key)) return;
  speedSelectorKey = false;
  if (fahrschalterAn) SetSoundOpt(OPT_fahrtastersound, SOUND_PLAY);
  SetPanelOpt(OPT_fahrschalter_sifa_an, 0);
  SetPanelOpt(OPT_fahrschalter_sifa_aus, 0);
  fahrschalterAn = false;
}
