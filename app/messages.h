// Every text that Tessly prints, each named after what it says. A "%s" or
// "%d" stands for the one value that PrintWith puts in.
#pragma once

#include <string_view>

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

// Command line. A pattern missing at the end of the line or before -B, -P
// or -Y gives the first text; before -N, -E or -S the second.
constexpr std::string_view kPatternRequiredStarQuestion = "ERROR: -E requires a pattern (use * and ? as wildcards)\n";
constexpr std::string_view kPatternRequiredStarQuestionDot =
    "ERROR: -E requires a pattern (use *, ?, and . as wildcards)\n";
constexpr std::string_view kCannotSpecifyYesAndNo = "ERROR: Cannot specify both -Y and -N\n";
constexpr std::string_view kSuffixCannotContain = "ERROR: Suffix cannot contain \\ / : * ? \" < > or |\n";

// Archives.
constexpr std::string_view kFileNotFound = "File not found\n";
constexpr std::string_view kArchiveName = "%s\n";
constexpr std::string_view kCouldNotOpen = "ERROR;  could not open\n";
constexpr std::string_view kInvalidGaf = "Invalid GAF\n";
constexpr std::string_view kErrorSeekingFilePosition = " error seeking file position\n";
constexpr std::string_view kOnlyOneGafEntry = "  Only one GAF entry (no action taken)\n";

// Entries, frames and subframes.
constexpr std::string_view kErrorReadingFile = " error reading file\n";
constexpr std::string_view kErrorSeekingPosition = " error seeking position\n";
constexpr std::string_view kErrorReadingGafEntry = " error reading GAF entry\n";
constexpr std::string_view kErrorSeekingGafFramePosition = " error seeking GAF frame position\n";
constexpr std::string_view kErrorReadingGafFrameEntry = " error reading GAF frame entry\n";
constexpr std::string_view kErrorSeekingFrameDataPosition = " error seeking frame data position\n";
constexpr std::string_view kErrorReadingFrameData = " error reading frame data\n";
constexpr std::string_view kErrorSeekingSubframeEntryPosition = " error seeking subframe entry position\n";
constexpr std::string_view kErrorReadingSubframeEntryData = " error reading subframe entry data\n";
constexpr std::string_view kErrorSeekingSubframeDataPosition = " error seeking subframe data position\n";
constexpr std::string_view kErrorReadingSubframeData = " error reading subframe data\n";
constexpr std::string_view kImageSizeOutOfRange = " error: image size out of range\n";

// Pixel data in bitmap mode.
constexpr std::string_view kErrorAccessingFramePixelData = " error accessing frame pixel data\n";
constexpr std::string_view kErrorAccessingSubframePixelData = " error accessing subframe pixel data\n";
constexpr std::string_view kErrorReadingPixelData = " error reading pixel data\n";
constexpr std::string_view kErrorReadingPixelDataLength = " error reading pixel data length\n";
constexpr std::string_view kErrorReadingCompressedPixelData = " error reading compressed pixel data\n";

// Pixel data in GAF mode.
constexpr std::string_view kErrorSeekingFramePixelData = " error seeking frame pixel data\n";
constexpr std::string_view kErrorReadingPixelDataRowLength = " error reading pixel data row length\n";
constexpr std::string_view kErrorReadingPixelDataRow = " error reading pixel data row %d\n";

// Output files. GAF mode indents its opening error by one blank more.
constexpr std::string_view kErrorOpeningBitmapToWrite = " error opening %s to write\n";
constexpr std::string_view kErrorOpeningGafToWrite = "  error opening %s to write\n";
constexpr std::string_view kExported = "  Exported %s\n";
constexpr std::string_view kFailedToWrite = "  Failed to write %s\n";
constexpr std::string_view kAlreadyExistsSkipping = "  %s already exists; skipping\n";
constexpr std::string_view kAlreadyExistsOverwrite = "  %s already exists; Overwrite (Yes/No/All/Quit)? ";
constexpr std::string_view kAnswerEnd = "\n";

}  // namespace app::messages
