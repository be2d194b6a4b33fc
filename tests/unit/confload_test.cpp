#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "config/confload_testing.h"
#include "config/confload.h"
#include "test_files.h"

namespace {

// Loads a configuration text over the defaults, as Initialize does.
class ConfigFile : public ::testing::Test {
 protected:
  TempFolder folder;
  int Load(const std::string& text) {
    ScrapConfig();
    SetDefaults();
    std::string file = folder.File("Velmora.cfg");
    WriteBytes(file, text);
    return LoadConfigFile(file.c_str());
  }
  std::vector<int32_t> Further(OptionId option) {
    std::vector<int32_t> values;
    int32_t value;
    for (int n = 0; OptFurther(option, n, &value); n++) values.push_back(value);
    return values;
  }
  void TearDown() override { ScrapConfig(); }
};

TEST_F(ConfigFile, table_holds_196_keys_in_order_with_their_defaults) {
  ASSERT_EQ(OPTION_COUNT, 196);
  EXPECT_STREQ(kOptionKeys[0], "system=");
  EXPECT_STREQ(kOptionKeys[OPT_sifakey], "sifakey=");
  EXPECT_EQ(OPT_sifakey, 127);
  EXPECT_STREQ(kOptionKeys[186], "taster_speicherbremse_aus=");
  EXPECT_STREQ(kOptionKeys[187], "runubahn=");  // the run switches follow every older key
  EXPECT_STREQ(kOptionKeys[195], "runpzb90=");
  SetDefaults();
  EXPECT_EQ(Opt(OPT_runubahn), 1);
  EXPECT_EQ(Opt(OPT_runpzb90), 0);
  EXPECT_EQ(Opt(OPT_overspeed), 1000);
  EXPECT_EQ(Opt(OPT_tpwsstopdelay), 60);
  EXPECT_EQ(Opt(OPT_tpwsoverridelifetime), 60);
  EXPECT_EQ(Opt(OPT_cutoffmin), -55);
  EXPECT_EQ(Opt(OPT_travelmetermode), -1);
  EXPECT_EQ(Opt(OPT_speedselectorkey), -1);
  EXPECT_EQ(Opt(OPT_fahrtastersound), -1);
  EXPECT_EQ(Opt(OPT_dropstartindex), 0);
  EXPECT_EQ(Opt(OPT_vigilancekey), 2);
  EXPECT_EQ(Opt(OPT_wiperonkey), 5);
  EXPECT_EQ(Opt(OPT_cutoffincreasekey), 5);
  for (int i = 0; i < OPTION_COUNT; i++) {
    size_t length = std::string(kOptionKeys[i]).size();
    EXPECT_LT(length, static_cast<size_t>(kKeySlot));
    EXPECT_EQ(kOptionKeys[i][length - 1], '=') << kOptionKeys[i];
    EXPECT_EQ(gOpts[i].next, nullptr) << kOptionKeys[i];
  }
}

TEST_F(ConfigFile, reads_first_value_and_further_values_in_file_order) {
  EXPECT_EQ(Load("sifakey=12\npowerpickuppoints=100,250,-30\n"), 1);
  EXPECT_EQ(Opt(OPT_sifakey), 12);
  EXPECT_EQ(OptFurtherCount(OPT_sifakey), 0);
  EXPECT_EQ(Opt(OPT_powerpickuppoints), 100);
  EXPECT_EQ(Further(OPT_powerpickuppoints), (std::vector<int32_t>{250, -30}));
}

TEST_F(ConfigFile, any_other_character_ends_the_values_of_a_line) {
  Load("speedselectorspeeds=40, 60\nsifakey=12;x\nsifa= 12\nvigilanceinterval=1.5,7\n");
  EXPECT_EQ(Opt(OPT_speedselectorspeeds), 40);
  EXPECT_EQ(Further(OPT_speedselectorspeeds), (std::vector<int32_t>{0}));
  EXPECT_EQ(Opt(OPT_sifakey), 12);
  EXPECT_EQ(Opt(OPT_sifa), 0);
  EXPECT_EQ(Opt(OPT_vigilanceinterval), 1);
  EXPECT_EQ(OptFurtherCount(OPT_vigilanceinterval), 0);
}

TEST_F(ConfigFile, minus_negates_only_digits_that_follow_it) {
  Load("awsdelay=-12\nwiperrate=12-\noverspeed=1-2\nsafespeed=-\n");
  EXPECT_EQ(Opt(OPT_awsdelay), -12);
  EXPECT_EQ(Opt(OPT_wiperrate), 12);
  EXPECT_EQ(Opt(OPT_overspeed), -12);
  EXPECT_EQ(Opt(OPT_safespeed), 0);
}

TEST_F(ConfigFile, comments_unknown_keys_leading_blanks_and_wrong_case_are_ignored) {
  Load(";sifakey=3\n system=3\nSystem=3\nnosuchkey=4\nsifakey=7\n");
  EXPECT_EQ(Opt(OPT_system), 0);
  EXPECT_EQ(Opt(OPT_sifakey), 7);
}

TEST_F(ConfigFile, a_line_shorter_than_a_key_matches_its_beginning) {
  Load("awsdelay=5\nsys\n");
  EXPECT_EQ(Opt(OPT_system), 0);
  Load("system=3\nsys\n");
  EXPECT_EQ(Opt(OPT_system), 0);
  EXPECT_EQ(Opt(OPT_awsdelay), 3000);
}

TEST_F(ConfigFile, crlf_lines_and_empty_lines_in_either_style_are_read_on) {
  Load("sifakey=4\r\n\r\nsifa=5\r\n");
  EXPECT_EQ(Opt(OPT_sifakey), 4);
  EXPECT_EQ(Opt(OPT_sifa), 5);
  // An empty line in a file with bare line feeds does not end the reading.
  Load("sifakey=4\n\n\nsifa=5\n");
  EXPECT_EQ(Opt(OPT_sifakey), 4);
  EXPECT_EQ(Opt(OPT_sifa), 5);
}

TEST_F(ConfigFile, a_byte_order_mark_at_the_start_of_the_file_is_skipped) {
  Load("\xEF\xBB\xBFsifakey=20\r\nsifa=3\r\n");
  EXPECT_EQ(Opt(OPT_sifakey), 20);
  EXPECT_EQ(Opt(OPT_sifa), 3);
  // Only at the start of the file: the same bytes before a later key still hide it.
  Load("sifa=3\n\xEF\xBB\xBFsifakey=20\n");
  EXPECT_EQ(Opt(OPT_sifakey), 0);
  // The mark is looked for within the line's length only.
  EXPECT_EQ(ByteOrderMarkLength("\xEF\xBB\xBF", 2), 0);
  EXPECT_EQ(ByteOrderMarkLength("\xEF\xBB\xBF", 3), 3);
}

TEST_F(ConfigFile, a_key_given_twice_takes_the_later_values_and_list) {
  Load("powerpickuppoints=1,2,3\npowerpickuppoints=9,8\n");
  EXPECT_EQ(Opt(OPT_powerpickuppoints), 9);
  EXPECT_EQ(Further(OPT_powerpickuppoints), (std::vector<int32_t>{8}));
  Load("powerpickuppoints=1,2,3\npowerpickuppoints=9\n");
  EXPECT_EQ(OptFurtherCount(OPT_powerpickuppoints), 0);
}

TEST_F(ConfigFile, a_long_line_is_split_after_1022_characters) {
  // The first 1022 characters hold the key and digits; the rest is read as a line of its own.
  std::string first = "sifakey=" + std::string(1014, '1');
  std::string rest = "sifa=" + std::string(473, '2');
  ASSERT_EQ(first.size() + rest.size(), 1500u);
  Load(first + rest + "\n");
  EXPECT_EQ(Opt(OPT_sifakey), INT32_MAX);
  EXPECT_EQ(Opt(OPT_sifa), INT32_MAX);
  // A line of exactly 1022 characters followed by its line feed reads on normally.
  std::string exact = "wiperrate=" + std::string(1012, '0') + "7";
  ASSERT_EQ(exact.size(), 1023u);
  Load(exact.substr(1) + "\nsifa=3\n");  // 1022 characters, then the next line
  EXPECT_EQ(Opt(OPT_sifa), 3);
}

TEST_F(ConfigFile, values_beyond_32_bits_saturate) {
  Load("sifakey=99999999999999999999\nsifa=-99999999999999999999\nwiperrate=2147483647\n"
       "wiperdelay=-2147483648\nawsdelay=2147483648\n");
  EXPECT_EQ(Opt(OPT_sifakey), INT32_MAX);
  EXPECT_EQ(Opt(OPT_sifa), INT32_MIN);
  EXPECT_EQ(Opt(OPT_wiperrate), INT32_MAX);
  EXPECT_EQ(Opt(OPT_wiperdelay), INT32_MIN);
  EXPECT_EQ(Opt(OPT_awsdelay), INT32_MAX);
}

TEST_F(ConfigFile, missing_file_keeps_defaults_and_reports_failure) {
  ScrapConfig();
  SetDefaults();
  EXPECT_EQ(LoadConfigFile(folder.File("absent.cfg").c_str()), 0);
  EXPECT_EQ(Opt(OPT_wiperrate), 1000);
}

TEST_F(ConfigFile, binary_and_empty_files_are_harmless) {
  EXPECT_EQ(Load(""), 1);
  EXPECT_EQ(Opt(OPT_wiperrate), 1000);
  std::string noise;
  for (int i = 0; i < 200000; i++) noise.push_back(static_cast<char>((i * 7919) % 256));
  EXPECT_EQ(Load(noise + "\nsifakey=9\n"), 1);
  EXPECT_EQ(Opt(OPT_sifakey), 9);
}

TEST_F(ConfigFile, many_further_values_are_all_kept_and_released) {
  std::string line = "ammetervalues=0";
  for (int i = 1; i <= 200; i++) line += "," + std::to_string(i);
  Load(line + "\n");
  int count = OptFurtherCount(OPT_ammetervalues);
  EXPECT_EQ(count, 200);
  int32_t last;
  ASSERT_TRUE(OptFurther(OPT_ammetervalues, count - 1, &last));
  EXPECT_EQ(last, count);
  ScrapConfig();
  EXPECT_EQ(OptFurtherCount(OPT_ammetervalues), 0);
  EXPECT_EQ(Opt(OPT_ammetervalues), 0);  // values stay, only the lists go
}

TEST_F(ConfigFile, further_values_are_looked_up_only_within_the_table_and_the_list) {
  Load("ammetervalues=1,2,3\n");
  int32_t value = 77;
  EXPECT_FALSE(OptFurther(OPT_ammetervalues, -1, &value));
  EXPECT_FALSE(OptFurther(OPT_ammetervalues, 2, &value));
  EXPECT_FALSE(OptFurther(OPTION_COUNT, 0, &value));
  EXPECT_EQ(value, 77);
  EXPECT_EQ(OptFurtherCount(OPTION_COUNT), 0);
  EXPECT_TRUE(OptFurther(OPT_ammetervalues, 1, &value));
  EXPECT_EQ(value, 3);
}

TEST(ConfigTable, scrap_before_the_first_defaults_leaves_the_table_alone) {
  // Before SetDefaults has run the list pointers are not known to be valid.
  ForgetDefaultsForTesting();
  OptionNode node = {5, nullptr};
  gOpts[OPT_sifakey].next = &node;
  ScrapConfig();
  EXPECT_EQ(gOpts[OPT_sifakey].next, &node);
  SetDefaults();
  EXPECT_EQ(gOpts[OPT_sifakey].next, nullptr);
}

}  // namespace
