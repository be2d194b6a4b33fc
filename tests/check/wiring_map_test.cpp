// The checker's wiring map and its JSON form: who uses each element and key, in what order.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "check/config_check.h"
#include "check/report_output.h"
#include "test_files.h"

namespace {

CheckReport CheckText(const std::string& text) {
  TempFolder folder;
  WriteBytes(folder.File("Velmora.cfg"), text);
  return CheckConfigFile(folder.File("Velmora.cfg"));
}

std::vector<std::string> Labels(const std::vector<WiringUser>& users) {
  std::vector<std::string> labels;
  for (const WiringUser& user : users) labels.push_back((user.option < 0 ? "fixed " : "") + user.label);
  return labels;
}

TEST(WiringMap, lists_a_keys_handlers_in_the_order_keydown_offers_it) {
  const CheckReport report = CheckText("sifakey=0\nspeedselectorkey=0\n");
  ASSERT_EQ(report.wiring.keys.count(0), 1u);
  const std::vector<std::string> labels = Labels(report.wiring.keys.at(0));
  ASSERT_EQ(labels.size(), 4u);
  EXPECT_EQ(labels[0], "awsacknowledgekey");
  EXPECT_EQ(labels[1], "speedselectorkey");
  EXPECT_EQ(labels[2], "sifakey");
  EXPECT_EQ(labels[3].rfind("fixed trip-stop button", 0), 0u) << labels[3];
  EXPECT_EQ(report.wiring.keys.at(0)[2].line, 1);
}

TEST(WiringMap, puts_options_and_fixed_sounds_on_their_elements) {
  const CheckReport report = CheckText("sifa=7\nsifasound=75\nvigilancelamp=7\ndropstartindex=9\n");
  // An option of a system that is not run takes part when the file wires it; one left at
  // its default does not.
  EXPECT_EQ(Labels(report.wiring.panel.at(7)), (std::vector<std::string>{"vigilancelamp", "sifa"}));
  EXPECT_EQ(report.wiring.panel.count(9), 1u);
  EXPECT_EQ(report.wiring.panel.count(255), 0u);
  const std::vector<std::string> sound75 = Labels(report.wiring.sound.at(75));
  ASSERT_EQ(sound75.size(), 2u);
  EXPECT_EQ(sound75[0], "sifasound");
  EXPECT_EQ(sound75[1].rfind("fixed starting", 0), 0u) << sound75[1];
  EXPECT_EQ(report.wiring.sound.count(1), 1u);  // the emergency venting, not the idle overspeed brake too
  EXPECT_EQ(report.wiring.sound.at(1).size(), 1u);
}

TEST(WiringMap, json_escapes_what_the_file_wrote) {
  const CheckReport report = CheckText("\"quoted\"\tkey=1\n");
  FILE* out = tmpfile();
  ASSERT_NE(out, nullptr);
  PrintJson(report, true, out);
  rewind(out);
  std::string json;
  for (int c = fgetc(out); c != EOF; c = fgetc(out)) json += static_cast<char>(c);
  fclose(out);
  EXPECT_NE(json.find("\\\"quoted\\\""), std::string::npos) << json;
  EXPECT_EQ(json.find('\t'), std::string::npos) << json;
  EXPECT_NE(json.find("\"exit\": 2"), std::string::npos) << json;
  EXPECT_NE(json.find("\"wiring\""), std::string::npos) << json;
}

}  // namespace
