#include "app/console_output.h"

#include <cstdio>
#include <string>

namespace app {
namespace {

std::string Replacing(std::string_view format, std::string_view placeholder, std::string_view value) {
  const std::size_t at = format.find(placeholder);
  std::string text(format.substr(0, at));
  text += value;
  text += format.substr(at + placeholder.size());
  return text;
}

}  // namespace

std::string Formatted(std::string_view format, std::string_view value) { return Replacing(format, "%s", value); }

std::string Formatted(std::string_view format, long long value) {
  return Replacing(format, "%d", std::to_string(value));
}

void Print(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void PrintWith(std::string_view format, std::string_view value) { Print(Formatted(format, value)); }

void PrintWith(std::string_view format, long long value) { Print(Formatted(format, value)); }

std::string PlaceText(const tessly::Problem& problem) {
  if (problem.entry < 0) return {};
  std::string place = Formatted(messages::kAtEntry, problem.entry);
  if (!problem.entryName.empty()) place += Formatted(messages::kAtEntryName, problem.entryName);
  if (problem.frame >= 0) place += Formatted(messages::kAtFrame, problem.frame);
  if (problem.subframe >= 0) place += Formatted(messages::kAtSubframe, problem.subframe);
  return place;
}

std::string ProblemText(const tessly::Problem& problem) {
  if (!problem.detail.empty()) return problem.detail;
  char text[128];
  const tessly::Colour& c = problem.colour;
  if (problem.status == tessly::Status::ColourNotInPalette) {
    std::snprintf(text, sizeof text, messages::kPixelNotInPalette, problem.x, problem.y, c.red, c.green, c.blue);
  } else if (problem.status == tessly::Status::OpaqueSkippedColour) {
    std::snprintf(text, sizeof text, messages::kPixelSkippedColour, problem.x, problem.y, c.red, c.green, c.blue);
  } else if (problem.status == tessly::Status::PartlyTransparent) {
    std::snprintf(text, sizeof text, messages::kPixelPartlyTransparent, problem.x, problem.y, c.red, c.green, c.blue,
                  problem.alpha);
  } else {
    return std::string(tessly::StatusDescription(problem.status));
  }
  return text;
}

void PrintStatus(tessly::Status status, messages::Mode mode, int row) {
  const messages::StatusLine& text = messages::RowFor(messages::kStatusLines, status, messages::kNoStatusLine);
  const std::string_view line =
      mode == messages::Mode::GafCopy && !text.copyLine.empty() ? text.copyLine : text.imageLine;
  line.find("%d") == std::string_view::npos ? Print(line) : PrintWith(line, row);
}

void FlushOutput() { std::fflush(stdout); }

}  // namespace app
