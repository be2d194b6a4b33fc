// Printing a check report: compiler-style lines, the wiring map, or JSON for other tools (all
// through PrintText, which shows the names of any language on a Windows console).
#include "report_output.h"

#include <string>

#include "config/confload.h"
#include "printable.h"
#include "unicode_io.h"
#include "wiring_rules.h"

namespace {

const size_t kMostFindingsShown = 100;  // compiler-style lines; JSON lists every finding
const size_t kUsersOnOneLine = 3;       // a longer list in the wiring map takes a line per user

const char* SeverityName(Severity severity) { return severity == SEVERITY_ERROR ? "error" : "warning"; }

std::string Place(const CheckReport& report, const Finding& finding) {
  const std::string file = Printable(report.file);
  if (finding.line == 0) return file;
  return file + ":" + std::to_string(finding.line) + ":" + std::to_string(finding.column);
}

void PrintMap(const char* title, const std::map<int, std::vector<WiringUser>>& map, const char* joiner, FILE* out) {
  PrintText(out, "%s\n", title);
  if (map.empty()) PrintText(out, "  none\n");
  for (const auto& entry : map) {
    PrintText(out, "  %3d  ", entry.first);
    const bool longList = entry.second.size() > kUsersOnOneLine;
    for (size_t i = 0; i < entry.second.size(); i++) {
      const char* before = i == 0 ? "" : longList ? "\n       " : joiner;
      PrintText(out, "%s%s", before, Printable(Describe(entry.second[i])).c_str());
    }
    PrintText(out, "\n");
  }
}

// "runubahn=1": a running system's switch as the file would set it.
std::string RunSwitchOn(CabSystem system) { return std::string(kOptionKeys[kCabSystemSwitch[system]]) + "1"; }

void PrintBeacons(const std::map<int, std::vector<BeaconUser>>& beacons, FILE* out) {
  PrintText(out, "Beacon types (systems in the order they are passed the beacon):\n");
  if (beacons.empty()) PrintText(out, "  none\n");
  for (const auto& entry : beacons) {
    PrintText(out, "  %5d  ", entry.first);
    for (size_t i = 0; i < entry.second.size(); i++) {
      const BeaconUser& user = entry.second[i];
      PrintText(out, "%s%s: %s", i == 0 ? "" : "\n         then ", kCabSystemName[user.system], user.what.c_str());
    }
    PrintText(out, "\n");
  }
}

// A line or column number, or null for a default, fixed wiring or the file as a whole.
std::string JsonLine(int line) { return line == 0 ? "null" : std::to_string(line); }

// Every user with the same fields: fixed or an option, the option's key name (null for fixed
// wiring), the line that set it and what it does there.
void PrintJsonMap(const char* name, const std::map<int, std::vector<WiringUser>>& map, FILE* out) {
  PrintText(out, "    %s: [", JsonString(name).c_str());
  bool firstEntry = true;
  for (const auto& entry : map) {
    PrintText(out, "%s\n      {\"number\": %d, \"users\": [", firstEntry ? "" : ",", entry.first);
    for (size_t i = 0; i < entry.second.size(); i++) {
      const WiringUser& user = entry.second[i];
      const bool fixed = user.option < 0;
      PrintText(out, "%s{\"fixed\": %s, \"option\": %s, \"line\": %s, \"does\": %s}", i > 0 ? ", " : "",
              fixed ? "true" : "false", fixed ? "null" : JsonString(user.label).c_str(), JsonLine(user.line).c_str(),
              JsonString(fixed ? user.label : user.what).c_str());
    }
    PrintText(out, "]}");
    firstEntry = false;
  }
  PrintText(out, "%s]", firstEntry ? "" : "\n    ");
}

// Every beacon type with the running systems that act on it, in the order they are passed it.
void PrintJsonBeacons(const std::map<int, std::vector<BeaconUser>>& beacons, FILE* out) {
  PrintText(out, "    \"beacons\": [");
  bool firstEntry = true;
  for (const auto& entry : beacons) {
    PrintText(out, "%s\n      {\"type\": %d, \"users\": [", firstEntry ? "" : ",", entry.first);
    for (size_t i = 0; i < entry.second.size(); i++) {
      const BeaconUser& user = entry.second[i];
      PrintText(out, "%s{\"system\": %s, \"does\": %s}", i > 0 ? ", " : "",
                JsonString(kCabSystemName[user.system]).c_str(), JsonString(user.what).c_str());
    }
    PrintText(out, "]}");
    firstEntry = false;
  }
  PrintText(out, "%s]", firstEntry ? "" : "\n    ");
}

}  // namespace

void PrintReadError(const CheckReport& report, FILE* out) {
  if (report.readError.empty()) return;
  PrintText(out, "%s: error: %s\n", Printable(report.file).c_str(), report.readError.c_str());
}

void PrintFindings(const CheckReport& report, FILE* out) {
  if (!report.readError.empty()) return;
  for (size_t i = 0; i < report.findings.size() && i < kMostFindingsShown; i++) {
    const Finding& finding = report.findings[i];
    PrintText(out, "%s: %s: %s", Place(report, finding).c_str(), SeverityName(finding.severity),
            Printable(finding.message).c_str());
    if (!finding.hint.empty()) PrintText(out, " (%s)", Printable(finding.hint).c_str());
    PrintText(out, "\n");
  }
  if (report.findings.size() > kMostFindingsShown) {
    const std::string more = std::to_string(report.findings.size() - kMostFindingsShown);
    PrintText(out, "%s: %s more findings not shown (--json lists them all)\n", Printable(report.file).c_str(),
            more.c_str());
  }
}

void PrintWiring(const CheckReport& report, FILE* out) {
  if (!report.readError.empty()) return;
  PrintText(out, "Running systems:");
  for (size_t i = 0; i < report.wiring.running.size(); i++) {
    const CabSystem system = report.wiring.running[i];
    PrintText(out, "%s %s (%s)", i == 0 ? "" : ",", kCabSystemName[system], RunSwitchOn(system).c_str());
  }
  PrintText(out, "%s\n", report.wiring.running.empty() ? " none" : "");
  PrintMap("Panel elements:", report.wiring.panel, ", ", out);
  PrintMap("Sound elements:", report.wiring.sound, ", ", out);
  PrintMap("Keys (handlers in the order they see the key):", report.wiring.keys, "; then ", out);
  PrintBeacons(report.wiring.beacons, out);
}

void PrintJson(const CheckReport& report, bool withWiring, FILE* out) {
  PrintText(out, "{\n  \"file\": %s,\n  \"exit\": %d,\n", JsonString(report.file).c_str(), ExitStatus(report));
  if (!report.readError.empty()) PrintText(out, "  \"readError\": %s,\n", JsonString(report.readError).c_str());
  PrintText(out, "  \"findings\": [");
  for (size_t i = 0; i < report.findings.size(); i++) {
    const Finding& finding = report.findings[i];
    PrintText(out, "%s\n    {\"line\": %s, \"column\": %s, \"severity\": \"%s\", \"message\": %s, \"hint\": %s}",
            i > 0 ? "," : "", JsonLine(finding.line).c_str(),
            JsonLine(finding.line == 0 ? 0 : finding.column).c_str(), SeverityName(finding.severity),
            JsonString(finding.message).c_str(), JsonString(finding.hint).c_str());
  }
  PrintText(out, "%s]", report.findings.empty() ? "" : "\n  ");
  if (withWiring && report.readError.empty()) {
    PrintText(out, ",\n  \"wiring\": {\n    \"running\": [");
    for (size_t i = 0; i < report.wiring.running.size(); i++) {
      const CabSystem system = report.wiring.running[i];
      PrintText(out, "%s{\"system\": %s, \"switch\": %s}", i > 0 ? ", " : "",
                JsonString(kCabSystemName[system]).c_str(), JsonString(RunSwitchOn(system)).c_str());
    }
    PrintText(out, "],\n");
    PrintJsonMap("panel", report.wiring.panel, out);
    PrintText(out, ",\n");
    PrintJsonMap("sound", report.wiring.sound, out);
    PrintText(out, ",\n");
    PrintJsonMap("keys", report.wiring.keys, out);
    PrintText(out, ",\n");
    PrintJsonBeacons(report.wiring.beacons, out);
    PrintText(out, "\n  }");
  }
  PrintText(out, "\n}\n");
}
