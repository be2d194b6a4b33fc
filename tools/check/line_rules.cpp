// Rules on the text of each line: keys that do not match, values the reader cuts short, repeats.
#include "line_rules.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "config/confload.h"
#include "config/option_kinds.h"
#include "key_names.h"
#include "printable.h"

namespace {

const char kCommentMark = ';';
const int64_t kLargestMagnitude = 2147483647;  // beyond it a value is held at the 32-bit limit
const size_t kExcerptBytes = 40;  // of the file's own text quoted in a message
const char kCommentHint[] = "comments start with ';', on lines of their own";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsValueChar(char c) { return IsDigit(c) || c == '-' || c == ','; }

// The text of a line without the CR that a Windows line end leaves before the LF.
std::string WithoutLineEnd(const std::string& text) {
  if (!text.empty() && text.back() == '\r') return text.substr(0, text.size() - 1);
  return text;
}

// Where a line's text lies on its physical line.
struct Place {
  int line;
  int column;  // column of the first character of the read text
};

void Add(std::vector<Finding>* findings, Place place, size_t offset, Severity severity,
         const std::string& message, const std::string& hint = "") {
  findings->push_back({place.line, place.column + static_cast<int>(offset), severity, message, hint});
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }
// Text of the file in a message: quoted, and cut short when it is long.
std::string QuotedText(const std::string& text) { return Quoted(Excerpt(text, kExcerptBytes)); }

// Marks that start comments in other formats.
bool StartsOtherComment(const std::string& text) { return text.rfind('#', 0) == 0 || text.rfind("//", 0) == 0; }

// A character as the builder sees it in a message.
std::string Shown(char c) {
  unsigned char byte = static_cast<unsigned char>(c);
  if (byte >= 0x21 && byte < 0x7F) return Quoted(std::string(1, c));
  if (c == ' ') return "a blank";
  if (c == '\t') return "a tab";
  char code[16];
  snprintf(code, sizeof code, "byte 0x%02X", byte);
  return code;
}

// A line that matched no key: says why, as precisely as the text allows.
void CheckUnmatched(const std::string& text, Place place, std::vector<Finding>* findings) {
  size_t lead = 0;
  while (lead < text.size() && IsBlank(text[lead])) lead++;
  if (lead == text.size() || text[lead] == kCommentMark) return;  // blank, or an indented comment
  const std::string rest = text.substr(lead);
  if (ByteOrderMarkLength(rest.c_str(), static_cast<int>(rest.size())) > 0) {
    Add(findings, place, lead, SEVERITY_ERROR,
        "byte-order mark inside the file: the plug-in ignores this line",
        "save the file without byte-order marks");
    return;
  }
  if (StartsOtherComment(rest)) {
    Add(findings, place, lead, SEVERITY_ERROR,
        QuotedText(rest.substr(0, rest[0] == '#' ? 1 : 2)) + " does not start a comment: the line matches no key, and the plug-in ignores it",
        kCommentHint);
    return;
  }
  const size_t nameEnd = std::min(rest.find_first_of("= \t"), rest.size());
  const std::string name = rest.substr(0, nameEnd);
  size_t equals = nameEnd;
  while (equals < rest.size() && IsBlank(rest[equals])) equals++;
  const bool hasEquals = equals < rest.size() && rest[equals] == '=';
  const int exact = KeyByName(name);

  if (exact >= 0 && lead > 0) {
    Add(findings, place, 0, SEVERITY_ERROR, "blank before the key: the plug-in ignores this line",
        "start the line with " + Quoted(kOptionKeys[exact]));
  } else if (exact >= 0 && !hasEquals) {
    Add(findings, place, lead, SEVERITY_ERROR, Quoted(name) + " lacks its '=': the plug-in ignores this line",
        DidYouMean(exact));
  } else if (exact >= 0) {
    Add(findings, place, lead + nameEnd, SEVERITY_ERROR,
        "blank between " + Quoted(name) + " and '=': the plug-in ignores this line", DidYouMean(exact));
  } else if (KeyByNameIgnoringCase(name) >= 0) {
    Add(findings, place, lead, SEVERITY_ERROR,
        QuotedText(name + "=") + " is not a key: keys are case-sensitive; the plug-in ignores this line",
        DidYouMean(KeyByNameIgnoringCase(name)));
  } else {
    const int nearest = NearestKey(name);
    Add(findings, place, lead, SEVERITY_ERROR,
        (hasEquals ? "unknown key " + QuotedText(name + "=") : QuotedText(name) + " matches no key") +
            ": the plug-in ignores this line",
        nearest >= 0 ? DidYouMean(nearest) : "");
  }
}

// The value that the reader left in place `index` of the line's values.
int32_t ValueRead(const ConfigLine& line, int index) {
  if (index == 0) return line.value;
  if (index - 1 < static_cast<int>(line.further.size())) return line.further[index - 1];
  return 0;
}

std::string ReadsAs(const ConfigLine& line, int index) {
  std::string name = kOptionKeys[line.option];
  name.pop_back();
  std::string which = index == 0 ? name : name + " value " + std::to_string(index + 1);
  return which + " reads " + std::to_string(ValueRead(line, index));
}

// Why the reader stopped at `stop`, when that loses something the builder wrote.
void CheckStop(const ConfigLine& line, const std::string& values, size_t stop, int index,
               Place place, size_t keyLength, std::vector<Finding>* findings) {
  const char c = values[stop];
  const size_t at = keyLength + stop;
  size_t next = stop;
  while (next < values.size() && IsBlank(values[next])) next++;
  if (IsBlank(c)) {
    if (next == values.size()) return;  // trailing blanks lose nothing
    if (values[next] == kCommentMark) {
      Add(findings, place, at, SEVERITY_WARNING,
          "the values end at the blank; the rest of the line is ignored",
          "put comments on lines of their own, starting with ';'");
    } else if (stop == 0) {
      Add(findings, place, at, SEVERITY_ERROR,
          "blank after '=': the value is not read, " + ReadsAs(line, index),
          "write " + QuotedText(std::string(kOptionKeys[line.option]) + values.substr(next)));
    } else if (IsValueChar(values[next]) || values[stop - 1] == ',') {
      Add(findings, place, at, SEVERITY_ERROR,
          "blank inside the value list: reading ends here and the values after it are lost",
          "write the values without blanks");
    } else {
      Add(findings, place, at, SEVERITY_WARNING,
          "the values end at the blank; " + QuotedText(values.substr(next)) + " is ignored, " + ReadsAs(line, index),
          kCommentHint);
    }
    return;
  }
  if (c == kCommentMark) {
    Add(findings, place, at, SEVERITY_WARNING, "';' ends the values; the rest of the line is ignored",
        "put comments on lines of their own");
  } else if (c == '+') {
    Add(findings, place, at, SEVERITY_ERROR, "'+' ends the values: " + ReadsAs(line, index),
        "write numbers without '+'");
  } else if (c == '.') {
    Add(findings, place, at, SEVERITY_ERROR, "values are whole numbers: reading ends at '.', " + ReadsAs(line, index));
  } else if (c == 'O' || c == 'o') {
    Add(findings, place, at, SEVERITY_ERROR, Shown(c) + " is not a digit: reading ends here, " + ReadsAs(line, index),
        "did you mean the digit '0'?");
  } else if (c == 'l' || c == 'I') {
    Add(findings, place, at, SEVERITY_ERROR, Shown(c) + " is not a digit: reading ends here, " + ReadsAs(line, index),
        "did you mean the digit '1'?");
  } else {
    Add(findings, place, at, SEVERITY_ERROR, Shown(c) + " ends the values: " + ReadsAs(line, index),
        StartsOtherComment(values.substr(stop)) ? kCommentHint : "");
  }
}

// The values of a line that holds its whole key, read as the plug-in reads them.
void CheckValues(const ConfigLine& line, const std::string& text, Place place, std::vector<Finding>* findings) {
  const size_t keyLength = strlen(kOptionKeys[line.option]);
  const std::string values = text.substr(keyLength);
  size_t firstNonBlank = 0;
  while (firstNonBlank < values.size() && IsBlank(values[firstNonBlank])) firstNonBlank++;
  if (firstNonBlank == values.size()) {
    Add(findings, place, keyLength, SEVERITY_WARNING, "no value after '=': " + ReadsAs(line, 0));
    return;
  }
  int index = 0;               // which value is being read
  size_t valueStart = 0;       // where it started
  int64_t magnitude = 0;
  bool negative = false;
  bool saturated = false;
  bool furtherReported = false;
  bool minusReported = false;
  for (size_t i = 0; i < values.size(); i++) {
    const char c = values[i];
    if (c == '-') {
      negative = true;
      if (i != valueStart && !minusReported) {
        minusReported = true;
        Add(findings, place, keyLength + i, SEVERITY_ERROR,
            "'-' inside the value makes the whole value negative: " + ReadsAs(line, index),
            "a '-' belongs only before the first digit");
      }
    } else if (c == ',') {
      if (kOptionFurtherKind[line.option] == VK_NONE && !furtherReported) {
        Add(findings, place, keyLength + i, SEVERITY_WARNING,
            Quoted(kOptionKeys[line.option]) + " takes one value: the values after it are not read");
        furtherReported = true;
      }
      index++;
      valueStart = i + 1;
      magnitude = 0;
      negative = false;
      saturated = false;
      minusReported = false;
    } else if (IsDigit(c)) {
      // Past the lowest 32-bit value nothing fits, whatever the sign.
      if (magnitude <= kLargestMagnitude + 1) magnitude = magnitude * 10 + (c - '0');
      const bool beyond = magnitude > kLargestMagnitude + 1 || (magnitude > kLargestMagnitude && !negative);
      if (beyond && !saturated) {
        saturated = true;
        Add(findings, place, keyLength + valueStart, SEVERITY_ERROR,
            "value beyond the 32-bit range: it is held at the limit, " + ReadsAs(line, index));
      }
    } else {
      CheckStop(line, values, i, index, place, keyLength, findings);
      return;
    }
  }
}

// A line that set an option: the whole key, or only the beginning of one.
void CheckMatched(const ConfigLine& line, const std::string& text, Place place, std::vector<Finding>* findings) {
  if (!HoldsWholeKey(line)) {
    const std::string key = kOptionKeys[line.option];
    const int meant = KeyByName(text);
    Add(findings, place, 0, SEVERITY_ERROR,
        QuotedText(text) + " is not a whole key: the plug-in takes it for " + Quoted(key) +
            ", whose beginning it matches, and " + ReadsAs(line, 0),
        meant >= 0 && meant != line.option ? DidYouMean(meant) : "write the whole key " + Quoted(key) + " and a value");
    return;
  }
  CheckValues(line, text, place, findings);
  if (kOptionKind[line.option] == VK_SWITCH && line.value != 0 && line.value != 1) {
    std::string name = kOptionKeys[line.option];
    Add(findings, place, name.size(), SEVERITY_WARNING,
        Quoted(name) + " takes 0 or 1: " + std::to_string(line.value) + " counts as 1 and runs the " +
            kCabSystemName[kOptionSystem[line.option]],
        "write " + Quoted(name + "1"));
  }
}

}  // namespace

void CheckLineTexts(const std::vector<ConfigLine>& lines, std::vector<Finding>* findings) {
  std::vector<int> lastLine(OPTION_COUNT, 0);
  for (const ConfigLine& line : lines) {
    const Place place = {line.line, line.column + line.start};
    if (line.start > 0) {
      Add(findings, {line.line, line.column}, 0, SEVERITY_WARNING,
          "the file starts with a byte-order mark; the plug-in skips it",
          "save it as plain text or \"UTF-8 without BOM\"");
    }
    const std::string text = WithoutLineEnd(ReadText(line));
    if (line.column > 1 && !line.text.empty()) {
      Add(findings, place, 0, SEVERITY_WARNING,
          "the line is longer than " + std::to_string(kConfigLineChars) +
              " characters: from here on the plug-in reads it as a line of its own");
    }
    if (line.option < 0) {
      if (!text.empty() && text[0] != kCommentMark) CheckUnmatched(text, place, findings);
      continue;
    }
    CheckMatched(line, text, place, findings);
    if (lastLine[line.option] > 0) {
      Add(findings, place, 0, SEVERITY_WARNING,
          Quoted(kOptionKeys[line.option]) + " is set again: this line wins over line " +
              std::to_string(lastLine[line.option]));
    }
    lastLine[line.option] = line.line;
  }
}
