// Text of the checked file as it may be shown: on a terminal, in JSON, and cut to a readable length.
#include "printable.h"

#include <cstdio>

namespace {

const unsigned char kDelete = 0x7F;
const unsigned kFirstC1 = 0x80;  // C1 controls: U+0080 to U+009F
const unsigned kLastC1 = 0x9F;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }
bool IsControl(unsigned char byte) { return byte < 0x20 || byte == kDelete; }

// The code point of a well-formed sequence of `length` bytes at `at`.
unsigned CodePoint(const std::string& text, size_t at, int length) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  if (length == 1) return lead;
  unsigned point = lead & (0xFFu >> (length + 1));
  for (int i = 1; i < length; i++) point = (point << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3Fu);
  return point;
}

std::string Code(const char* format, unsigned value) {
  char code[16];
  snprintf(code, sizeof code, format, value);
  return code;
}

}  // namespace

int Utf8Length(const std::string& text, size_t at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return 1;
  int length = 0;
  unsigned char low = 0x80;   // range of the second byte, narrower after some leads
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
  } else {
    return 0;
  }
  if (at + static_cast<size_t>(length) > text.size()) return 0;
  const unsigned char second = static_cast<unsigned char>(text[at + 1]);
  if (second < low || second > high) return 0;
  for (int i = 2; i < length; i++) {
    if (!IsContinuation(static_cast<unsigned char>(text[at + static_cast<size_t>(i)]))) return 0;
  }
  return length;
}

std::string Printable(const std::string& text) {
  std::string shown;
  for (size_t at = 0; at < text.size();) {
    const unsigned char byte = static_cast<unsigned char>(text[at]);
    const int length = Utf8Length(text, at);
    if (length == 0 || (length == 1 && IsControl(byte))) {
      shown += Code("\\x%02X", byte);
      at++;
      continue;
    }
    const unsigned point = CodePoint(text, at, length);
    if (point >= kFirstC1 && point <= kLastC1) {
      shown += Code("\\u%04X", point);
    } else {
      shown.append(text, at, static_cast<size_t>(length));
    }
    at += static_cast<size_t>(length);
  }
  return shown;
}

std::string JsonString(const std::string& text) {
  std::string quoted = "\"";
  for (size_t at = 0; at < text.size();) {
    const unsigned char byte = static_cast<unsigned char>(text[at]);
    const int length = Utf8Length(text, at);
    if (length == 0) {
      quoted += "\\ufffd";
      at++;
      continue;
    }
    const unsigned point = CodePoint(text, at, length);
    if (byte == '"' || byte == '\\') {
      quoted += '\\';
      quoted += static_cast<char>(byte);
    } else if ((length == 1 && IsControl(byte)) || (point >= kFirstC1 && point <= kLastC1)) {
      quoted += Code("\\u%04x", point);
    } else {
      quoted.append(text, at, static_cast<size_t>(length));
    }
    at += static_cast<size_t>(length);
  }
  return quoted + "\"";
}

std::string Excerpt(const std::string& text, size_t most) {
  if (text.size() <= most) return text;
  size_t cut = most;
  while (cut > 0 && IsContinuation(static_cast<unsigned char>(text[cut]))) cut--;
  return text.substr(0, cut) + "...";
}
