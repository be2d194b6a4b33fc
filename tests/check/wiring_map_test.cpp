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

TEST(WiringMap, holds_the_running_systems_with_their_keys_and_beacons) {
  const CheckReport both = CheckText("runawstpws=1\nsystem=2\n");
  EXPECT_EQ(both.wiring.running, (std::vector<CabSystem>{SYS_UBAHN, SYS_AWS_TPWS}));
  ASSERT_EQ(both.wiring.beacons.at(44003).size(), 2u);
  EXPECT_EQ(both.wiring.beacons.at(44003)[0].system, SYS_UBAHN);
  EXPECT_EQ(both.wiring.beacons.at(44003)[1].system, SYS_AWS_TPWS);
  const CheckReport british = CheckText("runubahn=0\nrunawstpws=1\nsystem=2\n");
  EXPECT_EQ(british.wiring.running, (std::vector<CabSystem>{SYS_AWS_TPWS}));
  EXPECT_EQ(british.wiring.beacons.at(44003).size(), 1u);
  EXPECT_EQ(british.wiring.beacons.count(26), 0u);
  EXPECT_EQ(british.wiring.keys.count(7), 0u);  // the master controller's fixed key is gone
  EXPECT_EQ(Labels(british.wiring.keys.at(0)), (std::vector<std::string>{"awsacknowledgekey", "tpwsresetkey"}));
}

// What a printer wrote.
template <typename Printer>
std::string Printed(Printer print) {
  FILE* out = tmpfile();
  if (out == nullptr) return "no temporary file";
  print(out);
  rewind(out);
  std::string text;
  for (int c = fgetc(out); c != EOF; c = fgetc(out)) text += static_cast<char>(c);
  fclose(out);
  return text;
}

TEST(WiringMap, json_escapes_what_the_file_wrote) {
  const CheckReport report = CheckText("\"quoted\"\tkey=1\n");
  const std::string json = Printed([&](FILE* out) { PrintJson(report, true, out); });
  EXPECT_NE(json.find("\\\"quoted\\\""), std::string::npos) << json;
  EXPECT_EQ(json.find('\t'), std::string::npos) << json;
  EXPECT_NE(json.find("\"exit\": 2"), std::string::npos) << json;
  EXPECT_NE(json.find("\"wiring\""), std::string::npos) << json;
}

}  // namespace

namespace {

TEST(ReportOutput, shows_the_files_text_escaped_on_a_terminal_and_as_utf8_in_json) {
  const CheckReport report = CheckText("t\xC3\xBCr_zu=1\nbell\x07\x08\x7F=1\nsifakey=20\nt\xFCr=1\n");
  const std::string text = Printed([&](FILE* out) { PrintFindings(report, out); });
  const std::string json = Printed([&](FILE* out) { PrintJson(report, true, out); });
  for (const std::string& output : {text, json}) {
    for (char c : output) EXPECT_TRUE((static_cast<unsigned char>(c) >= 0x20 && c != '\x7F') || c == '\n') << output;
    EXPECT_EQ(output.find('\xFC'), std::string::npos) << output;
    EXPECT_NE(output.find("'t\xC3\xBCr_zu='"), std::string::npos) << output;
  }
  EXPECT_NE(text.find("bell\\x07\\x08\\x7F="), std::string::npos) << text;
  EXPECT_NE(text.find("'t\\xFCr='"), std::string::npos) << text;
  EXPECT_NE(json.find("'t\\ufffdr='"), std::string::npos) << json;
  // The whole-file finding about panel element 0 has no line; fixed and configured key
  // handlers have the same fields.
  EXPECT_NE(json.find("{\"line\": null, \"column\": null, \"severity\": \"warning\", \"message\": \"panel element 0"),
            std::string::npos) << json;
  EXPECT_NE(json.find("{\"fixed\": true, \"option\": null, \"line\": null, \"does\": \"trip-stop button"), std::string::npos) << json;
  EXPECT_NE(json.find("{\"fixed\": false, \"option\": \"sifakey\", \"line\": 3, \"does\": \"Sifa"), std::string::npos) << json;
}

TEST(ReportOutput, shows_the_running_systems_and_their_beacons_as_text_and_json) {
  const CheckReport report = CheckText("runubahn=0\nrunpzb90=1\n");
  const std::string text = Printed([&](FILE* out) { PrintWiring(report, out); });
  const std::string json = Printed([&](FILE* out) { PrintJson(report, true, out); });
  EXPECT_NE(text.find("Running systems: PZB90 (runpzb90=1)\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\n  49001  PZB90: PZB90 warning"), std::string::npos) << text;
  EXPECT_EQ(text.find("  44002  "), std::string::npos) << text;
  EXPECT_NE(json.find("\"running\": [{\"system\": \"PZB90\", \"switch\": \"runpzb90=1\"}]"), std::string::npos) << json;
  const char beacon[] = "{\"type\": 49000, \"users\": [{\"system\": \"PZB90\", \"does\": \"PZB90 signal magnet";
  EXPECT_NE(json.find(beacon), std::string::npos) << json;
}

TEST(ReportOutput, caps_the_findings_with_the_count_left_out) {
  std::string lines;
  for (int i = 0; i < 150; i++) lines += "nokey" + std::to_string(i) + "=1\n";
  const CheckReport report = CheckText(lines);
  const std::string text = Printed([&](FILE* out) { PrintFindings(report, out); });
  size_t printed = 0;
  for (char c : text) printed += c == '\n' ? 1 : 0;
  EXPECT_EQ(printed, 101u) << text;
  EXPECT_NE(text.find(std::to_string(report.findings.size() - 100) + " more findings not shown"), std::string::npos)
      << text;
}

TEST(ReportOutput, names_a_file_it_cannot_read_apart_from_the_findings) {
  const CheckReport report = CheckConfigFile("/no/such/folder/Velmora.cfg");
  EXPECT_EQ(Printed([&](FILE* out) { PrintFindings(report, out); }), "");
  EXPECT_EQ(Printed([&](FILE* out) { PrintReadError(report, out); }), "/no/such/folder/Velmora.cfg: error: no such file\n");
}

}  // namespace
