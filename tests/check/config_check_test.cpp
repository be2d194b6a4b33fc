// The checker on the sample cab with one mistake added per case: each is found on its line.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "check/config_check.h"
#include "config/confload.h"
#include "test_files.h"

#ifndef VELMORA_SAMPLE_CONFIG
#error "VELMORA_SAMPLE_CONFIG must name examples/Velmora.cfg"
#endif

namespace {

// Where a case's lines go: after the sample cab, before it, or in a file of their own.
enum Base { AFTER_SAMPLE, BEFORE_SAMPLE, ALONE };

struct Mistake {
  const char* name;
  Base base;
  std::string lines;
  int line;             // line of the finding, counted from 1 in `lines`; 0: the file as a whole
  int column;
  Severity severity;
  const char* says;     // part of the message
  const char* hint;     // part of the hint, or ""
  int exit;
};

// A case shows as its name in test listings.
void PrintTo(const Mistake& mistake, std::ostream* out) { *out << mistake.name; }

std::string Sample() { return ReadBytes(VELMORA_SAMPLE_CONFIG); }

int LineCount(const std::string& text) {
  int count = 0;
  for (char c : text) count += c == '\n';
  return count;
}

const std::string kLongComment = ";" + std::string(1100, '-');

const Mistake kMistakes[] = {
    {"unknown_key", AFTER_SAMPLE, "sifaky=20\n", 1, 1, SEVERITY_ERROR, "unknown key 'sifaky='", "'sifakey='", 2},
    {"blank_before_the_key", AFTER_SAMPLE, " sifakey=20\n", 1, 1, SEVERITY_ERROR, "blank before the key", "'sifakey='", 2},
    {"blank_before_the_equals_sign", AFTER_SAMPLE, "sifakey = 20\n", 1, 8, SEVERITY_ERROR, "blank between 'sifakey' and '='", "'sifakey='", 2},
    {"key_in_capitals", AFTER_SAMPLE, "SIFAKEY=20\n", 1, 1, SEVERITY_ERROR, "case-sensitive", "'sifakey='", 2},
    {"blank_after_the_equals_sign", AFTER_SAMPLE, "sifakey= 20\n", 1, 9, SEVERITY_ERROR, "sifakey reads 0", "'sifakey=20'", 2},
    {"plus_sign", AFTER_SAMPLE, "sifakey=+20\n", 1, 9, SEVERITY_ERROR, "'+' ends the values: sifakey reads 0", "", 2},
    {"value_beyond_32_bits", AFTER_SAMPLE, "sifakey=99999999999\n", 1, 9, SEVERITY_ERROR, "sifakey reads 2147483647", "", 2},
    {"negative_value_beyond_32_bits", AFTER_SAMPLE, "sifakey=-99999999999\n", 1, 9, SEVERITY_ERROR, "sifakey reads -2147483648", "", 2},
    {"byte_order_mark", BEFORE_SAMPLE, "\xEF\xBB\xBF", 1, 1, SEVERITY_WARNING, "byte-order mark", "", 1},
    {"letter_o_for_a_zero", AFTER_SAMPLE, "sifakey=2O\n", 1, 10, SEVERITY_ERROR, "sifakey reads 2", "digit '0'", 2},
    {"decimal_point", AFTER_SAMPLE, "sifakey=20.5\n", 1, 11, SEVERITY_ERROR, "sifakey reads 20", "", 2},
    {"stray_word_taken_for_a_longer_key", AFTER_SAMPLE, "sifa\n", 1, 1, SEVERITY_ERROR, "takes it for 'sifakey='", "'sifa='", 2},
    {"key_without_equals_sign", AFTER_SAMPLE, "fahrsperre\n", 1, 1, SEVERITY_ERROR, "not a whole key", "'fahrsperre='", 2},
    {"blank_inside_the_value_list", AFTER_SAMPLE, "vigilanceinterval=60000, 30000\n", 1, 25, SEVERITY_ERROR, "blank inside the value list", "", 2},
    {"comment_after_the_values", AFTER_SAMPLE, "tpwsresetkey=-1 ; unused\n", 1, 16, SEVERITY_WARNING, "the values end at the blank", "", 1},
    {"further_values_to_a_key_that_takes_one", AFTER_SAMPLE, "huptaster=55,56\n", 1, 13, SEVERITY_WARNING, "takes one value", "", 1},
    {"key_given_twice", AFTER_SAMPLE, "huptaster=55\n", 1, 1, SEVERITY_WARNING, "is set again: this line wins", "", 1},
    {"line_longer_than_the_reader_takes", AFTER_SAMPLE, kLongComment + "\n", 1, 1023, SEVERITY_WARNING, "longer than 1022", "", 2},
    {"panel_element_256", AFTER_SAMPLE, "sifa=256\n", 1, 1, SEVERITY_ERROR, "panel element 256 of 'sifa='", "", 2},
    {"sound_element_300", AFTER_SAMPLE, "sifasound=300\n", 1, 1, SEVERITY_ERROR, "sound element 300", "", 2},
    {"two_options_on_one_panel_element", AFTER_SAMPLE, "luefter=50\n", 1, 1, SEVERITY_WARNING, "panel element 50 is wired to 2 options", "", 1},
    {"two_options_on_one_sound_element", AFTER_SAMPLE, "fahrtastersound=90\n", 1, 1, SEVERITY_WARNING, "sound element 90 is wired to 2 options", "", 1},
    {"options_left_on_their_default_element", ALONE, "sifakey=20\n", 0, 1, SEVERITY_WARNING, "panel element 0 is wired to", "", 2},
    {"long_list_named_in_part", ALONE, "sifakey=20\n", 0, 1, SEVERITY_WARNING, "more with --wiring)", "or -1 to leave it unwired", 2},
    {"option_on_a_fixed_sound_element", AFTER_SAMPLE, "sifasound=75\n", 1, 1, SEVERITY_ERROR, "fixed sound: sifasound (line", "", 2},
    {"drive_button_sound_on_the_buzzer", AFTER_SAMPLE, "fahrtastersound=12\n", 1, 1, SEVERITY_ERROR, "override the option's sound", "-1 to leave it unwired", 2},
    {"key_reaching_several_handlers", AFTER_SAMPLE, "speedselectorkey=5\n", 1, 1, SEVERITY_WARNING,
     "key 5 reaches 2 handlers, in this order: speedselectorkey (line", "", 1},
    {"option_read_by_no_operation", AFTER_SAMPLE, "fahrgaeste=3\n", 1, 1, SEVERITY_WARNING, "no operation reads it", "", 1},
    {"option_of_a_system_the_frame_cycle_does_not_run", AFTER_SAMPLE, "vigilance=1\n", 1, 1, SEVERITY_WARNING, "not run by the frame cycle", "", 1},
    {"option_of_a_system_run_in_part", AFTER_SAMPLE, "traction=1\n", 1, 1, SEVERITY_WARNING, "acts only in part", "", 1},
    {"hash_comment", AFTER_SAMPLE, "# Sifa key\n", 1, 1, SEVERITY_ERROR, "'#' does not start a comment", "comments start with ';'", 2},
    {"slash_comment", AFTER_SAMPLE, "  // Sifa key\n", 1, 3, SEVERITY_ERROR, "'//' does not start a comment", "comments start with ';'", 2},
    {"words_after_a_blank", AFTER_SAMPLE, "huptaster=55 horn\n", 1, 13, SEVERITY_WARNING, "'horn' is ignored, huptaster reads 55", "';'", 1},
    {"minus_inside_the_value", AFTER_SAMPLE, "speedselectorkey=2-1\n", 1, 19, SEVERITY_ERROR, "makes the whole value negative: speedselectorkey reads -21", "", 2},
    {"negative_key", AFTER_SAMPLE, "reminderkey=-5\n", 1, 1, SEVERITY_WARNING, "key -5 of 'reminderkey=' can never be pressed", "write -1", 1},
    {"negative_sifa_key", AFTER_SAMPLE, "sifakey=-20\n", 1, 1, SEVERITY_ERROR, "the Sifa cannot be switched off", "", 2},
    {"negative_drive_button", AFTER_SAMPLE, "speedselectorkey=-5\n", 1, 1, SEVERITY_ERROR, "the train never takes power", "", 2},
    {"sifa_key_switched_off", AFTER_SAMPLE, "sifakey=-1\n", 1, 1, SEVERITY_ERROR, "'sifakey=' is -1, but the Sifa", "", 2},
    {"run_switch_of_two", AFTER_SAMPLE, "runvigilance=2\n", 1, 14, SEVERITY_WARNING, "'runvigilance=' takes 0 or 1: 2 counts as 1", "'runvigilance=1'", 1},
    {"wiper_keys_on_the_master_controller", ALONE, "runwipers=1\n", 1, 1, SEVERITY_WARNING,
     "key 5 reaches 2 handlers, in this order: wiperonkey (default): wiper switch up, then fixed: master controller", "", 2},
    {"trip_stop_and_tpws_on_one_beacon", AFTER_SAMPLE, "runawstpws=1\nsystem=2\nawsacknowledgekey=1\n", 1, 1, SEVERITY_WARNING,
     "beacon types 44002, 44003 and 44004 reach 2 running systems, in this order: the U-Bahn cab, then the British AWS/TPWS", "'runawstpws=0'", 1},
    {"overspeed_brake_on_the_venting_sound", AFTER_SAMPLE, "runoverspeed=1\n", 1, 1, SEVERITY_WARNING, "sound element 1 is the fixed sound of 2 running systems", "", 1},
    {"two_systems_on_one_panel_element", AFTER_SAMPLE, "runvigilance=1\nvigilancelamp=4\n", 2, 1, SEVERITY_WARNING, "panel element 4 is wired to 2 options of 2 systems", "", 1},
    {"overspeed_lamp_on_a_rain_drop", AFTER_SAMPLE, "runwipers=1\nrunoverspeed=1\ndropstartindex=200\nnumberofdrops=12\noverspeedindicator=205\n", 5, 1, SEVERITY_WARNING,
     "panel element 205 is wired to 2 options of 2 systems: overspeedindicator (line", "", 1},
    {"overspeed_alarm_on_a_drop_sound_variant", AFTER_SAMPLE, "runwipers=1\nrunoverspeed=1\ndropsound=210,3\noverspeedalarm=212\n", 4, 1, SEVERITY_WARNING,
     "sound element 212 is wired to 2 options of 2 systems", "", 1},
    {"sifa_key_for_pzb90", AFTER_SAMPLE, "runpzb90=1\npzb90key=20\n", 2, 1, SEVERITY_WARNING, "key 20 reaches 2 handlers, in this order: sifakey (line 11)", "", 1},
    {"option_of_the_switched_off_u_bahn", ALONE, "runubahn=0\nsifa=4\n", 2, 1, SEVERITY_WARNING, "'sifa=' has no effect: 'runubahn=0' on line 1 switches", "", 1},
    {"vigilance_run_but_switched_off", AFTER_SAMPLE, "runvigilance=1\n", 1, 1, SEVERITY_WARNING,
     "'runvigilance=1' runs the vigilance device, but its own switch 'vigilance=' is 0", "'vigilance=' to 1", 1},
    {"pzb90_run_without_its_key", AFTER_SAMPLE, "runpzb90=1\npzb90=1\n", 1, 1, SEVERITY_ERROR,
     "'pzb90key=' is -1, but PZB90 can never be switched on", "a key number of its own", 2},
    {"aws_run_without_its_acknowledge_key", ALONE, "runubahn=0\nrunawstpws=1\nsystem=2\nawsacknowledgekey=-1\n", 4, 1,
     SEVERITY_ERROR, "the first caution strands the train", "", 2},
    {"tpws_run_without_its_reset_key", ALONE, "runubahn=0\nrunawstpws=1\nsystem=3\ntpwsresetkey=-1\n", 4, 1,
     SEVERITY_ERROR, "the first TPWS brake (the emergency notch) is never released", "", 2},
    {"independent_vigilance_without_its_key", ALONE,
     "runubahn=0\nrunvigilance=1\nvigilance=1\nindependentvigilance=1\nvigilancekey=-1\n", 5, 1, SEVERITY_ERROR,
     "only the vigilance key resets the device", "", 2},
    {"steam_by_hand_without_an_injector_key", ALONE, "runubahn=0\nruntraction=1\ntraction=1\n", 2, 1, SEVERITY_ERROR,
     "'injectortogglekey=' is -1, but the injector never feeds the boiler", "", 2},
    {"gears_by_hand_without_a_gear_up_key", ALONE, "runubahn=0\nruntraction=1\ntraction=2\ngearratios=50,30\ngearupkey=-1\n",
     5, 1, SEVERITY_ERROR, "the gearbox never leaves neutral", "", 2},
    {"wipers_run_without_a_switch_key", ALONE, "runubahn=0\nrunwipers=1\nwiperonkey=-1\n", 3, 1, SEVERITY_WARNING,
     "the wiper can never be switched on", "", 1},
    {"aws_delay_in_seconds", ALONE, "runubahn=0\nrunawstpws=1\nsystem=1\nawsdelay=3\n", 4, 10, SEVERITY_WARNING,
     "'awsdelay=' reads 3 ms, outside the plausible", "for 3 s write 3000", 1},
    {"vigilance_interval_in_seconds", AFTER_SAMPLE, "runvigilance=1\nvigilance=1\nvigilanceinterval=60000,30\n", 3, 25,
     SEVERITY_WARNING, "the second value of 'vigilanceinterval=' reads 30 ms", "for 30 s write 30000", 1},
    {"tpws_stop_delay_in_milliseconds", ALONE, "runubahn=0\nrunawstpws=1\nsystem=2\ntpwsstopdelay=60000\n", 4, 15,
     SEVERITY_WARNING, "reads 60000 s, outside the plausible 0 to 600 s", "for 60000 ms write 60", 1},
    {"warning_above_the_brake_speed", AFTER_SAMPLE,
     "runoverspeed=1\noverspeedcontrol=1\nwarningspeed=115\noverspeed=110\nsafespeed=100\n", 4, 1, SEVERITY_WARNING,
     "'warningspeed=115' and 'overspeed=110' contradict each other: the brake comes before the warning", "", 1},
    {"release_above_the_brake_speed", AFTER_SAMPLE,
     "runoverspeed=1\noverspeedcontrol=1\nwarningspeed=105\noverspeed=110\nsafespeed=112\n", 5, 1, SEVERITY_WARNING,
     "'safespeed=112' and 'overspeed=110' contradict each other", "safespeed below overspeed", 1},
    {"release_above_the_warning_speed", AFTER_SAMPLE,
     "runoverspeed=1\noverspeedcontrol=1\nwarningspeed=100\noverspeed=110\nsafespeed=105\n", 5, 1, SEVERITY_WARNING,
     "'safespeed=105' and 'warningspeed=100' contradict each other", "", 1},
    {"fuel_use_switched_off_by_its_first_value", ALONE, "runubahn=0\nruntraction=1\ntraction=2\nfuelconsumption=0,1,2\n", 4, 1,
     SEVERITY_WARNING, "switches fuel use off: no fuel is used at any notch", "give it 1 or more", 1},
    {"gear_loop_without_its_delay", ALONE, "runubahn=0\nruntraction=1\ntraction=2\ngearratios=50,30\ngearloopsound=92\n", 5, 1,
     SEVERITY_WARNING, "the gear loop (sound 92) never plays", "'gearloopsound=92,800'", 1},
    {"wiper_end_sound_given_a_sound_index", ALONE, "runubahn=0\nrunwipers=1\nwiperindex=30\nwipersound=74,75\n", 4, 1,
     SEVERITY_WARNING, "75 acts like 1", "'wipersound=74,1'", 1},
    {"horn_lamp_without_its_time", AFTER_SAMPLE, "klaxonindicator=56\n", 1, 1, SEVERITY_WARNING, "the horn lamp never lights",
     "'klaxonindicator=56,1500'", 1},
    {"aws_option_in_tpws_train_stop_mode", ALONE, "runubahn=0\nrunawstpws=1\nsystem=3\nawsdelay=3000\n", 4, 1,
     SEVERITY_WARNING, "'awsdelay=' has no effect: with 'system=3' (line 3) only the TPWS train-stop sensor", "system=2", 1},
    {"gear_option_of_the_steam_model", ALONE, "runubahn=0\nruntraction=1\ntraction=1\nautomatic=8\ngearratios=50,30\n", 5, 1,
     SEVERITY_WARNING, "'gearratios=' has no effect: with 'traction=1' (line 3) the diesel model does not run", "", 1},
    {"aws_tpws_mode_that_is_no_mode", ALONE, "runubahn=0\nrunawstpws=1\nsystem=4\n", 2, 1, SEVERITY_WARNING,
     "its own switch 'system=' is 4: its frame routine does nothing", "", 1},
    {"executable_file", ALONE, std::string("MZ\x90\0\x03\0\0\0sifakey=20\n\x07\x08\x7f", 22), 0, 1, SEVERITY_ERROR, "not a text file: it holds NUL bytes", "", 2},
    {"file_of_control_bytes", ALONE, std::string(300, '\x1b') + "\n", 0, 1, SEVERITY_ERROR, "not a text file: most of its bytes", "", 2},
};

class CheckerFindsTheMistake : public ::testing::TestWithParam<Mistake> {};

TEST_P(CheckerFindsTheMistake, on_its_line_with_its_exit_status) {
  const Mistake& mistake = GetParam();
  const std::string sample = Sample();
  ASSERT_FALSE(sample.empty()) << VELMORA_SAMPLE_CONFIG;
  std::string text = mistake.lines;
  int first = 1;
  if (mistake.base == AFTER_SAMPLE) {
    text = sample + mistake.lines;
    first = LineCount(sample) + 1;
  } else if (mistake.base == BEFORE_SAMPLE) {
    text = mistake.lines + sample;
  }
  const int line = mistake.line == 0 ? 0 : first + mistake.line - 1;
  TempFolder folder;
  WriteBytes(folder.File("Velmora.cfg"), text);

  const CheckReport report = CheckConfigFile(folder.File("Velmora.cfg"));

  bool found = false;
  for (const Finding& finding : report.findings) {
    if (finding.message.find(mistake.says) == std::string::npos) continue;
    found = true;
    EXPECT_EQ(finding.line, line) << finding.message;
    EXPECT_EQ(finding.column, mistake.column) << finding.message;
    EXPECT_EQ(finding.severity, mistake.severity) << finding.message;
    EXPECT_NE(finding.hint.find(mistake.hint), std::string::npos) << finding.hint;
  }
  EXPECT_TRUE(found) << "nothing says \"" << mistake.says << "\"";
  EXPECT_EQ(ExitStatus(report), mistake.exit);
}

INSTANTIATE_TEST_SUITE_P(Mistakes, CheckerFindsTheMistake, ::testing::ValuesIn(kMistakes),
                         [](const ::testing::TestParamInfo<Mistake>& info) { return std::string(info.param.name); });

TEST(Checker, passes_the_sample_cab_clean) {
  const CheckReport report = CheckConfigFile(VELMORA_SAMPLE_CONFIG);
  EXPECT_TRUE(report.readError.empty()) << report.readError;
  for (const Finding& finding : report.findings) ADD_FAILURE() << finding.line << ": " << finding.message;
  EXPECT_EQ(ExitStatus(report), kExitClean);
}

TEST(Checker, names_why_a_file_cannot_be_read) {
  TempFolder folder;
  const CheckReport missing = CheckConfigFile(folder.File("Missing.cfg"));
  EXPECT_EQ(missing.readError, "no such file");
  EXPECT_EQ(ExitStatus(missing), kExitErrors);
  const CheckReport directory = CheckConfigFile(folder.path.string());
  EXPECT_NE(directory.readError.find("folder"), std::string::npos) << directory.readError;
  EXPECT_EQ(ExitStatus(directory), kExitErrors);
}

TEST(Checker, answers_a_binary_file_with_errors_on_its_lines) {
  std::string bytes;
  for (int round = 0; round < 400; round++) {
    for (int byte = 0; byte < 256; byte++) bytes += static_cast<char>((byte * 7 + round) % 256);
  }
  TempFolder folder;
  WriteBytes(folder.File("Velmora.cfg"), bytes);
  const CheckReport report = CheckConfigFile(folder.File("Velmora.cfg"));
  EXPECT_EQ(ExitStatus(report), kExitErrors);
  ASSERT_FALSE(report.findings.empty());
  // Every finding lies on one of the file's lines.
  const int lines = LineCount(bytes) + 1;
  for (const Finding& finding : report.findings) EXPECT_LE(finding.line, lines) << finding.message;
}

// A key left at its default reaches a fixed key's handler as well; that is worth a finding only
// where the default's handler shows something with this file.
TEST(Checker, reports_a_default_key_clash_only_where_its_handlers_show) {
  struct Case {
    const char* lines;
    const char* finding;
    bool reported;
  };
  const Case cases[] = {
      {"", "key 0 reaches", false},
      {"", "key 5 reaches", false},
      {"startuptest=1\n", "key 0 reaches 2 handlers, in this order: awsacknowledgekey (default)", true},
      {"wiperindicator=60\nwiperdelay=2000\n", "key 6 reaches 2 handlers, in this order: wiperoffkey (default)", true},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    WriteBytes(folder.File("Velmora.cfg"), "sifakey=20\nspeedselectorkey=21\n" + std::string(c.lines));
    bool found = false;
    for (const Finding& finding : CheckConfigFile(folder.File("Velmora.cfg")).findings) {
      found = found || finding.message.find(c.finding) != std::string::npos;
    }
    EXPECT_EQ(found, c.reported) << c.lines << c.finding;
  }
}

// An option of a system acts once the system's run switch is on, whatever value other than 0 it has.
TEST(Checker, takes_an_option_of_a_running_system_as_acting) {
  for (const char* runSwitch : {"runvigilance=0\n", "runvigilance=1\n", "runvigilance=7\n"}) {
    TempFolder folder;
    WriteBytes(folder.File("Velmora.cfg"), "sifakey=20\nspeedselectorkey=21\nvigilance=1\n" + std::string(runSwitch));
    bool notRun = false;
    for (const Finding& finding : CheckConfigFile(folder.File("Velmora.cfg")).findings) {
      notRun = notRun || finding.message.find("not run by the frame cycle") != std::string::npos;
    }
    EXPECT_EQ(notRun, std::string(runSwitch) == "runvigilance=0\n") << runSwitch;
  }
}

TEST(Checker, reports_a_vehicle_with_fewer_notches_than_the_cab_uses) {
  struct Case {
    const char* notches;
    const char* lines;
    bool brakeReported;
    bool powerReported;
  };
  const Case cases[] = {
      {"8,8", "", false, false},
      {"4,5", "", true, true},
      {"4,5", "speedselectorkey=-1\n", true, false},  // power from the driver's handle, in range
      {"9,7", "", false, true},
      {"4,5", "runubahn=0\n", false, false},  // the vehicle drives no U-Bahn cab
      {"0,0", "runubahn=0\n", false, true},  // no power notch: nothing takes power
      // The protection brakes take the emergency notch, notch 1 without a service notch.
      {"0,8", "runubahn=0\nrunawstpws=1\nsystem=2\n", false, false},
      {"0,8", "runubahn=0\nrunpzb90=1\npzb90=1\nrunvigilance=1\nvigilance=1\nneutralrvrbrake=2\n", false, false},
      {"0,8", "runubahn=0\nneutralrvrbrake=1\n", true, false},  // its brake would be notch 0
      {"0,8", "runubahn=0\nrunoverspeed=1\noverspeedcontrol=1\n", true, false},  // its brake would be notch 0
      {"1,1", "runubahn=0\nrunawstpws=1\nsystem=2\nrunoverspeed=1\noverspeedcontrol=1\n", false, false},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    WriteBytes(folder.File("Velmora.cfg"), Sample() + c.lines);
    VehicleNotches vehicle;
    ASSERT_TRUE(ParseNotches(c.notches, &vehicle));
    const CheckReport report = CheckConfigFile(folder.File("Velmora.cfg"), vehicle);
    bool brake = false;
    bool power = false;
    for (const Finding& finding : report.findings) {
      const bool aboutBrake = finding.message.find("brake notches, fewer than") != std::string::npos;
      const bool aboutPower = finding.message.find("power notches, fewer than") != std::string::npos;
      if (aboutBrake || aboutPower) {
        EXPECT_EQ(finding.line, 0) << finding.message;
      }
      brake = brake || aboutBrake;
      power = power || aboutPower;
    }
    EXPECT_EQ(brake, c.brakeReported) << c.notches << " " << c.lines;
    EXPECT_EQ(power, c.powerReported) << c.notches << " " << c.lines;
  }
  VehicleNotches vehicle;
  for (const char* bad : {"8", "8,", ",8", "8,8,8", "-1,8", "8,x", "8, 8", "9999999,8"}) {
    EXPECT_FALSE(ParseNotches(bad, &vehicle)) << bad;
  }
}

// What a finding is about acts only while its system runs; each case and its counterpart with the
// other value of the switch.
TEST(Checker, reports_only_what_the_run_switches_let_act) {
  struct Case {
    const char* lines;
    const char* finding;
    bool reported;
  };
  const Case cases[] = {
      {"sifakey=-1\n", "the Sifa cannot be switched off", true},
      {"runubahn=0\nsifakey=-1\n", "the Sifa cannot be switched off", false},
      {"vigilance=1\n", "'vigilance=' has no effect", true},
      {"runvigilance=1\nvigilance=1\n", "'vigilance=' has no effect", false},
      {"runpzb90=1\npzb90=2\n", "its own switch 'pzb90=' is 2", true},  // only 1 works
      {"runpzb90=1\npzb90=1\n", "its own switch", false},
      {"wiperindicator=60\n", "acts only in part", true},
      {"runwipers=1\nwiperindicator=60\n", "acts only in part", false},
      {"runvigilance=1\nvigilancealarm=75\n", "sound element 75 is also the cab's fixed sound", true},
      {"runubahn=0\nrunvigilance=1\nvigilancealarm=75\n", "fixed sound", false},
      {"runwipers=1\nwiperonkey=7\n", "key 7 reaches", true},
      {"runubahn=0\nrunwipers=1\nwiperonkey=7\n", "key 7 reaches", false},
      {"runubahn=0\nrunvigilance=1\nvigilancelamp=4\n", "panel element 4 is wired", false},  // sifa=4 is off
      {"runubahn=0\nrunawstpws=1\nsystem=2\n", "beacon type", false},
      {"runawstpws=1\nsystem=1\n", "beacon type", false},  // AWS alone reads no TPWS sensor
      {"runawstpws=1\nsystem=3\n", "beacon type 44003 reaches 2 running systems", true},
      {"runcabindicators=1\n", "beacon type", false},  // doors and door lamps read the platform side alike
  };
  for (const Case& c : cases) {
    TempFolder folder;
    WriteBytes(folder.File("Velmora.cfg"), Sample() + c.lines);
    bool found = false;
    for (const Finding& finding : CheckConfigFile(folder.File("Velmora.cfg")).findings) {
      found = found || finding.message.find(c.finding) != std::string::npos;
    }
    EXPECT_EQ(found, c.reported) << c.lines << c.finding;
  }
}

TEST(Checker, never_reports_a_key_or_element_switched_off) {
  TempFolder folder;
  WriteBytes(folder.File("Velmora.cfg"), Sample() + "vigilancelamp=-1\npzb90key=-1\ntpwsresetkey=-1\n");
  EXPECT_EQ(ExitStatus(CheckConfigFile(folder.File("Velmora.cfg"))), kExitClean);
}

}  // namespace
