// The checker and the drawing on an arbitrary archive in memory. The
// properties: whenever extraction would print an error line for a piece
// of the archive, the checker finds an error; and every frame that can be
// drawn draws at its header's size, within its animation and its sheet.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/messages.h"
#include "tessly/check.h"
#include "tessly/draw.h"
#include "tessly/gif.h"
#include "tessly/sheet.h"
#include "tessly/walk.h"

namespace {

using namespace tessly;

constexpr int kMostPieces = 64;
constexpr Limits kLimits{.imagePixels = 1 << 16, .entryBytes = 1 << 18};

void Require(bool holds) {
  if (!holds) std::abort();
}

bool PrintsALine(Status status) {
  using namespace app::messages;
  return status != Status::Ok && !RowFor(kStatusLines, status, kNoStatusLine).imageLine.empty();
}

// Walks the archive as -B does; true when it would print an error line.
// Stays within the bounds, so it may miss a line past them.
bool ExtractionFails(const Archive& archive) {
  GafHeader header;
  if (const Status read = archive.ReadHeader(header); read != Status::Ok) return true;
  bool fails = false;
  const ProblemReport report = [&fails](const Problem& problem) { fails = fails || PrintsALine(problem.status); };
  DecodedImage image;
  for (std::int32_t i = 0; i < std::min(header.entryCount, kMostPieces); ++i) {
    Entry entry;
    if (const Status read = archive.ReadEntry(i, entry); read != Status::Ok) return PrintsALine(read) || fails;
    FrameLayout layout;
    for (int k = 0; k < std::min<int>(entry.header.frameCount, kMostPieces); ++k) {
      const Status read = ReadFrameLayout(archive, entry, k, layout);
      fails = fails || PrintsALine(read);
      for (const ImageSlot& slot : read == Status::Ok ? layout.images : std::vector<ImageSlot>{}) {
        const Status readable = slot.status != Status::Ok ? slot.status : archive.CheckImage(slot.header, slot.kind());
        fails = fails || PrintsALine(readable);
        if (readable == Status::Ok && slot.header.height <= kMostPieces) archive.DecodeImage(slot.header, slot.kind(), image, report);
      }
    }
  }
  return fails;
}

// Draws every frame of every entry that can be drawn, at its header's
// size, onto the entry's animation and sheet.
void Draw(const Archive& archive) {
  GafHeader header;
  if (archive.ReadHeader(header) != Status::Ok) return;
  for (std::int32_t i = 0; i < std::min(header.entryCount, kMostPieces); ++i) {
    Entry entry;
    if (archive.ReadEntry(i, entry) != Status::Ok) continue;
    std::vector<FrameGeometry> frames;
    std::vector<int> numbers;  // of the frames that can be drawn
    for (int k = 0; k < std::min<int>(entry.header.frameCount, kMostPieces); ++k) {
      Frame frame;
      FrameGeometry geometry;
      if (archive.ReadFrame(entry, k, frame) != Status::Ok || frame.header.subframeCount > kMostPieces) continue;
      if (ReadFrameGeometry(archive, entry, k, geometry) == Status::Ok) frames.push_back(geometry), numbers.push_back(k);
    }
    const FrameDrawer draw = [&](std::size_t index, DecodedImage& image) {
      const Status drawn = DrawFrame(archive, entry, numbers[index], image, {});
      Require(drawn != Status::Ok || (image.width == frames[index].width && image.height == frames[index].height));
      return drawn;
    };
    CanvasPlan plan;
    MemorySink sink;
    DecodedImage sheet;
    if (PlanAnimation(frames, plan) == Status::Ok && std::uint64_t(plan.width) * std::uint64_t(plan.height) <= kLimits.imagePixels) {
      Require(WriteGif(plan, draw, BuiltInPalette(), {}, sink) != Status::ImageSizeOutOfRange);
    }
    if (PlanSheet(frames, plan) == Status::Ok && std::uint64_t(plan.width) * std::uint64_t(plan.height) <= kLimits.imagePixels) {
      Require(DrawSheet(plan, draw, sheet) != Status::ImageSizeOutOfRange);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MemorySource source({data, size});
  const Archive archive(source, kLimits);
  std::vector<Finding> findings;
  Require(CheckArchive({data, size}, kLimits, size < 4096, findings) == Status::Ok);
  const bool error = std::any_of(findings.begin(), findings.end(), [](const Finding& finding) {
    return SeverityOf(finding.kind) == Severity::Error;
  });
  Require(!ExtractionFails(archive) || error);
  Draw(archive);
  return 0;
}
