#include "app/entry_reading.h"

#include "app/console_output.h"
#include "tessly/filters.h"

namespace app {
namespace {

// These lines are the same in both modes.
bool Succeeded(tessly::Status status) {
  PrintStatus(status, messages::Mode::Bitmaps);
  return status == tessly::Status::Ok;
}

}  // namespace

bool ReadEntry(const tessly::Archive& archive, std::int32_t index, tessly::Entry& entry) {
  return Succeeded(archive.ReadEntry(index, entry));
}

bool IsEntrySelected(const Options& options, const tessly::Archive& archive, const tessly::Entry& entry) {
  if (options.buildPicsOnly && !tessly::IsBuildPicture(archive, entry)) return false;
  return options.pattern.empty() || tessly::MatchPattern(options.pattern, entry.name);
}

bool ReadFrameAndSubframes(const tessly::Archive& archive, const tessly::Entry& entry, int k,
                           tessly::FrameLayout& layout) {
  return Succeeded(tessly::ReadFrameLayout(archive, entry, k, layout));
}

}  // namespace app
