// What the fuzz targets share: the play folder they run in, the configuration file, decoding of
// host arguments and the checks whose failure is a finding.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "plugin/atsplugin.h"

// The host's working directory inside a play folder made at first use and removed at exit:
// the train's counter folder lies at "../../../Train/Morvan", and the configuration reader reads
// the play folder's configuration file. Each input runs between these two calls.
void EnterFuzzFolder();
void LeaveFuzzFolder();

// The configuration file the plug-in reads at Initialize, and the counter files Z1..Z3.dat.
void WriteFuzzConfig(const std::string& text);
std::string FuzzCounterPath(int n);

// A configuration that wires every panel and sound element and every key the key table knows,
// each key in its own line.
std::string WiredConfigText();

// The wired configuration with every cab system running: the run switches of the further systems
// and each system's own on-switch (keys unknown to the plug-in are read over).
std::string EverySystemConfigText();

// The vehicle the targets drive unless the input describes another.
ATS_VEHICLESPEC StandardSpec();

// Ends the run as a finding, with a message, when ok is false.
void Require(bool ok, const char* what);
// The returned handles name notches of the vehicle initialized with spec: brake 0..BrakeNotches+1,
// power 0..PowerNotches, reverser -1..1. A negative notch count describes no vehicle and
// bounds nothing.
void RequireHandlesInRange(const ATS_HANDLES& handles, const ATS_VEHICLESPEC& spec);

// Beacon types some cab system reads: those below kLowBeaconTypes, and kProtectionBeaconSpan
// types from each protection base.
const int32_t kLowBeaconTypes = 64;
const int32_t kProtectionBeaconBases[2] = {44000, 49000};
const int32_t kProtectionBeaconSpan = 10;

// Host arguments decoded from the input: mostly the everyday values, with the edges mixed in.
int32_t FuzzInt(FuzzedDataProvider& data);    // small numbers, the 32-bit ends, or anything
float FuzzSpeed(FuzzedDataProvider& data);    // km/h: ordinary, negative, huge, NaN or infinite
int32_t FuzzClock(FuzzedDataProvider& data, int32_t now);  // the next frame time: on, back or wrapping
ATS_BEACONDATA FuzzBeacon(FuzzedDataProvider& data);  // a known beacon type or any, any fields
