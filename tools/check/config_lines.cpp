// Reading a configuration file line by line through the plug-in's own reader.
#include "config_lines.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "config/confload.h"
#include "unicode_io.h"

namespace {

struct LineCollector {
  std::vector<ConfigLine>* lines;
  int line;           // physical line of the last piece
  int nextColumn;     // column where the next piece starts when it continues a line
  bool lastWasFull;   // the last piece filled the reader's line: the next one continues it
};

void Collect(void* context, const char* text, int length, int start, int option) {
  LineCollector& collector = *static_cast<LineCollector*>(context);
  ConfigLine piece;
  if (collector.lastWasFull) {
    piece.line = collector.line;
    piece.column = collector.nextColumn;
  } else {
    piece.line = ++collector.line;
    piece.column = 1;
  }
  collector.lastWasFull = length == kConfigLineChars;
  collector.nextColumn = piece.column + length;
  piece.text.assign(text, static_cast<size_t>(length));
  piece.start = start;
  piece.option = option;
  piece.value = 0;
  if (option >= 0) {
    // Right after the reader took this line, the option holds this line's values.
    piece.value = gOpts[option].value;
    for (const OptionNode* node = gOpts[option].next; node != nullptr; node = node->next) {
      piece.further.push_back(node->value);
    }
  }
  collector.lines->push_back(piece);
}

// Why a file cannot be read, or empty when it can be opened.
std::string UnreadableReason(const std::string& path) {
  std::error_code error;
  std::filesystem::file_status status = std::filesystem::status(PathFromText(path), error);
  if (status.type() == std::filesystem::file_type::not_found) return "no such file";
  if (status.type() == std::filesystem::file_type::directory) return "is a folder, not a file";
  return "";
}

}  // namespace

bool ReadConfigLines(const std::string& path, std::vector<ConfigLine>* lines, std::string* error) {
  lines->clear();
  *error = UnreadableReason(path);
  if (!error->empty()) return false;
  ScrapConfig();
  SetDefaults();
  LineCollector collector = {lines, 0, 1, false};
  if (ReadConfigFile(path.c_str(), Collect, &collector) == 0) {
    *error = "cannot be read (no permission?)";
    return false;
  }
  return true;
}

std::string ReadText(const ConfigLine& line) {
  return std::string(line.text.c_str() + line.start);  // the reader stops at a NUL as well
}

bool HoldsWholeKey(const ConfigLine& line) {
  if (line.option < 0) return false;
  return ReadText(line).compare(0, strlen(kOptionKeys[line.option]), kOptionKeys[line.option]) == 0;
}

int SettingLine(const std::vector<ConfigLine>& lines, int option) {
  int line = 0;
  for (const ConfigLine& piece : lines) {
    if (piece.option == option) line = piece.line;
  }
  return line;
}
