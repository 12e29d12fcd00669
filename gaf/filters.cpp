#include "gaf/filters.h"

#include <string>

namespace gaf {
namespace {

constexpr int kBuildPicFrames = 3;
constexpr int kBuildPicSize = 64;

// An upper-case copy: only a to z are folded, bytes from 0x80 up stay.
std::string Folded(std::string_view text) {
  std::string copy(text);
  for (char& c : copy) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
  }
  return copy;
}

// A text reads as NUL past its last character.
char At(const std::string& text, std::size_t i) { return i < text.size() ? text[i] : '\0'; }

bool OnlyStarsFrom(const std::string& pattern, std::size_t from) {
  return pattern.find_first_not_of('*', from) == std::string::npos;
}

}  // namespace

bool IsBuildPicEntry(ArchiveReader& file, std::uint32_t entryOffset) {
  GafEntryHeader entry;
  if (!file.ReadAt(entryOffset, entry)) return true;
  if (entry.frameCount != kBuildPicFrames) return false;
  for (std::uint64_t k = 0; k < kBuildPicFrames; ++k) {
    GafFrameEntry frameEntry;
    GafFrameHeader frame;
    if (!file.ReadAt(std::uint64_t{entryOffset} + 40 + 8 * k, frameEntry) ||
        !file.ReadAt(frameEntry.headerOffset, frame)) {
      continue;
    }
    if (frame.width != kBuildPicSize || frame.height != kBuildPicSize || frame.subframeCount > 0) {
      return false;
    }
  }
  return true;
}

bool MatchPattern(std::string_view patternText, std::string_view nameText) {
  const std::string pattern = Folded(patternText);
  const std::string name = Folded(nameText);
  std::size_t p = 0, n = 0;
  while (true) {
    const char q = At(pattern, p);
    const char c = At(name, n);
    if (c == '\0' && q == '\0') return true;
    if (c == q) {
      ++p;
      ++n;
      continue;
    }
    if (q == '?') {
      if (c == '\0') return false;
      ++p;
      ++n;
      continue;
    }
    if (q != '*') return false;

    const char r = At(pattern, p + 1);
    if (c == '\0') {
      // The name is used up: a trailing run of '*' takes the empty rest.
      return r == '\0' || OnlyStarsFrom(pattern, p + 1);
    }
    if (r == '?') {
      std::size_t k = 0;
      while (At(pattern, p + 1 + k) == '?') ++k;
      p += 1 + k;
      const char t = At(pattern, p);
      const std::size_t m = name.size() - n;
      if (t == '\0') return m >= k;
      if (t == '*') {
        if (m < k) return false;
        n += k;
        continue;
      }
      const std::size_t found = name.find(t, n);
      if (found == std::string::npos || found - n < k) return false;
      n = found;
      continue;
    }
    if (c == r) {
      ++p;
      continue;
    }
    ++n;
  }
}

}  // namespace gaf
