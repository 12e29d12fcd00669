// The two tests that select entries: build pictures and name patterns.
#pragma once

#include <cstdint>
#include <string_view>

#include "gaf/archive_reader.h"

namespace gaf {

// True for an entry of exactly three frames of 64 by 64 pixels, none made of
// subframes. What cannot be sought to or read counts in the entry's favour:
// the entry passes when its header is unreadable, a frame when its own
// records are. Moves the read position.
bool IsBuildPicEntry(ArchiveReader& file, std::uint32_t entryOffset);

// Matches an entry name against a pattern of '*' and '?' in one forward
// pass, ASCII letters without regard to case. A '*' ends at the first name
// character equal to the pattern character after it, and no other split is
// ever tried, so "*B" does not match "ABB".
bool MatchPattern(std::string_view pattern, std::string_view name);

}  // namespace gaf
