// The records the host hands over and takes back, and the plug-in's copies of them.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define ATS_CALL __stdcall
#else
#define ATS_CALL
#endif

// Sound element values understood by the host.
const int SOUND_STOP = -10000;  // the sound is stopped
const int SOUND_PLAY = 1;       // play the sound once
const int SOUND_LOOP = 0;       // play the sound continuously

struct ATS_VEHICLESPEC {
  int32_t BrakeNotches;  // service brake notches; BrakeNotches + 1 is the emergency notch
  int32_t PowerNotches;
  int32_t AtsNotch;
  int32_t B67Notch;
  int32_t Cars;
};

#pragma pack(push, 4)
struct ATS_VEHICLESTATE {
  double Location;     // m
  float Speed;         // km/h, negative when running backward
  int32_t Time;        // ms
  float BcPressure;    // kPa
  float MrPressure;    // kPa
  float ErPressure;    // kPa
  float BpPressure;    // kPa
  float SapPressure;   // kPa
  float Current;       // A
};
#pragma pack(pop)

struct ATS_BEACONDATA {
  int32_t Type;
  int32_t Signal;
  float Distance;  // m
  int32_t Optional;
};

struct ATS_HANDLES {
  int32_t Brake;
  int32_t Power;
  int32_t Reverser;  // -1 backward, 0 neutral, 1 forward
  int32_t ConstantSpeed;
};

static_assert(sizeof(ATS_VEHICLESPEC) == 20, "ATS_VEHICLESPEC is 20 bytes");
static_assert(sizeof(ATS_VEHICLESTATE) == 40, "ATS_VEHICLESTATE is 40 bytes");
static_assert(sizeof(ATS_BEACONDATA) == 16, "ATS_BEACONDATA is 16 bytes");
static_assert(sizeof(ATS_HANDLES) == 16, "ATS_HANDLES is 16 bytes");

extern ATS_VEHICLESPEC gTrainspecs;  // the vehicle as the host described it
extern ATS_VEHICLESTATE gState;      // this frame's vehicle state
extern ATS_HANDLES gHandles;         // the handle positions returned to the host
extern ATS_HANDLES gDriver;          // the driver's own handle positions
