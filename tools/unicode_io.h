// The tools' text at the system's edges: arguments, file names and console output. Inside, text
// is UTF-8; on Windows it crosses to the system as UTF-16, elsewhere bytes pass as they are.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

// The program's arguments, its own name first: on Windows from the wide command line.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// A file system path from its UTF-8 name, and the UTF-8 name of a path.
std::filesystem::path PathFromText(const std::string& name);
std::string TextFromPath(const std::filesystem::path& path);

// Opens the file named in UTF-8 as fopen does.
FILE* OpenFile(const std::string& name, const char* mode);

// Writes UTF-8 text to stream: to a Windows console as characters, elsewhere as its bytes.
// False when the stream refused it.
bool WriteText(FILE* stream, const std::string& text);
// fprintf through WriteText.
bool PrintText(FILE* stream, const char* format, ...) __attribute__((format(printf, 2, 3)));
