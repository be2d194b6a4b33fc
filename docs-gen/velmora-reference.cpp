// Writes the reference page of the release bundle, Velmora-reference.html: one HTML page of
// sections, each the Markdown of a file (the output of velmora-keys or velmora-wiring) or of a
// marked part of a README, so the bundle says what the README and the code's tables say.
//   velmora-reference PAGE.html "HEADING=FILE" "HEADING=FILE@PART"...
// A part lies between "<!-- BEGIN shipped in Velmora-reference.html: PART -->" and
// "<!-- END shipped in Velmora-reference.html: PART -->".
#include <cstdio>
#include <string>
#include <vector>

#include "markdown_html.h"

struct Section {
  std::string heading;
  std::string markdown;
};

static bool ReadWhole(const std::string& path, std::string* text) {
  FILE* file = fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) text->append(buffer, n);
  bool failed = ferror(file) != 0;
  fclose(file);
  return !failed;
}

// "HEADING=FILE[@PART]" read into a section; false with a message on stderr.
static bool ReadSection(const std::string& argument, Section* section) {
  size_t equals = argument.find('=');
  if (equals == std::string::npos || equals == 0) {
    fprintf(stderr, "velmora-reference: '%s' is not HEADING=FILE or HEADING=FILE@PART\n", argument.c_str());
    return false;
  }
  section->heading = argument.substr(0, equals);
  std::string path = argument.substr(equals + 1);
  std::string part;
  size_t at = path.rfind('@');
  if (at != std::string::npos) {
    part = path.substr(at + 1);
    path.erase(at);
  }
  std::string text;
  if (!ReadWhole(path, &text)) {
    fprintf(stderr, "velmora-reference: %s: cannot be read\n", path.c_str());
    return false;
  }
  if (part.empty()) {
    section->markdown = text;
    return true;
  }
  const std::string begin = "<!-- BEGIN shipped in Velmora-reference.html: " + part + " -->";
  const std::string end = "<!-- END shipped in Velmora-reference.html: " + part + " -->";
  size_t from = text.find(begin);
  size_t to = from == std::string::npos ? from : text.find(end, from);
  if (to == std::string::npos) {
    fprintf(stderr, "velmora-reference: %s: no part '%s' (it lies between\n  %s\nand\n  %s)\n", path.c_str(),
            part.c_str(), begin.c_str(), end.c_str());
    return false;
  }
  section->markdown = text.substr(from + begin.size(), to - from - begin.size());
  return true;
}

static const char kStyle[] =
    "body{font-family:sans-serif;max-width:70em;margin:1em auto;padding:0 1em;line-height:1.4}"
    "table{border-collapse:collapse;margin:0.5em 0}th,td{border:1px solid #bbb;padding:0.2em 0.5em;"
    "vertical-align:top;text-align:left}td.number,th.number{text-align:right}th{background:#eee}"
    "code{background:#f3f3f3}pre{background:#f3f3f3;padding:0.5em;overflow-x:auto}";

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: velmora-reference PAGE.html HEADING=FILE[@PART]...\n");
    return 2;
  }
  std::vector<Section> sections;
  for (int i = 2; i < argc; i++) {
    Section section;
    if (!ReadSection(argv[i], &section)) return 2;
    sections.push_back(section);
  }

  std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
  page += "<title>Velmora reference for train builders</title>\n<style>";
  page += kStyle;
  page += "</style>\n</head>\n<body>\n<h1>Velmora reference for train builders</h1>\n<ul>\n";
  for (size_t i = 0; i < sections.size(); i++) {
    page += "<li><a href=\"#section" + std::to_string(i + 1) + "\">" + EscapeHtml(sections[i].heading) + "</a></li>\n";
  }
  page += "</ul>\n";
  for (size_t i = 0; i < sections.size(); i++) {
    page += "<h2 id=\"section" + std::to_string(i + 1) + "\">" + EscapeHtml(sections[i].heading) + "</h2>\n";
    page += MarkdownToHtml(sections[i].markdown);
  }
  page += "</body>\n</html>\n";

  FILE* out = fopen(argv[1], "wb");
  if (out == nullptr) {
    fprintf(stderr, "velmora-reference: %s: cannot be written\n", argv[1]);
    return 2;
  }
  bool written = fwrite(page.data(), 1, page.size(), out) == page.size();
  if (fclose(out) != 0 || !written) {
    fprintf(stderr, "velmora-reference: %s: could not be written in full\n", argv[1]);
    return 2;
  }
  return 0;
}
