// Lists a GAF archive: each entry, its frames and their subframes, with
// their sizes and header fields.
//   list_archive ARCHIVE.gaf
#include <tessly/archive.h>
#include <tessly/walk.h>

#include <cstdio>

namespace {

// "24x24 compressed, origin 12,-3, transparency 0".
void PrintImage(const char* indent, const char* what, int number, const tessly::GafFrameHeader& header) {
  std::printf("%s%s %d: %dx%d %s, origin %d,%d, transparency %d\n", indent, what, number, header.width, header.height,
              header.compressed != 0 ? "compressed" : "plain", static_cast<std::int16_t>(header.aux1),
              static_cast<std::int16_t>(header.aux2), header.aux3);
}

// A frame's own image, or each of its subframes.
void ListFrame(const tessly::Archive& archive, const tessly::Entry& entry, int k, tessly::FrameLayout& layout) {
  if (const tessly::Status status = tessly::ReadFrameLayout(archive, entry, k, layout); status != tessly::Status::Ok) {
    std::printf("  frame %d: %s\n", k, tessly::StatusDescription(status).data());
    return;
  }
  if (!tessly::HasSubframes(layout.frame.header)) return PrintImage("  ", "frame", k, layout.frame.header);
  std::printf("  frame %d: %d subframes\n", k, layout.frame.header.subframeCount);
  for (const tessly::ImageSlot& subframe : layout.images) {
    if (subframe.status == tessly::Status::Ok) {
      PrintImage("    ", "subframe", subframe.subframe, subframe.header);
    } else {
      std::printf("    subframe %d: %s\n", subframe.subframe, tessly::StatusDescription(subframe.status).data());
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: list_archive ARCHIVE.gaf\n");
    return 2;
  }
  tessly::FileSource source;
  if (source.Open(argv[1]) != tessly::Status::Ok) {
    std::fprintf(stderr, "list_archive: cannot open %s\n", argv[1]);
    return 1;
  }
  const tessly::Archive archive(source);
  tessly::GafHeader header;
  if (archive.ReadHeader(header) != tessly::Status::Ok) {
    std::fprintf(stderr, "list_archive: %s is not a GAF archive\n", argv[1]);
    return 1;
  }
  std::printf("%d entries\n", header.entryCount);
  for (std::int32_t i = 0; i < header.entryCount; ++i) {
    tessly::Entry entry;
    if (const tessly::Status status = archive.ReadEntry(i, entry); status != tessly::Status::Ok) {
      std::printf("entry %d: %s\n", i, tessly::StatusDescription(status).data());
      continue;
    }
    std::printf("%s: %d frames\n", entry.name.c_str(), entry.header.frameCount);
    tessly::FrameLayout layout;  // reused from frame to frame
    for (int k = 0; k < entry.header.frameCount; ++k) ListFrame(archive, entry, k, layout);
  }
  return 0;
}
