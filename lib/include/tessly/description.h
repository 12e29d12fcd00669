// An entry described as JSON: what its BMP or PNG files lose of it (the
// entry's fields, each frame's and subframe's header fields, the name of
// each image's file and which images share pixel data), so that sprites can
// be placed and the archive rebuilt. The same type is written when an
// archive is taken apart and read when it is rebuilt.
//
// Threads: DescribeEntry as the archive allows (tessly/archive.h); the rest
// anywhere, each call with its own values.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tessly/archive.h"
#include "tessly/io.h"
#include "tessly/problem.h"
#include "tessly/records.h"
#include "tessly/status.h"

namespace tessly {

// An image as described: its header's fields but dataOffset, and its file.
struct ImageDescription {
  GafFrameHeader header{};  // dataOffset is not described and stays 0
  std::string image;        // the image file's name: bytes, as the file system holds it
  std::string sharedWith;   // the file of the first image whose pixel data is this one's; empty for none
};

// A frame: its frame-table element's second field, its header's fields,
// and its image or its subframes.
struct FrameDescription {
  std::uint32_t tableAux = 0;
  ImageDescription own;  // `image` and `sharedWith` only for a frame that is an image
  bool hasSubframes = false;
  std::vector<std::optional<ImageDescription>> subframes;  // nullopt: one whose records did not read
};

struct EntryDescription {
  std::string name;  // bytes, as in the entry header
  std::int16_t frameCount = 0;
  std::uint16_t aux1 = 0;
  std::uint32_t aux2 = 0;
  std::vector<std::optional<FrameDescription>> frames;  // nullopt: one whose records did not read
};

// The file of the first image of an archive (entries, frames and subframes
// in order) that uses each offset of pixel data.
using PixelDataUsers = std::map<std::uint32_t, std::string>;

// The name of an image's file: NAME00.EXT for frame 0 of entry NAME,
// NAME01_02.EXT for subframe 2 of frame 1 (at least two digits each);
// `subframe` is -1 for a frame's own image. Throws std::bad_alloc.
std::string ImageFileName(std::string_view entryName, int frame, int subframe, std::string_view extension);

// The files of entries' descriptions and images are named after a stem:
// the entry's name, or, for an entry whose name an earlier entry of the
// same archive already gave its files (letter case aside, as Windows file
// systems compare names), the name followed by the entry's number in the
// archive, from 0, in parentheses: "treeburn1(12)". `used` holds the stems
// given so far, in capitals; give every entry of an archive a stem, in
// order, for the numbers to stay the same whichever entries are exported.
// Throws std::bad_alloc.
using UsedFileStems = std::set<std::string>;
std::string EntryFileStem(std::string_view name, std::int32_t index, UsedFileStems& used);

// Describes `entry` as it stands in the archive, its images' files named
// with `fileStem` and `imageExtension`. An image whose pixel data begins where that of an
// image in `users` does gets `sharedWith`; every other image is added to
// `users`. Describe the entries of an archive in order, all of them, for
// `sharedWith` to name the first user. Ok or OutOfMemory.
Status DescribeEntry(const Archive& archive, const Entry& entry, std::string_view fileStem,
                     std::string_view imageExtension, PixelDataUsers& users, EntryDescription& description);

// Writes the description as JSON into `sink`, two-space indented and ending
// in a line end:
//   {"name", "frameCount", "aux1", "aux2", "frames": [...]}
// and for each frame {"tableAux", then the header fields "width", "height",
// "originX", "originY", "transparencyIndex", "compressed", "subframeCount",
// "aux4", "aux5", then "image" (and "sharedWith" when it has one) or
// "subframes": [{the header fields, "image"(, "sharedWith")}...]}. originX
// and originY are the header's aux1 and aux2 taken as signed;
// transparencyIndex is aux3. A frame or subframe that did not read stands
// as null. Each name byte from 0x80 up is written as the code point of the
// same number. Ok, OutOfMemory, or WriteFailed when the sink refuses the text.
Status WriteEntryDescription(const EntryDescription& description, ByteSink& sink);

// Reads a description that WriteEntryDescription wrote, or one written by
// hand. Every key goes to the field it names, as given; missing keys take
// defaults, the values that the game's own archives hold (kUsualEntryAux1
// for aux1; 0 for aux2, tableAux, originX, originY, aux4, aux5, width and
// height; 9 for transparencyIndex; 1 for compressed; the number of frames
// for frameCount, of subframes for a frame's subframeCount, else 0);
// unknown keys are passed over. A frame is made of subframes when it has a
// "subframes" list, and is an image otherwise. Code points up to U+00FF in
// names stand for the bytes of the same value; an image file's name with
// others is taken as UTF-8. DescriptionInvalid, with `problem`'s detail naming the
// key and its value, for text that is not JSON, a missing name or image, a
// name that is empty, longer than 31 bytes or not bytes, a number outside
// its field, a frameCount or subframeCount other than the count, a frame
// that is an image with a subframeCount above 0, a null frame or subframe,
// an empty subframe list, or more than 32767 frames or subframes (what the
// counts hold); else Ok or OutOfMemory.
// The text that is not JSON says at which line and column (from 1, in
// bytes) it stops being JSON.
Status ReadEntryDescription(std::span<const std::uint8_t> json, EntryDescription& description, Problem& problem);

// The entry header's aux1 in every entry of the game's archives.
constexpr std::uint16_t kUsualEntryAux1 = 1;

// An archive as described: its header's version, and the description
// files of its entries in the archive's order.
struct ArchiveDescription {
  std::uint32_t version = kGafVersion;
  std::vector<std::string> entries;  // file names, as bytes
};

// {"version": N, "entries": ["NAME.json", ...]}, two-space indented, with
// the names written as in entry descriptions. Ok, OutOfMemory, WriteFailed.
Status WriteArchiveDescription(const ArchiveDescription& description, ByteSink& sink);

// Whether `json` describes an archive rather than an entry, whatever its
// file is named: a JSON object with "entries" and no "name".
bool IsArchiveDescription(std::span<const std::uint8_t> json);

// Reads what WriteArchiveDescription writes; "version" defaults to
// kGafVersion and may be no other (readers take no other), "entries" must be
// there. Ok, OutOfMemory, or DescriptionInvalid with `problem`'s detail naming the
// key and its value.
Status ReadArchiveDescription(std::span<const std::uint8_t> json, ArchiveDescription& description,
                              Problem& problem);

}  // namespace tessly
