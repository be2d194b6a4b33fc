// The lines of a configuration file as the plug-in reads them, with their place and what each set.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One line as the plug-in's reader takes it. A physical line longer than the reader's line
// comes as several pieces, each read as a line of its own.
struct ConfigLine {
  int line;                     // physical line, from 1
  int column;                   // column of the piece's first character, from 1
  std::string text;             // the piece as stored by the reader (a CR before the LF included)
  int start;                    // characters skipped before reading (a byte-order mark)
  int option;                   // the option the piece set, or -1
  int32_t value;                // the option's first value as this piece left it
  std::vector<int32_t> further; // its further values as this piece left them
};

// Reads the file with the plug-in's own reader over the defaults; gOpts holds what the plug-in
// would hold afterwards. False, with the reason, when the file cannot be read.
bool ReadConfigLines(const std::string& path, std::vector<ConfigLine>* lines, std::string* error);

// The text the reader matched and read: after the skipped characters, up to a NUL.
std::string ReadText(const ConfigLine& line);
// True when the line set its option by holding the whole key, not only its beginning.
bool HoldsWholeKey(const ConfigLine& line);
// The physical line that set the option last; 0 when it keeps its default.
int SettingLine(const std::vector<ConfigLine>& lines, int option);
