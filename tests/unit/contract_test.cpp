// The promises of the public headers, a row each, on hand-built archives.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "tessly/archive.h"
#include "tessly/archive_writer.h"
#include "tessly/bmp.h"
#include "tessly/description.h"
#include "tessly/draw.h"
#include "tessly/gif.h"
#include "tessly/pack.h"
#include "tessly/png.h"
#include "tessly/walk.h"
#include "tools/gaf_builder.h"

namespace {

using namespace tessly;

// Entry E: frame 0 two subframes of which the second cannot be read, frame 1
// a plain image of two rows, whose header claims a third past the end.
struct Fixture {
  fixture::Bytes bytes;
  MemorySource source{bytes};
  Archive archive{source};
  Entry entry;
  FrameLayout image, subframes;

  explicit Fixture(fixture::Bytes built) : bytes(std::move(built)) {
    archive.ReadEntry(0, entry);
    ReadFrameLayout(archive, entry, 0, subframes), ReadFrameLayout(archive, entry, 1, image);
  }
};

fixture::Bytes Built() {
  fixture::Layout at;
  fixture::Image cut = fixture::PlainImage(2, 2, 1);
  cut.height = 3;
  fixture::Bytes bytes = fixture::BuildGaf(
      {{"E", {{fixture::Image{5, 5}, {fixture::PlainImage(1, 1, 7), fixture::PlainImage(1, 1)}}, {cut}}}}, &at);
  fixture::Put(bytes, at.frames[0][0] + 28, 0x7FFFFFF0);  // the second subframe's header offset
  return bytes;
}

// Counts and checks the writes asked of it; refuses the first when `refuse` is set.
struct Sink : MemorySink {
  bool refuse = false;
  int after = 0;
  bool Write(const void* b, std::size_t n) override { return refuse ? (++after, false) : MemorySink::Write(b, n); }
};

TEST(Contract, EveryPromiseOfThePublicHeaders) {
  Fixture f(Built());
  const DecodedImage twoByTwo{2, 2, {1, 2, 4, 5}};
  const std::pair<const char*, std::function<bool()>> rows[] = {
      {"ReadEntry: a negative index", [&] { Entry e; return f.archive.ReadEntry(-1, e) == Status::IndexOutOfRange; }},
      {"ReadEntry: the entry count", [&] { Entry e; return f.archive.ReadEntry(1, e) == Status::IndexOutOfRange; }},
      {"ReadFrame: out of range", [&] {
         Frame fr;
         return f.archive.ReadFrame(f.entry, -1, fr) == Status::IndexOutOfRange &&
                f.archive.ReadFrame(f.entry, 2, fr) == Status::IndexOutOfRange;
       }},
      {"ReadSubframe: out of range", [&] {
         GafFrameHeader h;
         return f.archive.ReadSubframe(f.subframes.frame.header, -1, h) == Status::IndexOutOfRange &&
                f.archive.ReadSubframe(f.subframes.frame.header, 2, h) == Status::IndexOutOfRange;
       }},
      {"ReadFrameLayout: one slot for a frame's own image", [&] {
         return f.image.images.size() == 1 && f.image.images[0].subframe == -1 &&
                f.image.images[0].frame == 1 && f.image.images[0].kind() == ImageKind::Frame &&
                f.image.images[0].header.width == 2;
       }},
      {"ReadFrameLayout: a slot per subframe, the unreadable one with its status", [&] {
         const auto& s = f.subframes.images;
         return s.size() == 2 && s[0].status == Status::Ok && s[0].frame == 0 && s[0].subframe == 0 &&
                s[0].kind() == ImageKind::Subframe && s[1].status == Status::SubframeHeaderRead && s[1].subframe == 1;
       }},
      {"DecodeImage: refuses a frame of subframes", [&] {
         DecodedImage image;
         return f.archive.DecodeImage(f.subframes.frame.header, ImageKind::Frame, image, {}) ==
                    Status::FrameHasSubframes &&
                f.archive.CheckImage(f.subframes.images[0].header, ImageKind::Subframe) == Status::Ok;
       }},
      {"DecodeImage: an empty report is not told; a lost row becomes skipped pixels", [&] {
         DecodedImage image;
         return f.archive.DecodeImage(f.image.frame.header, ImageKind::Frame, image, {}) == Status::Ok &&
                image == DecodedImage{2, 3, {1, 2, 4, 5, 9, 9}};
       }},
      {"ReadStoredEntry: an empty report is not told", [&] {
         StoredEntry stored;
         return f.archive.ReadStoredEntry(f.entry, stored, {}) == Status::Ok && stored.frames.size() == 2 &&
                stored.frames[1].image.header.height == 2 && stored.frames[0].subframes.size() == 1;
       }},
      {"WriteBmp: rows past 64 KiB, bottom row first, each padded", [] {
         DecodedImage wide{301, 250, std::vector<std::uint8_t>(301 * 250)};
         for (std::size_t i = 0; i < wide.pixels.size(); ++i) wide.pixels[i] = std::uint8_t(i / 301);  // its row
         MemorySink bmp;
         const std::size_t last = 1078 + 304 * 249;  // where the top row is stored
         return WriteBmp(wide, BuiltInPalette(), bmp) == Status::Ok && bmp.bytes.size() == last + 304 &&
                bmp.bytes[1078] == 249 && bmp.bytes[1078 + 304 * 200 + 300] == 49 && bmp.bytes[1078 + 301] == 0 &&
                bmp.bytes[last + 300] == 0;
       }},
      {"Writers: the first refused write is the last asked for", [&] {
         Sink bmp, png;
         bmp.refuse = png.refuse = true;
         return WriteBmp(twoByTwo, BuiltInPalette(), bmp) == Status::WriteFailed && bmp.after == 1 &&
                WritePng(twoByTwo, BuiltInPalette(), png) == Status::WriteFailed && png.after == 1;
       }},
      {"DrawFrame: a frame of subframes of a negative size is no canvas", [&] {
         DecodedImage canvas;
         const fixture::Bytes kept = f.bytes;
         fixture::Put(f.bytes, f.subframes.frame.tableElement.headerOffset, 0xFFFF, 2);  // width -1
         const bool refused = DrawFrame(f.archive, f.entry, 0, canvas, {}) == Status::ImageSizeOutOfRange;
         std::copy(kept.begin(), kept.end(), f.bytes.begin());
         return refused;
       }},
      {"WriteGif: the first refused write fails it", [&] {
         Sink gif;
         gif.refuse = true;
         const CanvasPlan plan{2, 2, {{0, 0}}};
         const FrameDrawer draw = [&](std::size_t, DecodedImage& image) { return (image = twoByTwo), Status::Ok; };
         return WriteGif(plan, draw, BuiltInPalette(), {}, gif) == Status::WriteFailed;
       }},
      {"ReadEntryDescription: replaces what the description held", [] {
         const std::string text = R"({"name": "A", "frames": [{"image": "A00.PNG"}]})";
         const std::vector<std::uint8_t> json(text.begin(), text.end());
         EntryDescription described;
         Problem problem;
         return ReadEntryDescription(json, described, problem) == Status::Ok &&
                ReadEntryDescription(json, described, problem) == Status::Ok && described.frames.size() == 1;
       }},
      {"WritePackedArchive: what does not read back as packed is named", [] {
         EntryDescription described{"P", 2, 0, 0, {}};
         for (int k = 0; k < 2; ++k) described.frames.push_back(FrameDescription{0, {{}, "I"}});
         const ImageLoader load = [](const std::string&, DecodedImage& image) { return (image = {2, 1, {3, 9}}), true; };
         PackedArchive packed, clean;
         std::vector<std::uint8_t> file;
         Problem at, none;
         if (PackEntry(described, "", load, packed) != Status::Ok) return false;
         clean = packed;
         packed.images[1].sum ^= 1;  // frame 1 no longer decodes to what was packed
         clean.archive.entries[0].frames[0].image.header.subframeCount = 1;  // frame 0 reads as made of subframes
         const bool named = WritePackedArchive(packed, file, at) == Status::ReadBackDiffers && at.entry == 0 &&
                            at.entryName == "P" && at.frame == 1 && at.subframe == -1 && at.detail == "the image" &&
                            WritePackedArchive(clean, file, none) == Status::ReadBackDiffers && none.frame == 0 &&
                            none.detail == "the frame header";
         packed.images.resize(1);  // no checksum for frame 1 at all
         return named && WritePackedArchive(packed, file, at) == Status::ReadBackDiffers && at.frame == 1;
       }},
      {"PackEntry: a frame or subframe that did not read is a status", [] {
         const ImageLoader load = [](const std::string&, DecodedImage& image) { return (image = {1, 1, {3}}), true; };
         EntryDescription frameMissing{"P", 1, 0, 0, {std::nullopt}}, subframeMissing{"P", 1, 0, 0, {}};
         subframeMissing.frames.push_back(FrameDescription{0, {}, true, {std::nullopt}});
         PackedArchive packed;
         return PackEntry(frameMissing, "", load, packed) == Status::DescriptionInvalid &&
                PackEntry(subframeMissing, "", load, packed) == Status::DescriptionInvalid;
       }},
      {"RebuildArchive: a subframe that does not read", [&] {
         std::vector<std::uint8_t> file;
         return RebuildArchive(f.archive, 1 << 20, file) == Status::DescriptionInvalid;
       }},
      {"EncodeStoredImage: a side past what a header holds", [] {
         StoredImage stored;
         DecodedImage wide{32768, 1, std::vector<std::uint8_t>(32768, 1)};
         if (EncodeStoredImage(wide, true, stored) != Status::ImageTooLarge) return false;
         wide.width = 32767, wide.pixels.pop_back();
         return EncodeStoredImage(wide, true, stored) == Status::Ok && stored.header.width == 32767;
       }},
  };
  for (const auto& [promise, holds] : rows) EXPECT_TRUE(holds()) << promise;
}

// A description that cannot be rebuilt is refused with the key, its value
// and why; a subframe that leaves out its count has none of its own.
TEST(Descriptions, RefusedWithTheKeyItsValueAndWhy) {
  // clang-format off
  const std::tuple<bool, std::string, std::string> rows[] = {  // of an archive, the text, the problem
      {false, "{", "the text is not JSON at line 1, column 2"}, {false, "[]", "the text is not a JSON object"},
      {false, "{\n  \"name\": x\n}", "the text is not JSON at line 2, column 11"},
      {false, "{\"name\": \"a\nb\"}", "the text is not JSON at line 1, column 12"},  // a line end within a string
      {true, "\n\n{\"entries\": [,]}", "the text is not JSON at line 3, column 14"},
      {false, R"({"frames": []})", "name is missing"}, {false, R"({"name": 5, "frames": []})", "name 5 is not 1 to 31 bytes"},
      {false, R"({"name": ")" + std::string(32, 'N') + R"(", "frames": []})", "name \"" + std::string(32, 'N') + "\" is not 1 to 31 bytes"},
      {false, R"({"name": "A", "frames": {}})", "frames {} is not a list of frames"},
      {false, R"({"name": "A", "frames": [], "aux1": 65536})", "aux1 65536 is not a number from 0 to 65535"},
      {false, R"({"name": "A", "frames": [], "frameCount": 1.5})", "frameCount 1.5 is not a whole number"},
      {false, R"({"name": "A", "frames": [], "frameCount": -1})", "frameCount -1 is not the number of frames (the list holds 0)"},
      {false, R"({"name": "A", "frames": [{}], "frameCount": 3})", "frameCount 3 is not the number of frames (the list holds 1)"},
      {false, R"({"name": "A", "frames": [7]})", "frames[0] 7 is not a frame that can be rebuilt"},
      {false, R"({"name": "A", "frames": [{}]})", "frames[0].image is missing"},
      {false, R"({"name": "A", "frames": [{"image": ""}]})", "frames[0].image \"\" is not a file name"},
      {false, R"({"name": "A", "frames": [{"image": "a", "sharedWith": 3}]})", "frames[0].sharedWith 3 is not a file name"},
      {false, R"({"name": "A", "frames": [{"image": "a", "subframeCount": 1}]})", "frames[0].subframeCount 1 is above 0 for a frame that is an image"},
      {false, R"({"name": "A", "frames": [{"subframes": {}}]})", "frames[0].subframes {} is not a list of subframes"},
      {false, R"({"name": "A", "frames": [{"subframes": [null]}]})", "frames[0].subframes[0] null is not a subframe that can be rebuilt"},
      {false, R"({"name": "A", "frames": [{"subframes": [{"image": "a"}], "subframeCount": 2}]})", "frames[0].subframeCount 2 is not the number of subframes"},
      {true, "[]", "the text is not a JSON object"}, {true, R"({"version": 5, "entries": []})", "version 5 is not 65792 (0x00010100), the only version GAF readers take"},
      {true, R"({"entries": "a"})", "entries \"a\" is not a list of file names"}, {true, R"({"entries": ["a", ""]})", "entries[1] \"\" is not a file name"}};
  // clang-format on
  const auto bytes = [](const std::string& text) { return std::vector<std::uint8_t>(text.begin(), text.end()); };
  EntryDescription entry;
  ArchiveDescription listed;
  Problem problem;  // each row's detail differs from the one before
  for (const auto& [archive, text, detail] : rows) {
    EXPECT_EQ(archive ? ReadArchiveDescription(bytes(text), listed, problem) : ReadEntryDescription(bytes(text), entry, problem),
              Status::DescriptionInvalid) << text;
    EXPECT_EQ(problem.detail, detail) << text;
  }
  ASSERT_EQ(ReadEntryDescription(bytes(R"({"name": "A", "frames": [{"subframes": [{"image": "b"}]}]})"), entry, problem), Status::Ok);
  EXPECT_EQ(entry.frames[0]->subframes[0]->header.subframeCount, 0);
}

}  // namespace
