// Prints the cab wiring reference of README.md from the code's tables: keys, fixed sound
// elements, sound values, beacon types and which cab systems run; with --numbers, only the
// fixed numbers, for the check against the code's constants.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "config/confload.h"
#include "config/fixed_wiring.h"
#include "config/option_kinds.h"
#include "markdown_cell.h"
#include "plugin/atsplugin.h"

// "runvigilance=1", or "" for a system without a switch.
static const char* SwitchOf(CabSystem system) {
  const int option = kCabSystemSwitch[system];
  return option < 0 ? "" : kOptionKeys[option];
}

// When a system's key handlers answer: "while runubahn=1 (default)", "always", "with runpzb90=1".
static void PrintWhenItAnswers(CabSystem system) {
  if (kCabSystemKeysWhenOff[system]) {
    fputs("always", stdout);
  } else if (kCabSystemRuns[system]) {
    printf("while `%s1` (default)", SwitchOf(system));
  } else {
    printf("with `%s1`", SwitchOf(system));
  }
}

static void PrintFixedKeys() {
  std::vector<const KeyBinding*> fixed;
  for (int i = 0; i < kKeyBindingCount; i++) {
    if (kKeyBindings[i].option < 0) fixed.push_back(&kKeyBindings[i]);
  }
  std::sort(fixed.begin(), fixed.end(),
            [](const KeyBinding* a, const KeyBinding* b) { return a->fixedKey < b->fixedKey; });
  puts("Fixed key numbers of the U-Bahn cab (not configurable):\n");
  puts("| Key | What it does |");
  puts("|---:|---|");
  for (const KeyBinding* binding : fixed) {
    printf("| %d | ", binding->fixedKey);
    PrintCell(binding->what);
    puts(" |");
  }
}

static void PrintKeyOrder() {
  puts("\nEvery key the host reports is offered to these handlers in this order; a key number that");
  puts("several of them use reaches each of them, in this order. A handler answers only while its");
  puts("system runs, except the driver controls that have always answered:\n");
  puts("| # | Key number | What it does | Handler | Answers |");
  puts("|---:|---|---|---|---|");
  for (int i = 0; i < kKeyBindingCount; i++) {
    const KeyBinding& binding = kKeyBindings[i];
    printf("| %d | ", i + 1);
    if (binding.option < 0) {
      printf("%d", binding.fixedKey);
    } else {
      printf("`");
      PrintCell(kOptionKeys[binding.option]);
      printf("` (default %d)", static_cast<int>(kOptionDefaults[binding.option]));
    }
    fputs(" | ", stdout);
    PrintCell(binding.what);
    printf(" | `%s` | ", binding.handler);
    PrintWhenItAnswers(binding.system);
    puts(" |");
  }
}

static void PrintFixedSounds() {
  puts("\nFixed sound elements (not configurable):\n");
  puts("| Element | What plays |");
  puts("|---:|---|");
  for (int i = 0; i < kFixedSoundCount; i++) {
    const FixedSound& sound = kFixedSounds[i];
    printf("| %d | ", sound.element);
    PrintCell(sound.what);
    if (!kCabSystemRuns[sound.system]) {
      printf(" (%s, with `%s1`)", kCabSystemName[sound.system], SwitchOf(sound.system));
    }
    puts(" |");
  }
}

static void PrintSoundValues() {
  puts("\nWhat the plug-in writes into a sound element:\n");
  puts("| Value | Meaning to the host |");
  puts("|---:|---|");
  printf("| %d | the sound is stopped |\n", SOUND_STOP);
  printf("| %d | play the sound continuously (loop) |\n", SOUND_LOOP);
  printf("| %d | play the sound once |\n", SOUND_PLAY);
}

static void PrintBeacons() {
  puts("\nBeacon types:\n");
  puts("| Type | System | Signal | Distance | Optional | What it does |");
  puts("|---:|---|---|---|---|---|");
  for (int i = 0; i < kBeaconTypeCount; i++) {
    const BeaconType& beacon = kBeaconTypes[i];
    const char* cells[] = {beacon.signal, beacon.distance, beacon.optional, beacon.action};
    printf("| %d | ", beacon.type);
    PrintCell(kCabSystemName[beacon.system]);
    fputs(" |", stdout);
    for (const char* cell : cells) {
      fputs(" ", stdout);
      PrintCell(cell);
      fputs(" |", stdout);
    }
    puts("");
  }
}

static void PrintSystems() {
  puts("\nThe cab systems: the switch that runs each, whether it runs by default, and what of it acts");
  puts("while it does not run:\n");
  puts("| System | Run switch | Runs by default | What acts while it does not run |");
  puts("|---|---|---|---|");
  for (int i = 0; i < CAB_SYSTEM_COUNT; i++) {
    if (i == SYS_NONE) continue;
    fputs("| ", stdout);
    PrintCell(kCabSystemName[i]);
    const CabSystem system = static_cast<CabSystem>(i);
    if (kCabSystemSwitch[system] < 0) {
      fputs(" | none: always |", stdout);
    } else {
      printf(" | `%s` |", SwitchOf(system));
    }
    printf(" %s | ", kCabSystemRuns[i] ? "yes" : "no");
    PrintCell(kCabSystemActs[i]);
    puts(" |");
  }
}

// "key 5", "sound 75", "beacon 23": every number of the fixed wiring, one per line, for the
// check against the code's constants.
static void PrintNumbers() {
  for (int i = 0; i < kKeyBindingCount; i++) {
    if (kKeyBindings[i].option < 0) printf("key %d\n", kKeyBindings[i].fixedKey);
  }
  for (int i = 0; i < kFixedSoundCount; i++) printf("sound %d\n", kFixedSounds[i].element);
  for (int i = 0; i < kBeaconTypeCount; i++) printf("beacon %d\n", kBeaconTypes[i].type);
}

int main(int argc, char** argv) {
  if (argc > 1 && strcmp(argv[1], "--numbers") == 0) {
    PrintNumbers();
    return 0;
  }
  PrintFixedKeys();
  PrintKeyOrder();
  PrintFixedSounds();
  PrintSoundValues();
  PrintBeacons();
  PrintSystems();
  return 0;
}
