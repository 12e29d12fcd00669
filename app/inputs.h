// The files that a run reads besides archives: the palette, descriptions
// and images. Each failure prints one line that names the file and why.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tessly/palette.h"
#include "tessly/status.h"

namespace app {

// The palette that --palette names, or the built-in one for an empty path.
// False, with its line, when the file cannot be used.
bool LoadPalette(const std::string& path, tessly::Palette& palette);

// The whole of the file at `path`: what tessly::ReadFile returns.
tessly::Status ReadInputBytes(const std::string& path, std::vector<std::uint8_t>& bytes);

// "ERROR: PATH: WHY" and a line end, and printing it.
std::string InputErrorLine(const std::string& path, std::string_view why);
void PrintInputError(const std::string& path, std::string_view why);

}  // namespace app
