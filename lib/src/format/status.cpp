#include "tessly/status.h"

#include <iterator>

namespace tessly {
namespace {

// Every status's description, in the order of the enumeration.
struct StatusDescriptionRow {
  Status status;
  std::string_view description;
};
constexpr StatusDescriptionRow kDescriptions[] = {
    {Status::Ok, "done"},
    {Status::CannotOpen, "the file cannot be opened"},
    {Status::ArchiveUnreadable, "the archive cannot be read"},
    {Status::NotAGafArchive, "not a GAF archive"},
    {Status::EntryTableSeek, "the entry lies past 2 GiB"},
    {Status::EntryTableRead, "the entry offset table cannot be read"},
    {Status::EntryHeaderSeek, "the entry lies past 2 GiB"},
    {Status::EntryHeaderRead, "the entry header cannot be read"},
    {Status::FrameTableSeek, "the frame lies past 2 GiB"},
    {Status::FrameTableRead, "the frame table cannot be read"},
    {Status::FrameHeaderSeek, "the frame lies past 2 GiB"},
    {Status::FrameHeaderRead, "the frame header cannot be read"},
    {Status::SubframeTableSeek, "the subframe lies past 2 GiB"},
    {Status::SubframeTableRead, "the subframe table cannot be read"},
    {Status::SubframeHeaderSeek, "the subframe lies past 2 GiB"},
    {Status::SubframeHeaderRead, "the subframe header cannot be read"},
    {Status::ImageSizeOutOfRange, "the image has a negative width or height"},
    {Status::FramePixelsSeek, "the pixel data lies past 2 GiB"},
    {Status::SubframePixelsSeek, "the pixel data lies past 2 GiB"},
    {Status::RowRead, "a row cannot be read"},
    {Status::RowLengthRead, "a row's length cannot be read"},
    {Status::RowCodesRead, "a row's codes cannot be read"},
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
    {Status::NoSuchFile, "there is no such file"},
    {Status::NotAFile, "it is a folder or a device, not a file"},
    {Status::OpaqueSkippedColour, "an opaque pixel has the colour of the skipped index alone"},
};
constexpr bool InOrder() {
  for (std::size_t i = 0; i < std::size(kDescriptions); ++i) {
    if (kDescriptions[i].status != static_cast<Status>(i)) return false;
  }
  return std::size(kDescriptions) == static_cast<std::size_t>(Status::OpaqueSkippedColour) + 1;
}
static_assert(InOrder(), "one row for every status, in order");

}  // namespace

std::string_view StatusDescription(Status status) {
  const auto at = static_cast<std::size_t>(status);
  return at < std::size(kDescriptions) ? kDescriptions[at].description : "an unknown status";
}

}  // namespace tessly
