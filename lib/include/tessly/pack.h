// Building an archive again from the descriptions of its entries and the
// image files they name (what taking it apart with descriptions wrote,
// edited or not), and checking the archive built before it is kept.
//
// Threads: any number may pack at once, each into its own PackedArchive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tessly/description.h"
#include "tessly/image.h"
#include "tessly/problem.h"
#include "tessly/status.h"
#include "tessly/stored_entry.h"

namespace tessly {

// What an image's pixels are: its size and a checksum of its indexes.
struct ImageSum {
  std::uint16_t width = 0, height = 0;
  std::uint64_t sum = 0;
  bool operator==(const ImageSum&) const = default;
};
ImageSum SumOf(const DecodedImage& image);

// Where an image of a StoredArchive is: entry, frame, and subframe (-1 for
// a frame's own image).
struct ImagePlace {
  std::size_t entry = 0, frame = 0;
  std::ptrdiff_t subframe = -1;
};

// An archive being packed: what is stored so far, and what the archive
// written from it must read back as.
struct PackedArchive {
  StoredArchive archive;
  std::vector<ImageSum> images;                      // each image's, in the order of the walk
  std::vector<ImagePlace> places;                    // each image's, in the same order
  std::map<std::string, std::int32_t> imageNumbers;  // each image file packed, by path, to its number
  std::uint64_t rowBytes = 0;                        // that the archive stores so far: shared rows once
};

// Reads the image file at `path` into `image`. False when it cannot be
// used; the loader tells its user why.
using ImageLoader = std::function<bool(const std::string& path, DecodedImage& image)>;

// An image as PackEntry keeps it: the header it is described with, its
// rows encoded as that header says, and the checksum of its pixels.
struct PreparedImage {
  StoredImage stored;
  ImageSum sum;
};

// What PackEntry makes of an image loaded for `described`, the empty-image
// rule included; `image` may be left empty. Ok or OutOfMemory. Any number
// of threads may prepare at once, so a caller may load and prepare the
// images of entries ahead of PackEntry on every core.
Status PrepareImage(const ImageDescription& described, DecodedImage& image, PreparedImage& prepared);

// One image that an entry description names: the file it is loaded from
// and the description it is prepared for. A file named twice is two uses.
struct ImageUse {
  std::string path;                  // the folder given + the image's file name
  const ImageDescription* described; // within the entry description, which must outlive it
  int frame = -1;                    // the frame that names it, from 0
  int subframe = -1;                 // and the subframe, or -1 for the frame's own image
};

// Every image of `described`, in the order PackEntry loads them: each
// frame's own image or its subframes, frame after frame. Ok, OutOfMemory,
// or DescriptionInvalid for a frame or subframe that is missing (one that
// DescribeEntry could not read); `uses` then holds those before it.
Status ListImageUses(const EntryDescription& described, const std::string& folder, std::vector<ImageUse>& uses);

// Gives the prepared image of use number `use` (from 0, in the order of
// ListImageUses). False when it cannot be used; the loader tells its user why.
using PreparedImageLoader = std::function<bool(std::size_t use, const ImageUse& image, PreparedImage& prepared)>;

// Adds the entry that `described` describes to `packed`, its images loaded
// from `folder` + each image's file name and encoded as their headers say.
// An image of no width or no height in the description is empty, and its
// file then holds one transparent pixel (a PNG file cannot be empty). An
// image whose `sharedWith` names a file packed before, in this archive,
// shares that image's rows when they are the same. Every image is loaded
// even after one fails, so that each problem is told. Ok; ImageDamaged when
// an image could not be loaded; EntryTooLarge once the rows pass
// kOffsetLimit (nothing more is loaded); DescriptionInvalid, before
// anything is loaded, as ListImageUses; OutOfMemory.
Status PackEntry(const EntryDescription& described, const std::string& folder, const ImageLoader& load,
                 PackedArchive& packed);
// The same with images prepared by the loader (PrepareImage), each use
// asked for once.
Status PackEntry(const EntryDescription& described, const std::string& folder, const PreparedImageLoader& load,
                 PackedArchive& packed);

// Writes the archive in the standard layout into `file` (into the memory
// it holds, when there is room: a caller may reserve it), then reads it
// back through Archive and compares the header, every entry, frame and
// subframe header and every decoded image with what was packed. Ok;
// EntryTooLarge for an archive past kOffsetLimit; ReadBackDiffers with
// `mismatch` saying where (entry, its name, frame and subframe, -1 where
// it is not about one) and, as its detail, what differs ("the frame
// header", "the image"); OutOfMemory.
Status WritePackedArchive(const PackedArchive& packed, std::vector<std::uint8_t>& file, Problem& mismatch);

// What --pack makes of the archive once --png --json has taken it apart:
// every entry described and packed from its decoded images, one image in
// memory at a time, then written and read back as WritePackedArchive does.
// Ok, EntryTooLarge as soon as the packed rows pass `largestRows` bytes, or
// what a step returns.
Status RebuildArchive(const Archive& archive, std::uint64_t largestRows, std::vector<std::uint8_t>& file);

}  // namespace tessly
