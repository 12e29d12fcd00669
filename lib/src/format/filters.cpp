#include "tessly/filters.h"

#include <string>

#include "base/ascii.h"
#include "tessly/walk.h"

namespace tessly {
namespace {

constexpr int kBuildPicFrames = 3;
constexpr int kBuildPicSize = 64;

// A text reads as NUL past its last character.
char At(const std::string& text, std::size_t i) { return i < text.size() ? text[i] : '\0'; }

bool OnlyStarsFrom(const std::string& pattern, std::size_t from) {
  return pattern.find_first_not_of('*', from) == std::string::npos;
}

}  // namespace

bool IsBuildPicture(std::int16_t frameCount, std::span<const std::optional<GafFrameHeader>> frames) {
  if (frameCount != kBuildPicFrames) return false;
  for (const std::optional<GafFrameHeader>& frame : frames) {
    if (frame && (frame->width != kBuildPicSize || frame->height != kBuildPicSize || HasSubframes(*frame))) {
      return false;
    }
  }
  return true;
}

bool IsBuildPicture(const Archive& archive, const Entry& entry) {
  if (entry.header.frameCount != kBuildPicFrames) return false;
  std::optional<GafFrameHeader> frames[kBuildPicFrames];
  // Only the frames' own headers matter, so their subframes are not read.
  for (int k = 0; k < kBuildPicFrames; ++k) {
    Frame frame;
    if (archive.ReadFrame(entry, k, frame) == Status::Ok) frames[k] = frame.header;
  }
  return IsBuildPicture(entry.header.frameCount, frames);
}

bool MatchPattern(std::string_view patternText, std::string_view nameText) {
  const std::string pattern = base::Capitals(patternText);
  const std::string name = base::Capitals(nameText);
  std::size_t patternAt = 0, nameAt = 0;
  while (true) {
    const char wanted = At(pattern, patternAt);
    const char got = At(name, nameAt);
    if (got == '\0' && wanted == '\0') return true;
    if (got == wanted || (wanted == '?' && got != '\0')) {
      ++patternAt;
      ++nameAt;
      continue;
    }
    if (wanted != '*') return false;

    // The name is used up: a trailing run of '*' takes the empty rest.
    if (got == '\0') return OnlyStarsFrom(pattern, patternAt + 1);
    const char afterStar = At(pattern, patternAt + 1);
    if (afterStar == '?') {
      // "*??x": the star ends where x is next found, at least two characters on.
      std::size_t questionMarks = 0;
      while (At(pattern, patternAt + 1 + questionMarks) == '?') ++questionMarks;
      patternAt += 1 + questionMarks;
      const char stop = At(pattern, patternAt);
      const std::size_t nameLeft = name.size() - nameAt;
      if (stop == '\0') return nameLeft >= questionMarks;
      if (stop == '*') {
        if (nameLeft < questionMarks) return false;
        nameAt += questionMarks;
        continue;
      }
      const std::size_t found = name.find(stop, nameAt);
      if (found == std::string::npos || found - nameAt < questionMarks) return false;
      nameAt = found;
      continue;
    }
    // The star ends at the first character equal to the one after it.
    if (got == afterStar) {
      ++patternAt;
      continue;
    }
    ++nameAt;
  }
}

}  // namespace tessly
