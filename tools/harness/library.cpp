// Loading a built Velmora library and resolving its sixteen entry points, as the host does.
#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "harness/harness.h"
#include "unicode_io.h"

#if defined(_WIN32)
// The loader's error number in words, with the number for reference.
static std::string WindowsLoadError(DWORD code) {
  std::string words;
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      words = "there is no such file";
      break;
    case ERROR_ACCESS_DENIED:
      words = "access to the file is denied";
      break;
    case ERROR_MOD_NOT_FOUND:
      words = "Windows cannot find the file or a DLL that it needs";
      break;
    case ERROR_PROC_NOT_FOUND:
      words = "a DLL it needs lacks a function it imports";
      break;
    case ERROR_BAD_EXE_FORMAT:
      words = "it is not a valid library for this 32-bit Windows program";
      break;
    case ERROR_DLL_INIT_FAILED:
      words = "its start-up routine failed";
      break;
    default: {
      char text[512] = {0};
      DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                    sizeof text, nullptr);
      while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == '.')) length--;
      words = length > 0 ? std::string(text, length) : "Windows cannot load it";
    }
  }
  return words + " (Windows error " + std::to_string(code) + ")";
}
#endif

// Opens the module; on failure why says in words what is wrong, naming the file as shown.
static void* OpenModule(const std::string& path, const std::string& shown, std::string* why) {
#if defined(_WIN32)
  // No error box from the system for a file it cannot load: the message is ours to give.
  UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryW(PathFromText(path).c_str());
  DWORD code = GetLastError();
  SetErrorMode(previous);
  if (module == nullptr) *why = WindowsLoadError(code);
  return reinterpret_cast<void*>(module);
#else
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    const char* message = dlerror();
    std::string text = message != nullptr ? message : "the system loader refused it";
    // The loader's message starts with the path it was given: that is the copy, so leave it out,
    // and name the user's file wherever else the copy appears.
    if (text.rfind(path + ": ", 0) == 0) text.erase(0, path.size() + 2);
    for (size_t at = text.find(path); at != std::string::npos; at = text.find(path, at + shown.size())) {
      text.replace(at, path.size(), shown);
    }
    *why = text;
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

bool LoadVelmoraLibrary(const std::string& path, VelmoraLibrary* library, std::string* error,
                        const std::string& shownAs) {
  *library = VelmoraLibrary();
  const std::string shown = shownAs.empty() ? path : shownAs;
  std::string why = LibraryMismatch(path);
  void* module = why.empty() ? OpenModule(path, shown, &why) : nullptr;
  if (module == nullptr) {
    *error = "cannot load the library " + shown + ": " + why;
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
    *error = "the library " + shown + " does not export the entry point " + missing +
             ", so it is no plug-in for this host interface";
    return false;
  }
  *library = found;
  return true;
}

void UnloadVelmoraLibrary(VelmoraLibrary* library) {
  if (library->module != nullptr) CloseModule(library->module);
  *library = VelmoraLibrary();
}
