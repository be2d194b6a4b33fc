// The built library as the host sees it: interface version, array hand-over, the reverser
// element, the beacon sounds, the configuration file beside the library and the counter files.
#include <cmath>
#include <filesystem>
#include <limits>
#include <string>

#include "e2e_fixture.h"

const int kMarker = 12345;  // a value no cab element ever shows

// Elements that no cab system drives with the default configuration: they must show exactly
// what the plug-in's reserves hold.
const int kFirstQuietElement = 100;

static void FillWithMarker(HostArrays* arrays) {
  for (int i = 0; i < 256; i++) {
    arrays->panel[i] = kMarker;
    arrays->sound[i] = kMarker;
  }
}

static int CountMarked(const int* array) {
  int count = 0;
  for (int i = 0; i < 256; i++) count += array[i] == kMarker ? 1 : 0;
  return count;
}

class HostInterface : public VelmoraHost {};

TEST_F(HostInterface, reports_interface_version_131072) {
  LoadPlugin();
  ASSERT_FALSE(NotLoaded());
  EXPECT_EQ(plugin.GetPluginVersion(), 131072);
}

TEST_F(HostInterface, survives_a_whole_host_session_with_dispose_at_the_end) {
  Start();
  Frame(0, 0.0f);
  RunFor(1000, 0.0f);
  Key(5);
  HornBlow(1);
  DoorOpen();
  DoorClose();
  SetSignal(3);
  Dispose();
  EXPECT_TRUE(disposed);
}

class HostArraysHandOver : public VelmoraHost {};

TEST_F(HostArraysHandOver, first_frame_copies_the_reserves_over_every_host_element) {
  Start();
  FillWithMarker(&host);
  Frame(0, 0.0f);
  EXPECT_EQ(CountMarked(host.panel), 0);
  EXPECT_EQ(CountMarked(host.sound), 0);
  for (int i = kFirstQuietElement; i < 256; i++) {
    EXPECT_EQ(Panel(i), 0) << "panel element " << i;
    EXPECT_EQ(Sound(i), SOUND_STOP) << "sound element " << i;
  }
}

TEST_F(HostArraysHandOver, first_frame_after_a_restart_copies_again_into_the_same_arrays) {
  Start();
  Frame(0, 0.0f);
  RunFor(500, 0.0f);
  FillWithMarker(&host);  // the host's arrays hold stale values from the run before
  Initialize(0);
  Frame(1000, 0.0f);
  EXPECT_EQ(CountMarked(host.panel), 0);
  EXPECT_EQ(CountMarked(host.sound), 0);
  EXPECT_EQ(Panel(255), 0);
  EXPECT_EQ(Sound(255), SOUND_STOP);
}

TEST_F(HostArraysHandOver, frames_with_the_same_arrays_copy_nothing) {
  Start();
  Frame(0, 0.0f);
  host.panel[200] = kMarker;
  host.sound[200] = kMarker;
  RunFor(200, 0.0f);
  EXPECT_EQ(Panel(200), kMarker);
  EXPECT_EQ(Sound(200), kMarker);
}

TEST_F(HostArraysHandOver, new_arrays_from_the_host_receive_the_reserves) {
  Start();
  Frame(0, 0.0f);
  HostArrays other;
  FillWithMarker(&other);
  ElapseWith(other.panel, other.sound);
  EXPECT_EQ(CountMarked(other.panel), 0);
  EXPECT_EQ(CountMarked(other.sound), 0);
}

TEST_F(HostArraysHandOver, null_arrays_are_not_adopted) {
  WriteConfig("reverserindex=12\n");
  Start();
  ElapseWith(nullptr, nullptr);  // a host without arrays yet: nothing may crash
  SetReverser(-1);               // lands in the reserve
  FillWithMarker(&host);
  Frame(50, 0.0f);
  EXPECT_EQ(Panel(12), 2) << "the reserve's reverser element reaches the host at adoption";
  EXPECT_EQ(CountMarked(host.panel), 0);

  // Once adopted, a frame without arrays keeps the host's arrays in use.
  ElapseWith(nullptr, nullptr);
  SetReverser(1);
  EXPECT_EQ(Panel(12), 1);
  ElapseWith(host.panel, nullptr);
  ElapseWith(nullptr, host.sound);
  SetReverser(0);
  EXPECT_EQ(Panel(12), 0);
}

class ReverserElement : public VelmoraHost {};

TEST_F(ReverserElement, shows_the_reverser_with_backward_as_2_when_configured) {
  WriteConfig("reverserindex=12\n");
  Start();
  Frame(0, 0.0f);
  SetReverser(-1);
  EXPECT_EQ(Panel(12), 2);
  SetReverser(1);
  EXPECT_EQ(Panel(12), 1);
  SetReverser(0);
  EXPECT_EQ(Panel(12), 0);
}

TEST_F(ReverserElement, writes_no_element_with_the_default_configuration) {
  Start();
  Frame(0, 0.0f);
  HostArrays before = host;
  SetReverser(-1);
  for (int i = 0; i < 256; i++) EXPECT_EQ(Panel(i), before.panel[i]) << "panel element " << i;
  SetReverser(1);
  for (int i = 0; i < 256; i++) EXPECT_EQ(Panel(i), before.panel[i]) << "panel element " << i;
}

class BeaconSounds : public VelmoraHost {
 protected:
  // One frame at this speed, the five beacon sounds stopped by the host, then the beacon.
  void PassBeacon(float atSpeed, int type, int optional) {
    now += 100;
    Frame(now, atSpeed);
    for (int element : {56, 57, 79, 80, 81}) host.sound[element] = SOUND_STOP;
    Beacon(type, 0, 0.0f, optional);
  }
};

TEST_F(BeaconSounds, type_30_plays_56_below_40_kmh_and_57_from_40_kmh) {
  Start();
  Frame(0, 0.0f);
  struct Case {
    float speed;
    int plays;
    int silent;
  } cases[] = {{39.9f, 56, 57}, {40.0f, 57, 56}, {-5.0f, 56, 57}, {120.0f, 57, 56},
               {std::numeric_limits<float>::quiet_NaN(), 57, 56}, {-std::numeric_limits<float>::infinity(), 56, 57}};
  for (const Case& c : cases) {
    PassBeacon(c.speed, 30, 0);
    EXPECT_EQ(Sound(c.plays), SOUND_PLAY) << "speed " << c.speed;
    EXPECT_EQ(Sound(c.silent), SOUND_STOP) << "speed " << c.speed;
    EXPECT_EQ(Sound(79), SOUND_STOP);
    EXPECT_EQ(Sound(80), SOUND_STOP);
    EXPECT_EQ(Sound(81), SOUND_STOP);
  }
}

TEST_F(BeaconSounds, type_31_plays_81_with_optional_data_else_79_or_80_by_speed) {
  Start();
  Frame(0, 0.0f);
  for (float atSpeed : {0.0f, 39.9f, 40.0f, 80.0f}) {
    PassBeacon(atSpeed, 31, 1);
    EXPECT_EQ(Sound(81), SOUND_PLAY) << "speed " << atSpeed;
    EXPECT_EQ(Sound(79), SOUND_STOP);
    EXPECT_EQ(Sound(80), SOUND_STOP);
  }
  PassBeacon(39.9f, 31, 0);
  EXPECT_EQ(Sound(79), SOUND_PLAY);
  EXPECT_EQ(Sound(80), SOUND_STOP);
  PassBeacon(40.0f, 31, 0);
  EXPECT_EQ(Sound(80), SOUND_PLAY);
  EXPECT_EQ(Sound(79), SOUND_STOP);
  PassBeacon(-5.0f, 31, 0);
  EXPECT_EQ(Sound(79), SOUND_PLAY);
  PassBeacon(std::numeric_limits<float>::quiet_NaN(), 31, 0);
  EXPECT_EQ(Sound(80), SOUND_PLAY);
  EXPECT_EQ(Sound(79), SOUND_STOP);
  EXPECT_EQ(Sound(56), SOUND_STOP);
  EXPECT_EQ(Sound(57), SOUND_STOP);
}

TEST_F(BeaconSounds, other_types_play_none_of_them) {
  Start();
  Frame(0, 0.0f);
  for (int type : {0, 22, 32, -30, 44002, 2147483647}) {
    PassBeacon(10.0f, type, 1);
    for (int element : {56, 57, 79, 80, 81}) EXPECT_EQ(Sound(element), SOUND_STOP) << "type " << type;
  }
}

class ConfigurationFile : public VelmoraHost {};

TEST_F(ConfigurationFile, is_read_again_at_every_initialize) {
  WriteConfig("reverserindex=12\n");
  Start();
  Frame(0, 0.0f);
  SetReverser(-1);
  EXPECT_EQ(Panel(12), 2);

  WriteConfig("reverserindex=13\n");
  Initialize(0);
  Frame(100, 0.0f);
  host.panel[12] = 0;
  SetReverser(-1);
  EXPECT_EQ(Panel(13), 2);
  EXPECT_EQ(Panel(12), 0);
}

TEST_F(ConfigurationFile, a_renamed_library_reads_the_cfg_of_its_own_name) {
  InstallAs("Other");
  WriteConfig("reverserindex=12\n");
  WritePluginFile("Velmora.cfg", "reverserindex=13\n");  // a decoy beside it
  ASSERT_NE(folder.configPath.find("Other.cfg"), std::string::npos);
  Start();
  Frame(0, 0.0f);
  SetReverser(-1);
  EXPECT_EQ(Panel(12), 2);
  EXPECT_EQ(Panel(13), 0);
}

#if !defined(_WIN32)
TEST_F(ConfigurationFile, a_library_deep_in_the_folders_still_reads_its_cfg) {
  InstallAs(std::string(250, 'v'));  // the longest file name a folder takes
  ASSERT_GT(folder.configPath.size(), 273u);
  WriteConfig("reverserindex=12\n");
  Start();
  Frame(0, 0.0f);
  SetReverser(-1);
  EXPECT_EQ(Panel(12), 2);
}

// The extension after the file name's last dot becomes "cfg"; a name without one gets ".cfg".
TEST_F(ConfigurationFile, is_found_beside_a_library_without_extension_or_in_a_folder_with_a_dot) {
  for (const char* name : {"Velmora", "plug.in/Velmora"}) {
    SCOPED_TRACE(name);
    FreePlugin();
    std::filesystem::path library = std::filesystem::path(folder.pluginDir) / name;
    std::filesystem::create_directories(library.parent_path());
    std::filesystem::copy_file(VELMORA_LIBRARY_PATH, library, std::filesystem::copy_options::overwrite_existing);
    folder.libraryPath = library.string();
    folder.configPath = library.string() + ".cfg";
    WriteConfig("reverserindex=12\n");
    Start();
    Frame(0, 0.0f);
    host.panel[12] = 0;
    SetReverser(-1);
    EXPECT_EQ(Panel(12), 2);
  }
}
#endif

TEST_F(ConfigurationFile, missing_file_leaves_the_defaults) {
  WritePluginFile("Velmora.cfg.bak", "reverserindex=12\n");
  WritePluginFile("Velmora.cfg.txt", "reverserindex=14\n");  // names only similar to the real one
  Start();
  Frame(0, 0.0f);
  SetReverser(-1);
  EXPECT_EQ(Panel(12), 0);
  EXPECT_EQ(Panel(14), 0);
}

TEST_F(ConfigurationFile, garbage_lines_neither_crash_nor_undo_the_lines_before_them) {
  std::string text = "reverserindex=12\r\n";
  for (int i = 0; i < 3000; i++) {
    char c = static_cast<char>((i * 37 + 11) % 256);
    text += c == '\n' ? 'x' : c;  // one long line of bytes, cut by the reader into pieces
  }
  text += "\nsifakey=99999999999999999999\nspeedselectorkey=-99999999999999999999\n";
  WriteConfig(text);
  Start();
  Frame(0, 0.0f);
  RunFor(500, 10.0f);
  SetReverser(-1);
  EXPECT_EQ(Panel(12), 2);
}

class CounterFiles : public VelmoraHost {};

TEST_F(CounterFiles, absurd_contents_are_read_without_harm_and_left_as_they_are) {
  std::string binary;
  for (int i = 0; i < 256; i++) binary += static_cast<char>(i);
  const std::string huge(5000, '9');
  const std::string absurd("-12abc\r\n\0\xff 77", 13);
  WriteCounter(1, binary);
  WriteCounter(2, huge);
  WriteCounter(3, absurd);
  Start();
  Frame(0, 0.0f);
  RunFor(1000, 0.0f);
  Initialize(0);
  Frame(1050, 0.0f);
  // Reading at Initialize leaves the files alone; only a counting event may rewrite them.
  EXPECT_EQ(ReadCounter(1), binary);
  EXPECT_EQ(ReadCounter(2), huge);
  EXPECT_EQ(ReadCounter(3), absurd);
}

TEST_F(CounterFiles, missing_files_are_not_created_by_initialize) {
  Start();
  Frame(0, 0.0f);
  RunFor(500, 0.0f);
  EXPECT_FALSE(CounterExists(1));
  EXPECT_FALSE(CounterExists(2));
  EXPECT_FALSE(CounterExists(3));
}

TEST_F(CounterFiles, a_missing_train_folder_is_harmless) {
  // The host started from a folder without "../../../Train/Morvan/" above it: the root of
  // the play folder, whose third level up holds no train folder.
  std::string error;
  std::string previousDir = folder.previousDir;
  std::string workDir = folder.workDir;
  folder.workDir = folder.root;
  ASSERT_TRUE(EnterPlayFolder(&folder, &error)) << error;
  folder.workDir = workDir;
  folder.previousDir = previousDir;
  Start();
  Frame(0, 0.0f);
  Key(0);  // the trip-stop button counts into counter 1
  RunFor(2000, 50.0f);
  Beacon(44002, 0, 0.0f, 0);
  RunFor(2000, 50.0f);
  EXPECT_FALSE(CounterExists(1));
  EXPECT_FALSE(CounterExists(2));
}

class RepeatedLoading : public VelmoraHost {};

// A host loads and frees the plug-in with every train it loads anew, as often as its user likes.
TEST_F(RepeatedLoading, three_thousand_loads_and_frees_in_one_process_all_work) {
  const int kRounds = 3000;
  WriteConfig("reverserindex=12\n");
  for (int round = 1; round <= kRounds; round++) {
    ASSERT_NO_FATAL_FAILURE(Start()) << "round " << round;
    Frame(0, 0.0f);
    RunFor(200, 20.0f);
    host.panel[12] = 0;
    SetReverser(-1);
    ASSERT_EQ(Panel(12), 2) << "round " << round;
    Dispose();
    FreePlugin();
  }
}
