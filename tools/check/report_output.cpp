// Printing a check report: compiler-style lines, the wiring map, or JSON for other tools (all
// through PrintText, which shows the names of any language on a Windows console).
#include "report_output.h"

#include <string>

#include "unicode_io.h"
#include "wiring_rules.h"

namespace {

const char* SeverityName(Severity severity) { return severity == SEVERITY_ERROR ? "error" : "warning"; }

std::string Place(const CheckReport& report, const Finding& finding) {
  if (finding.line == 0) return report.file;
  return report.file + ":" + std::to_string(finding.line) + ":" + std::to_string(finding.column);
}

void PrintMap(const char* title, const std::map<int, std::vector<WiringUser>>& map, const char* joiner, FILE* out) {
  PrintText(out, "%s\n", title);
  if (map.empty()) PrintText(out, "  none\n");
  for (const auto& entry : map) {
    PrintText(out, "  %3d  ", entry.first);
    for (size_t i = 0; i < entry.second.size(); i++) {
      PrintText(out, "%s%s", i > 0 ? joiner : "", Describe(entry.second[i]).c_str());
    }
    PrintText(out, "\n");
  }
}

// A JSON string: quotes, backslashes and control characters escaped; other bytes as they are.
std::string Json(const std::string& text) {
  std::string quoted = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x80) {  // bytes of other encodings too: the output stays valid
      char code[8];
      snprintf(code, sizeof code, "\\u%04x", c);
      quoted += code;
    } else {
      quoted += static_cast<char>(c);
    }
  }
  return quoted + "\"";
}

void PrintJsonMap(const char* name, const std::map<int, std::vector<WiringUser>>& map, FILE* out) {
  PrintText(out, "    %s: [", Json(name).c_str());
  bool firstEntry = true;
  for (const auto& entry : map) {
    PrintText(out, "%s\n      {\"number\": %d, \"users\": [", firstEntry ? "" : ",", entry.first);
    for (size_t i = 0; i < entry.second.size(); i++) {
      const WiringUser& user = entry.second[i];
      PrintText(out, "%s{\"fixed\": %s, \"name\": %s, \"line\": %d, \"does\": %s}", i > 0 ? ", " : "",
              user.option < 0 ? "true" : "false", Json(user.label).c_str(), user.line, Json(user.what).c_str());
    }
    PrintText(out, "]}");
    firstEntry = false;
  }
  PrintText(out, "%s]", firstEntry ? "" : "\n    ");
}

}  // namespace

void PrintFindings(const CheckReport& report, FILE* out) {
  if (!report.readError.empty()) {
    PrintText(out, "%s: error: %s\n", report.file.c_str(), report.readError.c_str());
    return;
  }
  for (const Finding& finding : report.findings) {
    PrintText(out, "%s: %s: %s", Place(report, finding).c_str(), SeverityName(finding.severity),
            finding.message.c_str());
    if (!finding.hint.empty()) PrintText(out, " (%s)", finding.hint.c_str());
    PrintText(out, "\n");
  }
}

void PrintWiring(const CheckReport& report, FILE* out) {
  if (!report.readError.empty()) return;
  PrintMap("Panel elements:", report.wiring.panel, ", ", out);
  PrintMap("Sound elements:", report.wiring.sound, ", ", out);
  PrintMap("Keys (handlers in the order they see the key):", report.wiring.keys, "; then ", out);
}

void PrintJson(const CheckReport& report, bool withWiring, FILE* out) {
  PrintText(out, "{\n  \"file\": %s,\n  \"exit\": %d,\n", Json(report.file).c_str(), ExitStatus(report));
  if (!report.readError.empty()) PrintText(out, "  \"readError\": %s,\n", Json(report.readError).c_str());
  PrintText(out, "  \"findings\": [");
  for (size_t i = 0; i < report.findings.size(); i++) {
    const Finding& finding = report.findings[i];
    PrintText(out, "%s\n    {\"line\": %d, \"column\": %d, \"severity\": \"%s\", \"message\": %s, \"hint\": %s}",
            i > 0 ? "," : "", finding.line, finding.column, SeverityName(finding.severity),
            Json(finding.message).c_str(), Json(finding.hint).c_str());
  }
  PrintText(out, "%s]", report.findings.empty() ? "" : "\n  ");
  if (withWiring && report.readError.empty()) {
    PrintText(out, ",\n  \"wiring\": {\n");
    PrintJsonMap("panel", report.wiring.panel, out);
    PrintText(out, ",\n");
    PrintJsonMap("sound", report.wiring.sound, out);
    PrintText(out, ",\n");
    PrintJsonMap("keys", report.wiring.keys, out);
    PrintText(out, "\n  }");
  }
  PrintText(out, "\n}\n");
}
