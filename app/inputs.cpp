#include "app/inputs.h"

#include "app/console_output.h"
#include "app/messages.h"
#include "tessly/io.h"
#include "tessly/palette_file.h"

namespace app {
namespace {

// Descriptions and images larger than this are no sprite's.
constexpr std::size_t kLargestInput = std::size_t{1} << 30;

}  // namespace

bool LoadPalette(const std::string& path, tessly::Palette& palette) {
  if (path.empty()) return true;
  tessly::FileSource source;
  tessly::Status status = source.Open(path);
  if (status == tessly::Status::Ok) status = tessly::ReadPalette(source, palette);
  if (status == tessly::Status::Ok) return true;
  Print(Formatted(messages::kCannotUsePalette, path) + std::string(tessly::StatusDescription(status)) + "\n");
  return false;
}

tessly::Status ReadInputBytes(const std::string& path, std::vector<std::uint8_t>& bytes) {
  return tessly::ReadFile(path, kLargestInput, bytes);
}

std::string InputErrorLine(const std::string& path, std::string_view why) {
  return Formatted(messages::kInputError, path) + std::string(why) + "\n";
}

void PrintInputError(const std::string& path, std::string_view why) { Print(InputErrorLine(path, why)); }

}  // namespace app
