// Writes small archives that ask Tessly for a lot of work:
//   make_hostile DIRECTORY
// huge.gaf:    one 32767 x 32767 image of compressed rows of length 0 (a
//              1 GiB bitmap from a 64 KiB archive), and a second entry so
//              that GAF mode takes the archive apart;
// shared.gaf:  32767 frames that all point at one large image of 32767
//              rows of 64-byte codes (2 MiB stored), a few MiB in all;
// shared200.gaf: the same with 200 frames of a 2048 x 2048 image, for
//              bitmap mode (800 MiB of bitmaps);
// far.gaf:     frames whose origins lie 65534 pixels apart, and a frame
//              of 32767 x 32767 subframe canvas whose one subframe lies
//              far outside it: canvases that no GIF or sheet holds, and
//              one that is drawn almost empty.
#include <cstdio>
#include <string>

#include "tools/gaf_builder.h"
#include "tools/row_encoder.h"

namespace {

using fixture::Bytes;

fixture::Image CompressedRows(std::int16_t width, std::int16_t height, const Bytes& codes) {
  fixture::Image image;
  image.width = width;
  image.height = height;
  image.compressed = 1;
  image.rows.assign(static_cast<std::size_t>(height), codes);
  return image;
}

// One entry whose every frame table element points at the first frame's header.
Bytes SharedFrames(const fixture::Image& image, int frames) {
  fixture::Layout layout;
  fixture::Entry entry{"SHARED", {fixture::Frame{image}}};
  Bytes bytes = fixture::BuildGaf({entry, {"OTHER", {}}}, &layout);
  // Move the entry header to the end, with a frame table of `frames` elements.
  const auto moved = static_cast<std::uint32_t>(bytes.size());
  bytes.insert(bytes.end(), bytes.begin() + layout.entries[0], bytes.begin() + layout.entries[0] + 40);
  fixture::Put(bytes, moved, static_cast<std::uint16_t>(frames), 2);
  for (int k = 0; k < frames; ++k) {
    bytes.resize(bytes.size() + 8);
    fixture::Put(bytes, bytes.size() - 8, layout.frames[0][0]);
  }
  fixture::Put(bytes, 12, moved);
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_hostile DIRECTORY\n");
    return 2;
  }
  const std::string directory = argv[1];
  const Bytes huge = fixture::BuildGaf({{"HUGE", {fixture::Frame{CompressedRows(32767, 32767, {})}}}, {"OTHER", {}}});
  Bytes codes(65, 0);
  codes[0] = 0xFC;  // a literal of 64 pixels
  for (std::size_t i = 1; i < codes.size(); ++i) codes[i] = static_cast<std::uint8_t>(i);
  const Bytes shared = SharedFrames(CompressedRows(64, 32767, codes), 32767);
  const Bytes shared200 = SharedFrames(fixture::PlainImage(2048, 2048), 200);
  fixture::Image left = fixture::PlainImage(16, 16), right = fixture::PlainImage(16, 16);
  left.aux1 = 0x8000, right.aux1 = 0x7FFF;  // originX -32768 and 32767
  fixture::Image canvas{32767, 32767}, corner = fixture::PlainImage(16, 16);
  corner.aux1 = corner.aux2 = 0x8000;  // placed 32768 pixels right of and below the canvas's origin
  const Bytes far = fixture::BuildGaf({{"FAR", {fixture::Frame{left}, fixture::Frame{right}}},
                                       {"WIDE", {fixture::Frame{canvas, {corner}}}}});
  const bool written = fixture::WriteFile(directory + "/huge.gaf", huge) &&
                       fixture::WriteFile(directory + "/far.gaf", far) &&
                       fixture::WriteFile(directory + "/shared.gaf", shared) &&
                       fixture::WriteFile(directory + "/shared200.gaf", shared200);
  return written ? 0 : 1;
}
