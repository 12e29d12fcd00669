// What a step of the library did: Ok, or what failed. Every function that
// can fail returns one of these (OutOfMemory when memory runs out); none
// prints or ends the process, and none throws but the few that give a
// string by value, which throw std::bad_alloc and say so.
//
// Threads: StatusDescription may be called anywhere.
#pragma once

#include <string_view>

namespace tessly {

enum class Status {
  Ok,

  // The archive as a whole.
  CannotOpen,         // the file could not be opened for reading
  ArchiveUnreadable,  // the source failed when its header was read
  NotAGafArchive,     // shorter than a header, or another version

  // Reaching a record. A seek fails for an offset of 0x80000000 or more; a
  // read fails when the source fails or ends before the record does.
  EntryTableSeek,  // the entry's element of the entry offset table
  EntryTableRead,
  EntryHeaderSeek,  // the entry header that the element points at
  EntryHeaderRead,
  FrameTableSeek,  // the frame's element of the entry's frame table
  FrameTableRead,
  FrameHeaderSeek,  // the frame header that the element points at
  FrameHeaderRead,
  SubframeTableSeek,  // the subframe's element of the frame's subframe table
  SubframeTableRead,
  SubframeHeaderSeek,  // the subframe header that the element points at
  SubframeHeaderRead,

  // An image's pixel data.
  ImageSizeOutOfRange,  // a width or height that gives no image
  FramePixelsSeek,      // a frame's pixel data lies at 0x80000000 or past it
  SubframePixelsSeek,   // the same for a subframe's
  RowRead,              // a plain row could not be read whole
  RowLengthRead,        // a compressed row's length could not be read
  RowCodesRead,         // a compressed row's codes could not be read whole

  // Asking for what is not there.
  IndexOutOfRange,    // an entry, frame or subframe number below 0 or past the count
  FrameHasSubframes,  // a frame made of subframes has no image of its own to decode

  // Files read whole.
  ReadFailed,    // the file failed while it was read
  FileTooLarge,  // larger than the reader takes

  // Palette files.
  PaletteUnknownForm,  // none of the known palette forms, or larger than any
  PaletteWrongCount,   // fewer or more colours than the file says, none, or more than 256
  PaletteBadColour,    // a colour that is not three numbers from 0 to 255

  // Rebuilding archives.
  DescriptionInvalid,  // a description that is not JSON or holds a key or value that cannot be used
  ImageUnknownForm,    // an image file that is neither PNG nor BMP
  ImageUnsupported,    // a BMP file that is compressed, or of other than 8, 24 or 32 bits
  ImageDamaged,        // an image file that cannot be decoded
  ColourNotInPalette,  // a pixel of a colour that the palette lacks
  PartlyTransparent,   // a pixel neither opaque nor fully transparent
  ReadBackDiffers,     // a rebuilt archive does not read back as what was packed

  // Limits and writing.
  ImageTooLarge,  // more pixels than Limits::imagePixels allows
  EntryTooLarge,  // a file past Limits::entryBytes or kOffsetLimit
  OutOfMemory,
  WriteFailed,  // the byte sink refused a write

  // Why a file could not be opened, where CannotOpen does not say; last,
  // so that the statuses before them keep their numbers.
  NoSuchFile,  // nothing stands at the path
  NotAFile,    // a folder or a device stands there

  // Rebuilding archives, added later.
  OpaqueSkippedColour,  // an opaque pixel whose colour only the skipped index has
};

// A short description of the status in English, such as "the entry header
// cannot be read", for programs that report statuses as they are; "an
// unknown status" for a value that is none. The text is a literal: it lives
// as long as the program and ends in a NUL.
std::string_view StatusDescription(Status status);

}  // namespace tessly
