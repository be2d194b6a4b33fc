// The check of a configuration file: reads it as the plug-in does and applies every rule.
#include "config_check.h"

#include <algorithm>

#include "config/confload.h"
#include "config_lines.h"
#include "line_rules.h"
#include "mode_rules.h"
#include "printable.h"
#include "system_rules.h"
#include "value_rules.h"
#include "wiring_rules.h"

namespace {

// Why the file is no text: it holds NUL bytes, or mostly bytes that are neither printable nor
// UTF-8 (line ends, tabs and the characters of other languages are text). Empty for a text file.
std::string NotTextReason(const std::vector<ConfigLine>& lines) {
  size_t bytes = 0;
  size_t unprintable = 0;
  for (const ConfigLine& line : lines) {
    const std::string& text = line.text;
    bytes += text.size();
    for (size_t at = 0; at < text.size();) {
      const unsigned char byte = static_cast<unsigned char>(text[at]);
      if (byte == 0) return "it holds NUL bytes";
      const int length = Utf8Length(text, at);
      const bool control = length == 1 && (byte < 0x20 || byte == 0x7F) && byte != '\t' && byte != '\r';
      if (length == 0 || control) unprintable++;
      at += length == 0 ? 1 : static_cast<size_t>(length);
    }
  }
  if (unprintable * 2 > bytes) return "most of its bytes are not printable";
  return "";
}

}  // namespace

int ExitStatus(const CheckReport& report) {
  if (!report.readError.empty()) return kExitErrors;
  int status = kExitClean;
  for (const Finding& finding : report.findings) {
    status = std::max(status, finding.severity == SEVERITY_ERROR ? kExitErrors : kExitWarnings);
  }
  return status;
}

CheckReport CheckConfigFile(const std::string& path, const VehicleNotches& vehicle) {
  CheckReport report;
  report.file = path;
  std::vector<ConfigLine> lines;
  if (!ReadConfigLines(path, &lines, &report.readError)) return report;
  const std::string notText = NotTextReason(lines);
  if (!notText.empty()) {
    // Findings about its "lines" would only repeat its bytes.
    report.findings.push_back({0, 1, SEVERITY_ERROR, "not a text file: " + notText, "is this the configuration file?"});
    ScrapConfig();
    return report;
  }
  CheckLineTexts(lines, &report.findings);
  CheckWiring(lines, &report);
  CheckRunningSystems(lines, &report);
  CheckDriving(lines, vehicle, &report);
  CheckMeantValues(lines, &report);
  CheckModes(lines, &report);
  ScrapConfig();
  std::stable_sort(report.findings.begin(), report.findings.end(), [](const Finding& a, const Finding& b) {
    return a.line != b.line ? a.line < b.line : a.column < b.column;
  });
  return report;
}
