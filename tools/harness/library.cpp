// Loading a built Velmora library and resolving its sixteen entry points, as the host does.
#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "harness/harness.h"

static void* OpenModule(const std::string& path, std::string* why) {
#if defined(_WIN32)
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) *why = "LoadLibrary failed with error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(module);
#else
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    const char* message = dlerror();
    *why = message != nullptr ? message : "dlopen failed";
  }
  return module;
#endif
}

static void CloseModule(void* module) {
#if defined(_WIN32)
  FreeLibrary(reinterpret_cast<HMODULE>(module));
#else
  dlclose(module);
#endif
}

// Address of an exported entry point, or null.
static void* FindEntry(void* module, const char* name) {
#if defined(_WIN32)
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(module), name));
#else
  return dlsym(module, name);
#endif
}

// Resolves one entry point into its typed slot; false when the library lacks it.
template <typename Proc>
static bool Resolve(void* module, const char* name, Proc* slot, std::string* missing) {
  void* address = FindEntry(module, name);
  if (address == nullptr) {
    if (missing->empty()) *missing = name;
    return false;
  }
  *slot = reinterpret_cast<Proc>(address);
  return true;
}

bool LoadVelmoraLibrary(const std::string& path, VelmoraLibrary* library, std::string* error) {
  *library = VelmoraLibrary();
  std::string why;
  void* module = OpenModule(path, &why);
  if (module == nullptr) {
    *error = "cannot load library " + path + ": " + why;
    return false;
  }
  VelmoraLibrary found;
  found.module = module;
  std::string missing;
  bool all = true;
  all = Resolve(module, "Load", &found.Load, &missing) && all;
  all = Resolve(module, "Dispose", &found.Dispose, &missing) && all;
  all = Resolve(module, "GetPluginVersion", &found.GetPluginVersion, &missing) && all;
  all = Resolve(module, "SetVehicleSpec", &found.SetVehicleSpec, &missing) && all;
  all = Resolve(module, "Initialize", &found.Initialize, &missing) && all;
  all = Resolve(module, "Elapse", &found.Elapse, &missing) && all;
  all = Resolve(module, "SetPower", &found.SetPower, &missing) && all;
  all = Resolve(module, "SetBrake", &found.SetBrake, &missing) && all;
  all = Resolve(module, "SetReverser", &found.SetReverser, &missing) && all;
  all = Resolve(module, "KeyDown", &found.KeyDown, &missing) && all;
  all = Resolve(module, "KeyUp", &found.KeyUp, &missing) && all;
  all = Resolve(module, "HornBlow", &found.HornBlow, &missing) && all;
  all = Resolve(module, "DoorOpen", &found.DoorOpen, &missing) && all;
  all = Resolve(module, "DoorClose", &found.DoorClose, &missing) && all;
  all = Resolve(module, "SetSignal", &found.SetSignal, &missing) && all;
  all = Resolve(module, "SetBeaconData", &found.SetBeaconData, &missing) && all;
  if (!all) {
    CloseModule(module);
    *error = "library " + path + " does not export the entry point " + missing;
    return false;
  }
  *library = found;
  return true;
}

void UnloadVelmoraLibrary(VelmoraLibrary* library) {
  if (library->module != nullptr) CloseModule(library->module);
  *library = VelmoraLibrary();
}
