// The check of a configuration file: reads it as the plug-in does and applies every rule.
#include "config_check.h"

#include <algorithm>

#include "config/confload.h"
#include "config_lines.h"
#include "line_rules.h"
#include "wiring_rules.h"

int ExitStatus(const CheckReport& report) {
  if (!report.readError.empty()) return kExitErrors;
  int status = kExitClean;
  for (const Finding& finding : report.findings) {
    status = std::max(status, finding.severity == SEVERITY_ERROR ? kExitErrors : kExitWarnings);
  }
  return status;
}

CheckReport CheckConfigFile(const std::string& path) {
  CheckReport report;
  report.file = path;
  std::vector<ConfigLine> lines;
  if (!ReadConfigLines(path, &lines, &report.readError)) return report;
  CheckLineTexts(lines, &report.findings);
  CheckWiring(lines, &report);
  ScrapConfig();
  std::stable_sort(report.findings.begin(), report.findings.end(), [](const Finding& a, const Finding& b) {
    return a.line != b.line ? a.line < b.line : a.column < b.column;
  });
  return report;
}
