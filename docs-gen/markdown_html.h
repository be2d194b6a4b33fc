// Turning the Markdown of the README sections into HTML: headings, paragraphs, tables, lists
// and code blocks, with code spans, strong text and links inside the text.
#pragma once

#include <string>

// The HTML of a piece of Markdown.
std::string MarkdownToHtml(const std::string& markdown);

// Text made safe inside HTML: &, <, > and " as entities.
std::string EscapeHtml(const std::string& text);
