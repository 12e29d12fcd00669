// The two tests that select entries: build pictures and name patterns.
//
// Threads: MatchPattern anywhere; IsBuildPicture as the archive allows.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "tessly/archive.h"
#include "tessly/records.h"

namespace tessly {

// True for an entry of exactly three frames of 64 by 64 pixels, none made
// of subframes. `frames` holds the headers of the first frames, nullopt for
// one that could not be read: that counts in the entry's favour.
bool IsBuildPicture(std::int16_t frameCount, std::span<const std::optional<GafFrameHeader>> frames);

// The same test on an entry of an archive, whose first three frames it reads.
bool IsBuildPicture(const Archive& archive, const Entry& entry);

// Matches an entry name against a pattern of '*' and '?' in one forward
// pass, ASCII letters without regard to case. A '*' ends at the first name
// character equal to the pattern character after it, and no other split is
// ever tried, so "*B" does not match "ABB".
bool MatchPattern(std::string_view pattern, std::string_view name);

}  // namespace tessly
