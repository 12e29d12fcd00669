// What a BMP or PNG file loses of an entry, as JSON: the entry's fields,
// and each frame's and subframe's header fields with the name of its image
// file, so that sprites can be placed and the archive rebuilt.
//
// Threads: as the archive allows (tessly/archive.h); ImageFileName anywhere.
#pragma once

#include <string>
#include <string_view>

#include "tessly/archive.h"
#include "tessly/io.h"
#include "tessly/status.h"

namespace tessly {

// The name of an image's file: NAME00.EXT for frame 0 of entry NAME,
// NAME01_02.EXT for subframe 2 of frame 1 (at least two digits each);
// `subframe` is -1 for a frame's own image.
std::string ImageFileName(std::string_view entryName, int frame, int subframe, std::string_view extension);

// Writes the description of `entry` as JSON into `sink`, two-space indented
// and ending in a line end:
//   {"name", "frameCount", "aux1", "aux2", "frames": [...]}
// and for each frame {"tableAux", then the header fields "width", "height",
// "originX", "originY", "transparencyIndex", "compressed", "subframeCount",
// "aux4", "aux5", then "image" (its file name, with `imageExtension`) or
// "subframes": [{the header fields, "image"}...]}. originX and originY are
// the header's aux1 and aux2 taken as signed; transparencyIndex is aux3. A
// frame or subframe whose records cannot be read stands as null. Each name
// byte from 0x80 up is written as the code point of the same number.
// Ok, OutOfMemory, or WriteFailed when the sink refuses the text.
Status WriteEntryDescription(const Archive& archive, const Entry& entry, std::string_view imageExtension,
                             ByteSink& sink);

}  // namespace tessly
