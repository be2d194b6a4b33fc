// The end-to-end fixture: a host installation per test and the host's calls into the library.
#include "e2e_fixture.h"

#include <cmath>

#ifndef VELMORA_LIBRARY_PATH
#error "VELMORA_LIBRARY_PATH must name the built library"
#endif

void VelmoraHost::SetUp() {
  for (int i = 0; i < 256; i++) {
    host.panel[i] = 0;
    host.sound[i] = SOUND_STOP;
  }
  std::string error;
  ASSERT_TRUE(CreatePlayFolder(&folder, &error)) << error;
  libraryName = "Velmora";
  ASSERT_TRUE(InstallLibrary(&folder, VELMORA_LIBRARY_PATH, libraryName, &error)) << error;
  ASSERT_TRUE(EnterPlayFolder(&folder, &error)) << error;
}

void VelmoraHost::TearDown() {
  FreePlugin();
  RemovePlayFolder(&folder);
}

void VelmoraHost::InstallAs(const std::string& baseName) {
  ASSERT_EQ(plugin.module, nullptr) << "install the library under another name before loading it";
  std::string error;
  ASSERT_TRUE(InstallLibrary(&folder, VELMORA_LIBRARY_PATH, baseName, &error)) << error;
  libraryName = baseName;
}

void VelmoraHost::WriteConfig(const std::string& text) {
  ASSERT_TRUE(WriteWholeFile(folder.configPath, text)) << folder.configPath;
}

void VelmoraHost::WritePluginFile(const std::string& name, const std::string& text) {
  std::string path = JoinPath(folder.pluginDir, name);
  ASSERT_TRUE(WriteWholeFile(path, text)) << path;
}

void VelmoraHost::WriteCounter(int n, const std::string& bytes) {
  ASSERT_TRUE(WriteWholeFile(CounterFilePath(folder, n), bytes)) << CounterFilePath(folder, n);
}

std::string VelmoraHost::ReadCounter(int n) const {
  std::string bytes;
  if (!ReadWholeFile(CounterFilePath(folder, n), &bytes)) return std::string();
  return bytes;
}

bool VelmoraHost::CounterExists(int n) const { return FileExists(CounterFilePath(folder, n)); }

bool VelmoraHost::NotLoaded() const {
  if (plugin.module != nullptr) return false;
  ADD_FAILURE() << "the library is not loaded: call LoadPlugin or Start first";
  return true;
}

void VelmoraHost::LoadPlugin() {
  ASSERT_EQ(plugin.module, nullptr) << "the library is loaded already";
  std::string error;
  ASSERT_TRUE(LoadVelmoraLibrary(folder.libraryPath, &plugin, &error)) << error;
  plugin.Load();
  loaded = true;
}

void VelmoraHost::Start(int brakeNotches, int powerNotches, int brakeMode) {
  if (plugin.module == nullptr) LoadPlugin();
  if (NotLoaded()) return;
  ATS_VEHICLESPEC spec = {brakeNotches, powerNotches, 1, 6, 4};
  plugin.SetVehicleSpec(spec);
  plugin.Initialize(brakeMode);
}

void VelmoraHost::Initialize(int brakeMode) {
  if (NotLoaded()) return;
  plugin.Initialize(brakeMode);
}

ATS_HANDLES VelmoraHost::Frame(int32_t time, float newSpeed) {
  double moved = (static_cast<double>(speed) + newSpeed) / 2.0 * (static_cast<double>(time) - now) / 3600.0;
  return Frame(time, newSpeed, std::isfinite(moved) ? location + moved : location);
}

ATS_HANDLES VelmoraHost::Frame(int32_t time, float newSpeed, double newLocation) {
  now = time;
  speed = newSpeed;
  location = newLocation;
  return ElapseWith(host.panel, host.sound);
}

ATS_HANDLES VelmoraHost::RunFor(int32_t duration, float runSpeed, int32_t step) {
  int64_t end = static_cast<int64_t>(now) + duration;
  for (int64_t t = static_cast<int64_t>(now) + step; duration > 0 && step > 0; t += step) {
    if (t > end) t = end;
    Frame(static_cast<int32_t>(t), runSpeed);
    if (t == end) break;
  }
  return handles;
}

ATS_HANDLES VelmoraHost::ElapseWith(int* panel, int* sound) {
  if (NotLoaded()) return handles;
  ATS_VEHICLESTATE state = {};
  state.Location = location;
  state.Speed = speed;
  state.Time = now;
  handles = plugin.Elapse(state, panel, sound);
  return handles;
}

void VelmoraHost::SetPower(int notch) {
  if (!NotLoaded()) plugin.SetPower(notch);
}
void VelmoraHost::SetBrake(int notch) {
  if (!NotLoaded()) plugin.SetBrake(notch);
}
void VelmoraHost::SetReverser(int position) {
  if (!NotLoaded()) plugin.SetReverser(position);
}
void VelmoraHost::KeyDown(int key) {
  if (!NotLoaded()) plugin.KeyDown(key);
}
void VelmoraHost::KeyUp(int key) {
  if (!NotLoaded()) plugin.KeyUp(key);
}
void VelmoraHost::Key(int key) {
  KeyDown(key);
  KeyUp(key);
}
void VelmoraHost::HornBlow(int type) {
  if (!NotLoaded()) plugin.HornBlow(type);
}
void VelmoraHost::DoorOpen() {
  if (!NotLoaded()) plugin.DoorOpen();
}
void VelmoraHost::DoorClose() {
  if (!NotLoaded()) plugin.DoorClose();
}
void VelmoraHost::SetSignal(int signal) {
  if (!NotLoaded()) plugin.SetSignal(signal);
}
void VelmoraHost::Beacon(int type, int signal, float distance, int optional) {
  if (NotLoaded()) return;
  ATS_BEACONDATA beacon = {type, signal, distance, optional};
  plugin.SetBeaconData(beacon);
}
void VelmoraHost::Dispose() {
  if (NotLoaded()) return;
  plugin.Dispose();
  disposed = true;
}

void VelmoraHost::FreePlugin() {
  if (plugin.module != nullptr && loaded && !disposed) plugin.Dispose();
  UnloadVelmoraLibrary(&plugin);
  loaded = false;
  disposed = false;
  handles = {};
  now = 0;
  speed = 0.0f;
  location = 0.0;
}

int VelmoraHost::Panel(int index) const {
  if (index < 0 || index > 255) {
    ADD_FAILURE() << "panel index " << index << " lies outside 0..255";
    return 0;
  }
  return host.panel[index];
}

int VelmoraHost::Sound(int index) const {
  if (index < 0 || index > 255) {
    ADD_FAILURE() << "sound index " << index << " lies outside 0..255";
    return SOUND_STOP;
  }
  return host.sound[index];
}
