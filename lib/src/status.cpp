#include "tessly/status.h"

namespace tessly {

std::string_view StatusDescription(Status status) {
  switch (status) {
    case Status::Ok:
      return "done";
    case Status::CannotOpen:
      return "the file cannot be opened";
    case Status::ArchiveUnreadable:
      return "the archive cannot be read";
    case Status::NotAGafArchive:
      return "not a GAF archive";
    case Status::EntryTableSeek:
    case Status::EntryHeaderSeek:
      return "the entry lies past 2 GiB";
    case Status::EntryTableRead:
      return "the entry offset table cannot be read";
    case Status::EntryHeaderRead:
      return "the entry header cannot be read";
    case Status::FrameTableSeek:
    case Status::FrameHeaderSeek:
      return "the frame lies past 2 GiB";
    case Status::FrameTableRead:
      return "the frame table cannot be read";
    case Status::FrameHeaderRead:
      return "the frame header cannot be read";
    case Status::SubframeTableSeek:
    case Status::SubframeHeaderSeek:
      return "the subframe lies past 2 GiB";
    case Status::SubframeTableRead:
      return "the subframe table cannot be read";
    case Status::SubframeHeaderRead:
      return "the subframe header cannot be read";
    case Status::ImageSizeOutOfRange:
      return "the image has a negative width or height";
    case Status::FramePixelsSeek:
    case Status::SubframePixelsSeek:
      return "the pixel data lies past 2 GiB";
    case Status::RowRead:
      return "a row cannot be read";
    case Status::RowLengthRead:
      return "a row's length cannot be read";
    case Status::RowCodesRead:
      return "a row's codes cannot be read";
    case Status::IndexOutOfRange:
      return "there is no piece of that number";
    case Status::FrameHasSubframes:
      return "the frame is made of subframes";
    case Status::ReadFailed:
      return "the file cannot be read";
    case Status::FileTooLarge:
      return "the file is too large";
    case Status::PaletteUnknownForm:
      return "not a palette file of a known form";
    case Status::PaletteWrongCount:
      return "the palette does not hold the colours it says, or not 1 to 256";
    case Status::PaletteBadColour:
      return "a colour of the palette is not three numbers from 0 to 255";
    case Status::DescriptionInvalid:
      return "the description cannot be used";
    case Status::ImageUnknownForm:
      return "neither a PNG file nor a BMP file";
    case Status::ImageUnsupported:
      return "a BMP file that is compressed, or not of 8, 24 or 32 bits";
    case Status::ImageDamaged:
      return "the image file is damaged";
    case Status::ColourNotInPalette:
      return "a pixel's colour is not in the palette";
    case Status::PartlyTransparent:
      return "a pixel is partly transparent";
    case Status::ReadBackDiffers:
      return "the archive written does not read back as what was packed";
    case Status::ImageTooLarge:
      return "the image has more pixels than the limit";
    case Status::EntryTooLarge:
      return "the entry makes a file larger than the limit";
    case Status::OutOfMemory:
      return "out of memory";
    case Status::WriteFailed:
      return "a write failed";
  }
  return "unknown status";
}

}  // namespace tessly
