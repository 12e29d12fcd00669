#include "tessly/status.h"

#include <iterator>

namespace tessly {
namespace {

// Every status's texts, in the order of the enumeration.
constexpr StatusText kStatusTexts[] = {
    {Status::Ok, "done"},
    {Status::CannotOpen, "the file cannot be opened"},
    {Status::ArchiveUnreadable, "the archive cannot be read"},
    {Status::NotAGafArchive, "not a GAF archive", "Invalid GAF\n"},
    {Status::EntryTableSeek, "the entry lies past 2 GiB", " error seeking file position\n"},
    {Status::EntryTableRead, "the entry offset table cannot be read", " error reading file\n"},
    {Status::EntryHeaderSeek, "the entry lies past 2 GiB", " error seeking position\n"},
    {Status::EntryHeaderRead, "the entry header cannot be read", " error reading GAF entry\n"},
    {Status::FrameTableSeek, "the frame lies past 2 GiB", " error seeking GAF frame position\n"},
    {Status::FrameTableRead, "the frame table cannot be read", " error reading GAF frame entry\n"},
    {Status::FrameHeaderSeek, "the frame lies past 2 GiB", " error seeking frame data position\n"},
    {Status::FrameHeaderRead, "the frame header cannot be read", " error reading frame data\n"},
    {Status::SubframeTableSeek, "the subframe lies past 2 GiB", " error seeking subframe entry position\n"},
    {Status::SubframeTableRead, "the subframe table cannot be read", " error reading subframe entry data\n"},
    {Status::SubframeHeaderSeek, "the subframe lies past 2 GiB", " error seeking subframe data position\n"},
    {Status::SubframeHeaderRead, "the subframe header cannot be read", " error reading subframe data\n"},
    {Status::ImageSizeOutOfRange, "the image has a negative width or height", " error: image size out of range\n"},
    {Status::FramePixelsSeek, "the pixel data lies past 2 GiB", " error accessing frame pixel data\n",
     " error seeking frame pixel data\n"},
    {Status::SubframePixelsSeek, "the pixel data lies past 2 GiB", " error accessing subframe pixel data\n",
     " error seeking frame pixel data\n"},
    {Status::RowRead, "a row cannot be read", " error reading pixel data\n", " error reading pixel data row %d\n"},
    {Status::RowLengthRead, "a row's length cannot be read", " error reading pixel data length\n",
     " error reading pixel data row length\n"},
    {Status::RowCodesRead, "a row's codes cannot be read", " error reading compressed pixel data\n",
     " error reading pixel data row %d\n"},
    {Status::IndexOutOfRange, "there is no piece of that number"},
    {Status::FrameHasSubframes, "the frame is made of subframes"},
    {Status::ReadFailed, "the file cannot be read"},
    {Status::FileTooLarge, "the file is too large"},
    {Status::PaletteUnknownForm, "not a palette file of a known form"},
    {Status::PaletteWrongCount, "the palette does not hold the colours it says, or not 1 to 256"},
    {Status::PaletteBadColour, "a colour of the palette is not three numbers from 0 to 255"},
    {Status::DescriptionInvalid, "the description cannot be used"},
    {Status::ImageUnknownForm, "neither a PNG file nor a BMP file"},
    {Status::ImageUnsupported, "a BMP file that is compressed, or not of 8, 24 or 32 bits"},
    {Status::ImageDamaged, "the image file is damaged"},
    {Status::ColourNotInPalette, "a pixel's colour is not in the palette"},
    {Status::PartlyTransparent, "a pixel is partly transparent"},
    {Status::ReadBackDiffers, "the archive written does not read back as what was packed"},
    {Status::ImageTooLarge, "the image has more pixels than the limit"},
    {Status::EntryTooLarge, "the file would be larger than the limit"},
    {Status::OutOfMemory, "out of memory"},
    {Status::WriteFailed, "a write failed"},
};
constexpr bool InOrder() {
  for (std::size_t i = 0; i < std::size(kStatusTexts); ++i) {
    if (kStatusTexts[i].status != static_cast<Status>(i)) return false;
  }
  return std::size(kStatusTexts) == static_cast<std::size_t>(Status::WriteFailed) + 1;
}
static_assert(InOrder(), "one row for every status, in order");

}  // namespace

const StatusText& TextOf(Status status) {
  const auto at = static_cast<std::size_t>(status);
  return kStatusTexts[at < std::size(kStatusTexts) ? at : 0];
}

std::string_view StatusDescription(Status status) { return TextOf(status).description; }

}  // namespace tessly
