// Every text that Tessly prints, each named after what it says. A "%s" or
// "%d" stands for the one value that PrintWith puts in.
#pragma once

#include <cstddef>
#include <iterator>
#include <string_view>

#include "tessly/check.h"
#include "tessly/status.h"

namespace app::messages {

constexpr std::string_view kBanner = "Tessly 1.0 - GAF sprite archive extractor\n\n";
constexpr std::string_view kUsage =
    "Usage: Tessly [-B] [-P] [-E (pattern)] [-Y/N] [-S [suffix]] [filespec]\n\n"
    "-B\tOutput individual bitmaps instead of GAFs\n"
    "-P\tExtract only regular build pics (3 frames, all 64x64)\n"
    "-E\tExtract only Entries whose name matches (pattern)\n"
    "-Y\tAuto-answer all overwrite prompts with \"Yes\"\n"
    "-N\tAuto-answer all overwrite prompts with \"No\"\n"
    "-S\tUse [suffix] when composing GAF filenames instead of _gadget\n";
// After the usage text, for --help only.
constexpr std::string_view kLongOptionsHelp =
    "--png\tOutput individual PNG files, skipped pixels transparent, instead of GAFs\n"
    "--json\tWith -B or --png, also write NAME.json describing each entry\n"
    "--palette FILE\tUse the colours of FILE (a palette file) in BMP and PNG files\n"
    "--pack ARCHIVE DESCRIPTION...\tBuild ARCHIVE from the descriptions that --json wrote and their images\n"
    "--nearest\tWith --pack, give a colour that the palette lacks its nearest colour\n"
    "--dither\tWith --pack, dither colours that the palette lacks (Floyd-Steinberg) instead\n"
    "--list\tList every entry, frame and subframe with its header fields; nothing is written\n"
    "--gif\tWrite NAME.gif, each entry's frames as an animation that loops forever\n"
    "--sheet\tWrite NAME.sheet.png, each entry's frames on one sheet, and its atlas NAME.sheet.json\n"
    "--delay CS\tWith --gif or --sheet, show each frame CS hundredths of a second (default 7)\n"
    "--check\tReport what is damaged or off in each archive; exit status 1 if any is damaged\n"
    "--out DIR\tWrite every output into DIR, made if missing, instead of the current folder\n"
    "--write-palette FILE\tWrite the palette as FILE: .pal (JASC), .gpl (GIMP), .act (Photoshop) or .png (swatch)\n"
    "--help\tShow this text with the long options\n";

// Command line. A pattern missing at the end of the line or before -B, -P
// or -Y gives the first text; before -N, -E or -S the second.
constexpr std::string_view kPatternRequiredStarQuestion = "ERROR: -E requires a pattern (use * and ? as wildcards)\n";
constexpr std::string_view kPatternRequiredStarQuestionDot =
    "ERROR: -E requires a pattern (use *, ?, and . as wildcards)\n";
constexpr std::string_view kCannotSpecifyYesAndNo = "ERROR: Cannot specify both -Y and -N\n";
constexpr std::string_view kJsonNeedsImages = "ERROR: --json needs -B or --png\n";
constexpr std::string_view kPaletteRequiresFile = "ERROR: --palette requires a file name\n";
constexpr std::string_view kPackCannotTake = "ERROR: --pack cannot be used with -B, --png, --json, -P or -S\n";
constexpr std::string_view kPackNeedsFiles = "ERROR: --pack needs an archive name and at least one description\n";
constexpr std::string_view kNearestNeedsPack = "ERROR: --nearest needs --pack\n";
constexpr std::string_view kOneModeOnly =
    "ERROR: --list, --gif, --sheet, --check, --pack and --write-palette go with no other of them, nor with -B, "
    "--png or --json\n";
constexpr std::string_view kDitherNeedsPack = "ERROR: --dither needs --pack\n";
constexpr std::string_view kNearestOrDither = "ERROR: --nearest and --dither cannot go together\n";
constexpr std::string_view kOutRequiresFolder = "ERROR: --out requires a folder name\n";
constexpr std::string_view kWritePaletteRequiresFile = "ERROR: --write-palette requires a file name\n";
constexpr std::string_view kWritePaletteNeedsForm =
    "ERROR: --write-palette needs a file name ending in .pal, .gpl, .act or .png\n";
constexpr std::string_view kWritePaletteTakesNoFile = "ERROR: --write-palette takes no other file name\n";
// A folder that --out names and that cannot be made.
constexpr std::string_view kCannotMakeFolder = "ERROR: cannot make the folder %s\n";
constexpr std::string_view kDelayRequiresNumber = "ERROR: --delay requires a number of hundredths of a second, 1 to 65535\n";
constexpr std::string_view kDelayNeedsGif = "ERROR: --delay needs --gif or --sheet\n";
constexpr std::string_view kSuffixCannotContain = "ERROR: Suffix cannot contain \\ / : * ? \" < > or |\n";

// A palette that cannot be used: the name, then the reason and a line end.
constexpr std::string_view kCannotUsePalette = "ERROR: cannot use the palette %s: ";

// A file that --pack cannot use: its name, then why and a line end.
constexpr std::string_view kInputError = "ERROR: %s: ";
// Why, for --pack.
constexpr std::string_view kNoSuchDescription = "no such description";
constexpr std::string_view kNoEntryToPack = "no entry to pack";
constexpr std::string_view kArchiveTooLarge = "the archive would be larger than 2 GiB";
constexpr char kPixelNotInPalette[] = "pixel (%d, %d) has colour #%02X%02X%02X, which the palette lacks";
constexpr char kPixelPartlyTransparent[] = "pixel (%d, %d) is partly transparent (colour #%02X%02X%02X, alpha %d)";
constexpr char kPixelSkippedColour[] =
    "pixel (%d, %d) is opaque but has colour #%02X%02X%02X, which only the transparent index 9 has";
// Which description, and where in it, names an image file: after its name.
constexpr std::string_view kNamedBy = " (%s";
constexpr std::string_view kNamedByEnd = ")";
// What --nearest and --dither did to an image file's colours.
constexpr std::string_view kNearestChanged = "  %s: %d of its pixels changed to the nearest colours\n";
constexpr std::string_view kDitherChanged = "  %s: %d of its pixels changed by dithering\n";
// --pack's last line when the archive was not written for an error above.
constexpr std::string_view kArchiveNotWritten = "  %s not written: an error above stopped it\n";
// Where a problem lies: "entry 2 (TREE), frame 1, subframe 0".
constexpr std::string_view kAtEntry = "entry %d";
constexpr std::string_view kAtEntryName = " (%s)";
constexpr std::string_view kAtFrame = ", frame %d";
constexpr std::string_view kAtSubframe = ", subframe %d";
// Where a rebuilt archive does not read back as it was packed, and what:
// "entry 2 (TREE), frame 1, subframe 0: the image does not read back as it was packed".
constexpr std::string_view kAtArchive = "the archive";
constexpr std::string_view kDoesNotReadBack = ": %s does not read back as it was packed";

// Archives.
constexpr std::string_view kFileNotFound = "File not found\n";
// One of several filespecs that matches nothing.
constexpr std::string_view kFileSpecNotFound = "File not found: %s\n";
constexpr std::string_view kArchiveName = "%s\n";
constexpr std::string_view kCouldNotOpen = "ERROR;  could not open\n";
constexpr std::string_view kOnlyOneGafEntry = "  Only one GAF entry (no action taken)\n";

// --gif and --sheet, after the entry's name.
constexpr std::string_view kNothingToDraw = "  %s has no frame to draw; no file written\n";
constexpr std::string_view kCanvasTooLarge =
    "  %s: the frames need a canvas larger than 65535 pixels a side or 32767 x 32767 pixels; no file written\n";

// --list. The archive's line, the columns, an entry's line, a frame's and a subframe's.
constexpr std::string_view kListArchive = "  version 0x%08X, %d entries\n";
constexpr std::string_view kListEntryColumns =
    "  entry  name                              frames   aux1        aux2\n";
constexpr char kListEntry[] = "  %5d  %-32s  %6d  %5u  0x%08X\n";
constexpr std::string_view kListFrameColumns =
    "         frame  sub      size          origin      transp.  compressed  subframes  pixel data\n";
constexpr char kListFrame[] = "         %5s  %3s  %5d x %-5d  %6d,%-6d  %7u  %10s  %9s  %s\n";

// --check: a finding's line is its severity, where it applies (kAtEntry...)
// and what it says.
constexpr std::string_view kFindingByte = "byte %lld";
// What each kind of finding says, with "%lld" for its value where it has one.
struct FindingText {
  tessly::FindingKind key;
  std::string_view text;
};
constexpr FindingText kFindingTexts[] = {
    {tessly::FindingKind::HeaderUnreadable, "the file is shorter than a GAF header (12 bytes)"},
    {tessly::FindingKind::VersionRefused, "the version is %lld, not 65792 (0x00010100)"},
    {tessly::FindingKind::EntryCountNegative, "the entry count is negative (%lld)"},
    {tessly::FindingKind::FrameCountNegative, "the frame count is negative (%lld)"},
    {tessly::FindingKind::SubframeCountNegative, "the subframe count is negative (%lld)"},
    {tessly::FindingKind::EntryTableOutside, "the entry's element of the entry table lies outside the file"},
    {tessly::FindingKind::EntryHeaderOutside, "the entry header (at byte %lld) lies outside the file"},
    {tessly::FindingKind::FrameTableOutside, "the frame's element of the frame table lies outside the file"},
    {tessly::FindingKind::FrameHeaderOutside, "the frame header (at byte %lld) lies outside the file"},
    {tessly::FindingKind::SubframeTableOutside, "the subframe's element of the subframe table lies outside the file"},
    {tessly::FindingKind::SubframeHeaderOutside, "the subframe header (at byte %lld) lies outside the file"},
    {tessly::FindingKind::SizeNegative, "the width or height is negative"},
    {tessly::FindingKind::PixelDataOutside, "the pixel data lies outside the file"},
    {tessly::FindingKind::RowPastFile, "row %lld runs past the end of the file"},
    {tessly::FindingKind::RowCodesPastLength, "the codes of row %lld run past the row's length"},
    {tessly::FindingKind::NestedSubframes, "a subframe claims %lld subframes of its own: subframes cannot nest"},
    {tessly::FindingKind::ImageTooLarge, "the image has %lld pixels, more than the reader takes"},
    {tessly::FindingKind::NameWithSlash, "the name holds / or \\, so extraction cannot write its files"},
    {tessly::FindingKind::ReadFailed, "%s"},
    {tessly::FindingKind::NameRepeated, "the name is also entry %lld's"},
    {tessly::FindingKind::NameRepeatedButCase, "the name is entry %lld's but for letter case"},
    {tessly::FindingKind::NameNotAFileName, "the name cannot name a file on Windows"},
    {tessly::FindingKind::NameWithoutNul, "the name fills all 32 bytes, with no NUL"},
    {tessly::FindingKind::RowPastWidth, "the codes of row %lld give more pixels than the width"},
    {tessly::FindingKind::PixelDataOverlaps, "the pixel data overlaps other pixel data (at byte %lld) without being the same"},
    {tessly::FindingKind::UnusedBytes, "%lld bytes that no record or row uses"},
    {tessly::FindingKind::TransparencyNot9, "the transparency field is %lld, not 9"},
    {tessly::FindingKind::NotRebuiltByteForByte, "--pack would not rebuild this archive byte for byte (another layout or row encoding)"},
};
static_assert(std::size(kFindingTexts) == static_cast<std::size_t>(tessly::FindingKind::NotRebuiltByteForByte) + 1,
              "a text for every kind of finding");
constexpr FindingText kUnknownFinding{tessly::FindingKind::ReadFailed, "a finding of an unknown kind"};
constexpr std::string_view kNoProblems = "  no problems\n";
constexpr std::string_view kSeverityWords[] = {"error", "warning", "note"};  // in the order of tessly::Severity
constexpr std::string_view kCheckFailed = "  error: %s\n";
constexpr std::string_view kErrorCount = "error";      // "1 error", "2 errors"
constexpr std::string_view kWarningCount = "warning";

// Where a status's line is printed: image mode, or GAF mode.
enum class Mode { Bitmaps, GafCopy };

// The line that extraction reports a piece that fails with, in image mode
// and, where it differs, in GAF mode ("%d" stands for the row's number,
// from 0). A status that is not here is reported by no line of its own.
struct StatusLine {
  tessly::Status key;
  std::string_view imageLine;
  std::string_view copyLine = {};  // empty: imageLine
};
constexpr StatusLine kStatusLines[] = {
    {tessly::Status::NotAGafArchive, "Invalid GAF\n"},
    {tessly::Status::EntryTableSeek, " error seeking file position\n"},
    {tessly::Status::EntryTableRead, " error reading file\n"},
    {tessly::Status::EntryHeaderSeek, " error seeking position\n"},
    {tessly::Status::EntryHeaderRead, " error reading GAF entry\n"},
    {tessly::Status::FrameTableSeek, " error seeking GAF frame position\n"},
    {tessly::Status::FrameTableRead, " error reading GAF frame entry\n"},
    {tessly::Status::FrameHeaderSeek, " error seeking frame data position\n"},
    {tessly::Status::FrameHeaderRead, " error reading frame data\n"},
    {tessly::Status::SubframeTableSeek, " error seeking subframe entry position\n"},
    {tessly::Status::SubframeTableRead, " error reading subframe entry data\n"},
    {tessly::Status::SubframeHeaderSeek, " error seeking subframe data position\n"},
    {tessly::Status::SubframeHeaderRead, " error reading subframe data\n"},
    {tessly::Status::ImageSizeOutOfRange, " error: image size out of range\n"},
    {tessly::Status::FramePixelsSeek, " error accessing frame pixel data\n", " error seeking frame pixel data\n"},
    {tessly::Status::SubframePixelsSeek, " error accessing subframe pixel data\n", " error seeking frame pixel data\n"},
    {tessly::Status::RowRead, " error reading pixel data\n", " error reading pixel data row %d\n"},
    {tessly::Status::RowLengthRead, " error reading pixel data length\n", " error reading pixel data row length\n"},
    {tessly::Status::RowCodesRead, " error reading compressed pixel data\n", " error reading pixel data row %d\n"},
};
constexpr StatusLine kNoStatusLine{tessly::Status::Ok, {}};

// The row of `table` whose key is `key`, or `none`: every table of texts
// answers a value it does not hold in the same way.
template <typename Row, std::size_t N, typename Key>
constexpr const Row& RowFor(const Row (&table)[N], Key key, const Row& none) {
  for (const Row& row : table) {
    if (row.key == key) return row;
  }
  return none;
}

// Output files. GAF mode indents its opening error by one blank more.
constexpr std::string_view kErrorOpeningBitmapToWrite = " error opening %s to write\n";
constexpr std::string_view kErrorOpeningGafToWrite = "  error opening %s to write\n";
constexpr std::string_view kExported = "  Exported %s\n";
constexpr std::string_view kPacked = "  Packed %s\n";
constexpr std::string_view kFailedToWrite = "  Failed to write %s\n";
constexpr std::string_view kAlreadyExistsSkipping = "  %s already exists; skipping\n";
constexpr std::string_view kAlreadyExistsOverwrite = "  %s already exists; Overwrite (Yes/No/All/Quit)? ";
constexpr std::string_view kAnswerEnd = "\n";

}  // namespace app::messages
