// Turning the Markdown of the README sections into HTML, block by block: a fenced code block, a
// heading, a table, a list or a paragraph; blank lines and HTML comments separate them.
#include "markdown_html.h"

#include <cctype>
#include <sstream>
#include <vector>

std::string EscapeHtml(const std::string& text) {
  std::string html;
  for (char c : text) {
    if (c == '&') {
      html += "&amp;";
    } else if (c == '<') {
      html += "&lt;";
    } else if (c == '>') {
      html += "&gt;";
    } else if (c == '"') {
      html += "&quot;";
    } else {
      html += c;
    }
  }
  return html;
}

// The end of a span that opens at `from` with `mark` and closes with the same mark, or npos.
static size_t SpanEnd(const std::string& text, size_t from, const std::string& mark) {
  return text.find(mark, from + mark.size());
}

// One line of running text: `code`, **strong** and [text](address); everything else escaped.
static std::string Inline(const std::string& text) {
  std::string html;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '`') {
      size_t end = SpanEnd(text, i, "`");
      if (end != std::string::npos) {
        html += "<code>" + EscapeHtml(text.substr(i + 1, end - i - 1)) + "</code>";
        i = end + 1;
        continue;
      }
    } else if (text.compare(i, 2, "**") == 0) {
      size_t end = SpanEnd(text, i, "**");
      if (end != std::string::npos) {
        html += "<strong>" + Inline(text.substr(i + 2, end - i - 2)) + "</strong>";
        i = end + 2;
        continue;
      }
    } else if (text[i] == '[') {
      // A link only where the bracket closes straight into the address: "[text](address)".
      size_t close = text.find(']', i);
      bool link = close != std::string::npos && text.compare(close, 2, "](") == 0;
      size_t end = link ? text.find(')', close) : std::string::npos;
      if (end != std::string::npos) {
        html += "<a href=\"" + EscapeHtml(text.substr(close + 2, end - close - 2)) + "\">" +
                Inline(text.substr(i + 1, close - i - 1)) + "</a>";
        i = end + 1;
        continue;
      }
    }
    html += EscapeHtml(std::string(1, text[i]));
    i++;
  }
  return html;
}

static bool StartsWith(const std::string& line, const char* prefix) {
  return line.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

static bool Blank(const std::string& line) {
  return line.find_first_not_of(" \t") == std::string::npos;
}

// The heading level of "## Title" (1 to 6), or 0 for a line that is no heading.
static int HeadingLevel(const std::string& line) {
  size_t hashes = line.find_first_not_of('#');
  if (hashes == 0 || hashes > 6 || hashes == std::string::npos || line[hashes] != ' ') return 0;
  return static_cast<int>(hashes);
}

// The text of a list item ("- text", "12. text"), or false for a line that starts none.
static bool ListItem(const std::string& line, bool* numbered, std::string* text) {
  if (StartsWith(line, "- ")) {
    *numbered = false;
    *text = line.substr(2);
    return true;
  }
  size_t digits = 0;
  while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits]))) digits++;
  if (digits == 0 || line.compare(digits, 2, ". ") != 0) return false;
  *numbered = true;
  *text = line.substr(digits + 2);
  return true;
}

static std::string Trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// The cells of "| a | b \| c |": a bar after a backslash belongs to the cell.
static std::vector<std::string> Cells(const std::string& row) {
  std::vector<std::string> cells;
  std::string cell;
  size_t start = row.find('|') + 1;
  for (size_t i = start; i < row.size(); i++) {
    if (row[i] == '\\' && i + 1 < row.size() && row[i + 1] == '|') {
      cell += '|';
      i++;
    } else if (row[i] == '|') {
      cells.push_back(Trim(cell));
      cell.clear();
    } else {
      cell += row[i];
    }
  }
  if (!Trim(cell).empty()) cells.push_back(Trim(cell));
  return cells;
}

// A table: the header row, the alignment row ("---:" aligns right), then the body.
static std::string Table(const std::vector<std::string>& rows) {
  std::vector<std::string> alignment = rows.size() > 1 ? Cells(rows[1]) : std::vector<std::string>();
  std::string html = "<table>\n";
  for (size_t r = 0; r < rows.size(); r++) {
    if (r == 1) continue;
    const char* cell = r == 0 ? "th" : "td";
    html += "<tr>";
    std::vector<std::string> cells = Cells(rows[r]);
    for (size_t c = 0; c < cells.size(); c++) {
      bool right = c < alignment.size() && alignment[c].size() > 1 && alignment[c].back() == ':';
      html += std::string("<") + cell + (right ? " class=\"number\">" : ">") + Inline(cells[c]) + "</" + cell + ">";
    }
    html += "</tr>\n";
  }
  return html + "</table>\n";
}

std::string MarkdownToHtml(const std::string& markdown) {
  std::vector<std::string> lines;
  std::istringstream in(markdown);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }

  std::string html;
  size_t i = 0;
  while (i < lines.size()) {
    const std::string& line = lines[i];
    bool numbered = false;
    std::string item;
    if (Blank(line)) {
      i++;
    } else if (StartsWith(line, "<!--")) {
      while (i < lines.size() && lines[i].find("-->") == std::string::npos) i++;
      i++;
    } else if (StartsWith(line, "```")) {
      html += "<pre><code>";
      for (i++; i < lines.size() && !StartsWith(lines[i], "```"); i++) html += EscapeHtml(lines[i]) + "\n";
      html += "</code></pre>\n";
      i++;
    } else if (int level = HeadingLevel(line)) {
      std::string tag = "h" + std::to_string(level);
      html += "<" + tag + ">" + Inline(Trim(line.substr(static_cast<size_t>(level)))) + "</" + tag + ">\n";
      i++;
    } else if (StartsWith(line, "|")) {
      std::vector<std::string> rows;
      for (; i < lines.size() && StartsWith(lines[i], "|"); i++) rows.push_back(lines[i]);
      html += Table(rows);
    } else if (ListItem(line, &numbered, &item)) {
      const char* tag = numbered ? "ol" : "ul";
      html += std::string("<") + tag + ">\n";
      bool more = true;
      while (more) {
        // An item goes on over the indented lines below it.
        for (i++; i < lines.size() && !Blank(lines[i]) && (lines[i][0] == ' ' || lines[i][0] == '\t'); i++) {
          item += " " + Trim(lines[i]);
        }
        html += "<li>" + Inline(item) + "</li>\n";
        size_t next = i;
        while (next < lines.size() && Blank(lines[next])) next++;
        bool nextNumbered = false;
        more = next < lines.size() && ListItem(lines[next], &nextNumbered, &item) && nextNumbered == numbered;
        if (more) i = next;
      }
      html += std::string("</") + tag + ">\n";
    } else {
      std::string text;
      for (; i < lines.size() && !Blank(lines[i]) && !StartsWith(lines[i], "```") && !StartsWith(lines[i], "|") &&
             HeadingLevel(lines[i]) == 0;
           i++) {
        text += (text.empty() ? "" : " ") + Trim(lines[i]);
      }
      html += "<p>" + Inline(text) + "</p>\n";
    }
  }
  return html;
}
