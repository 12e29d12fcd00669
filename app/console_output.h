// Every message goes to standard output through these, so that texts stay
// exact and their order is the order of the calls. A write that fails (a
// closed pipe) loses the text and nothing else.
#pragma once

#include <string>
#include <string_view>

#include "app/messages.h"
#include "tessly/problem.h"
#include "tessly/status.h"

namespace app {

void Print(std::string_view text);

// `format` with its single "%s" replaced by `value`, or its single "%d" by
// `value` in decimal.
std::string Formatted(std::string_view format, std::string_view value);
std::string Formatted(std::string_view format, long long value);

// Prints `format` with its single "%s" replaced by `value`.
void PrintWith(std::string_view format, std::string_view value);

// Prints `format` with its single "%d" replaced by `value` in decimal.
void PrintWith(std::string_view format, long long value);

// Where the problem lies: "entry 2 (TREE), frame 1, subframe 0"; empty for
// one that names no entry.
std::string PlaceText(const tessly::Problem& problem);

// What the problem is, in words: its detail, the pixel of an image file
// that cannot be used, or else its status's description.
std::string ProblemText(const tessly::Problem& problem);

// Prints the line of `status` in `mode` (messages::kStatusLines), with `row` for its
// "%d"; nothing for Ok and the statuses without a line.
void PrintStatus(tessly::Status status, messages::Mode mode, int row = -1);

// Makes everything printed so far visible, before the program waits.
void FlushOutput();

}  // namespace app
