#include "app/listing.h"

#include <cstdio>
#include <string>

#include "app/console_output.h"
#include "app/entry_reading.h"
#include "app/messages.h"
#include "tessly/walk.h"

namespace app {
namespace {

using namespace messages;

// Where an image's pixel data lies, and the earlier image whose data it is.
std::string PixelDataText(const tessly::GafFrameHeader& header, const std::string& label,
                          tessly::PixelDataUsers& users) {
  std::string text = "at " + std::to_string(header.dataOffset);
  if (header.height <= 0) return text;
  const auto [user, first] = users.try_emplace(header.dataOffset, label);
  return first ? text : text + ", shared with " + user->second;
}

// A frame's line (`subframe` "-") or a subframe's (`frame` empty).
void PrintImageLine(const std::string& frame, const std::string& subframe, const tessly::GafFrameHeader& header,
                    const std::string& data) {
  char line[512];
  const std::string subframes = frame.empty() ? "-" : std::to_string(header.subframeCount);
  std::snprintf(line, sizeof line, kListFrame, frame.c_str(), subframe.c_str(), header.width, header.height,
                static_cast<std::int16_t>(header.aux1), static_cast<std::int16_t>(header.aux2), header.aux3,
                header.compressed != 0 ? "yes" : "no", subframes.c_str(), data.c_str());
  Print(line);
}

void ListFrame(const tessly::Entry& entry, int k, const tessly::FrameLayout& layout, tessly::PixelDataUsers& users) {
  const tessly::GafFrameHeader& header = layout.frame.header;
  if (!tessly::HasSubframes(header)) {
    const std::string label = tessly::ImageFileName(entry.name, k, -1, "");
    return PrintImageLine(std::to_string(k), "-", header, PixelDataText(header, label, users));
  }
  PrintImageLine(std::to_string(k), "-", header, "subframe table at " + std::to_string(header.dataOffset));
  for (const tessly::ImageSlot& slot : layout.images) {
    if (slot.status != tessly::Status::Ok) {
      PrintStatus(slot.status, Mode::Bitmaps);
      continue;
    }
    const std::string label = tessly::ImageFileName(entry.name, k, slot.subframe, "");
    PrintImageLine("", std::to_string(slot.subframe), slot.header, PixelDataText(slot.header, label, users));
  }
}

}  // namespace

void ListArchive(const tessly::GafHeader& header) {
  char line[128];
  std::snprintf(line, sizeof line, kListArchive.data(), header.version, header.entryCount);
  Print(line);
  Print(kListEntryColumns);
}

void ListEntry(const Options& options, const tessly::Archive& archive, std::int32_t index,
               tessly::PixelDataUsers& users) {
  tessly::Entry entry;
  if (!ReadEntry(archive, index, entry) || !IsEntrySelected(options, archive, entry)) return;
  char line[256];
  std::snprintf(line, sizeof line, kListEntry, index, entry.name.c_str(), entry.header.frameCount,
                entry.header.aux1, entry.header.aux2);
  Print(line);
  if (entry.header.frameCount > 0) Print(kListFrameColumns);
  tessly::FrameLayout layout;
  for (int k = 0; k < entry.header.frameCount; ++k) {
    if (ReadFrameAndSubframes(archive, entry, k, layout)) ListFrame(entry, k, layout, users);
  }
}

}  // namespace app
