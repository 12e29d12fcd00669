// Every message goes to standard output through these, so that texts stay
// exact and their order is the order of the calls. A write that fails (a
// closed pipe) loses the text and nothing else.
#pragma once

#include <string>
#include <string_view>

namespace app {

void Print(std::string_view text);

// `format` with its single "%s" replaced by `value`.
std::string Formatted(std::string_view format, std::string_view value);

// Prints `format` with its single "%s" replaced by `value`.
void PrintWith(std::string_view format, std::string_view value);

// Prints `format` with its single "%d" replaced by `value` in decimal.
void PrintWith(std::string_view format, long long value);

// Makes everything printed so far visible, before the program waits.
void FlushOutput();

}  // namespace app
