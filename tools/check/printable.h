// Text of the checked file as it may be shown: on a terminal, in JSON, and cut to a readable length.
#pragma once

#include <cstddef>
#include <string>

// Bytes of the UTF-8 character that starts at `at`: 1 for ASCII, 2 to 4 for a well-formed
// sequence, 0 where the bytes are not UTF-8.
int Utf8Length(const std::string& text, size_t at);
// The text with nothing a terminal would act on: control characters and bytes that are not
// UTF-8 as "\x07", C1 controls as "\u0085"; other characters as they are.
std::string Printable(const std::string& text);
// The text as a quoted JSON string in UTF-8: controls escaped, bytes that are not UTF-8
// replaced by U+FFFD.
std::string JsonString(const std::string& text);
// At most `most` bytes of the text, cut between characters, with "..." when something was cut.
std::string Excerpt(const std::string& text, size_t most);
