#include "app/pack.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "app/console_output.h"
#include "app/file_sink.h"
#include "app/inputs.h"
#include "app/messages.h"
#include "app/overwrite.h"
#include "base/ascii.h"
#include "platform/platform.h"
#include "tessly/archive_writer.h"
#include "tessly/description.h"
#include "tessly/filters.h"
#include "tessly/image_file.h"

namespace app {
namespace {

using namespace messages;

// Added to the name of an archive that is being written to replace another.
constexpr char kUnfinishedSuffix[] = ".unfinished";

bool IsArchiveDescription(std::string_view path) {
  constexpr std::string_view kEnding = ".GAF.JSON";
  return path.size() >= kEnding.size() && base::EqualsIgnoringCase(path.substr(path.size() - kEnding.size()), kEnding);
}

// Why a pixel cannot be used: "pixel (3, 4) has colour #C0FFEE, which the palette lacks".
std::string PixelProblemText(tessly::Status status, const tessly::PixelProblem& pixel) {
  char text[128];
  const auto& c = pixel.colour;
  if (status == tessly::Status::ColourNotInPalette) {
    std::snprintf(text, sizeof text, "pixel (%d, %d) has colour #%02X%02X%02X, which the palette lacks", pixel.x,
                  pixel.y, c.red, c.green, c.blue);
  } else {
    std::snprintf(text, sizeof text, "pixel (%d, %d) is partly transparent (colour #%02X%02X%02X, alpha %d)", pixel.x,
                  pixel.y, c.red, c.green, c.blue, pixel.alpha);
  }
  return text;
}

// A PNG file cannot hold an empty image, so --png writes one transparent
// pixel in its place: with a description of no width or no height, that
// pixel stands for the empty image.
bool StandsForEmptyImage(const tessly::GafFrameHeader& described, const tessly::DecodedImage& image) {
  return (described.width == 0 || described.height == 0) && described.width >= 0 && described.height >= 0 &&
         image.width == 1 && image.height == 1 && image.pixels[0] == tessly::kSkippedPixel;
}

class Packer {
 public:
  explicit Packer(const Options& options) : options_(options) {}

  bool Start() { return LoadPalette(options_.paletteFile, palette_); }

  // A description file given on the command line, or one that an archive
  // description names.
  void AddDescription(const std::string& path) {
    if (!IsArchiveDescription(path)) return AddEntry(path);
    std::vector<std::uint8_t> bytes;
    tessly::ArchiveDescription described;
    std::string problem;
    if (!ReadInputFile(path, bytes)) return Refuse();
    if (tessly::ReadArchiveDescription(bytes, described, problem) != tessly::Status::Ok) {
      return Refuse(path, problem);
    }
    if (!versionSet_) archive_.version = described.version;
    versionSet_ = true;
    for (const std::string& entry : described.entries) AddEntry(platform::DirectoryPart(path) + entry);
  }

  // Writes the archive when every input could be used. True when it was written.
  bool Write() {
    const std::string& target = options_.arguments.front();
    if (usable_ && archive_.entries.empty()) PrintInputError(target, "no entry to pack");
    if (tooLarge_ || (usable_ && tessly::GafArchiveFileSize(archive_) > tessly::kOffsetLimit)) {
      PrintInputError(target, "the archive would be larger than 2 GiB");
      return false;
    }
    if (!usable_ || archive_.entries.empty()) return false;
    // A new archive is written in its place; one that replaces a file is
    // written beside it first, so that a failed write leaves the old one.
    FileSink out;
    std::string writing = target;
    const bool created = platform::CreateNewOutput(target, out.file());
    if (!created) {
      OverwriteState overwrite = OverwriteState::From(options_);
      if (!platform::OutputExists(target)) return PrintWith(kErrorOpeningGafToWrite, target), false;
      if (AskOverwrite(target, overwrite) != OverwriteDecision::Write) return false;
      writing = target + kUnfinishedSuffix;
      if (!platform::CreateOutput(writing, out.file())) return PrintWith(kErrorOpeningGafToWrite, writing), false;
    }
    const bool written = tessly::WriteGafArchive(archive_, out) == tessly::Status::Ok && out.Flush();
    out.Close();
    if (written && (created || platform::ReplaceOutput(writing, target))) {
      PrintWith(kExported, target);
      return true;
    }
    platform::RemoveOutput(writing);  // no part of an archive is left
    PrintWith(kFailedToWrite, target);
    return false;
  }

 private:
  void Refuse() { usable_ = false; }
  void Refuse(const std::string& path, const std::string& why) {
    PrintInputError(path, why);
    usable_ = false;
  }

  void AddEntry(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    tessly::EntryDescription described;
    std::string problem;
    if (!ReadInputFile(path, bytes)) return Refuse();
    if (tessly::ReadEntryDescription(bytes, described, problem) != tessly::Status::Ok) return Refuse(path, problem);
    if (!options_.pattern.empty() && !tessly::MatchPattern(options_.pattern, described.name)) return;
    tessly::StoredEntry& entry = archive_.entries.emplace_back();
    entry.header.frameCount = described.frameCount;
    entry.header.aux1 = described.aux1;
    entry.header.aux2 = described.aux2;
    std::copy(described.name.begin(), described.name.end(), entry.header.name.begin());
    const std::string folder = platform::DirectoryPart(path);
    bool packed = true;
    for (const std::optional<tessly::FrameDescription>& frame : described.frames) {
      tessly::StoredFrame& stored = entry.frames.emplace_back();
      stored.tableAux = frame->tableAux;
      stored.image.header = frame->own.header;
      if (!frame->hasSubframes) packed = AddImage(folder, frame->own, stored.image) && packed;
      for (const std::optional<tessly::ImageDescription>& subframe : frame->subframes) {
        packed = AddImage(folder, *subframe, stored.subframes.emplace_back()) && packed;
      }
    }
    if (packed) PrintWith(kPacked, described.name);
  }

  // Reads, encodes and numbers one image; shares the rows of the image that
  // it names in `sharedWith` when the writer finds them the same.
  bool AddImage(const std::string& folder, const tessly::ImageDescription& described, tessly::StoredImage& stored) {
    if (tooLarge_) return false;  // no more memory is spent on an archive that cannot be written
    const std::string path = folder + described.image;
    std::vector<std::uint8_t> bytes;
    tessly::DecodedImage image;
    tessly::PixelProblem pixel;
    if (!ReadInputFile(path, bytes)) return Refuse(), false;
    const tessly::Status read = tessly::ReadImageFile(bytes, palette_, {.nearest = options_.nearest}, image, pixel);
    if (read == tessly::Status::ColourNotInPalette || read == tessly::Status::PartlyTransparent) {
      return Refuse(path, PixelProblemText(read, pixel)), false;
    }
    if (read != tessly::Status::Ok) return Refuse(path, std::string(tessly::StatusDescription(read))), false;
    if (StandsForEmptyImage(described.header, image)) {
      image = {
          static_cast<std::uint16_t>(described.header.width), static_cast<std::uint16_t>(described.header.height), {}};
    }
    stored.header = described.header;
    if (tessly::EncodeStoredImage(image, described.header.compressed != 0, stored) != tessly::Status::Ok) {
      return Refuse(path, std::string(tessly::StatusDescription(tessly::Status::OutOfMemory))), false;
    }
    if (!described.sharedWith.empty()) {
      const auto shared = imageNumbers_.find(folder + described.sharedWith);
      if (shared != imageNumbers_.end()) stored.sharesRowsOf = shared->second;
    }
    imageNumbers_.try_emplace(path, nextImage_++);
    rowBytes_ += stored.rows.size();
    tooLarge_ = rowBytes_ > tessly::kOffsetLimit;
    return !tooLarge_;
  }

  const Options& options_;
  tessly::Palette palette_ = tessly::BuiltInPalette();
  tessly::StoredArchive archive_;
  std::map<std::string, std::int32_t> imageNumbers_;  // each image file packed, by path, to its number in the walk
  std::int32_t nextImage_ = 0;
  bool versionSet_ = false;
  bool usable_ = true;          // false once an input could not be used
  std::uint64_t rowBytes_ = 0;  // of all images so far, which the archive cannot hold past 2 GiB
  bool tooLarge_ = false;
};

}  // namespace

bool RunPack(const Options& options) {
  const std::string& target = options.arguments.front();
  PrintWith(kArchiveName, target);
  Packer packer(options);
  if (!packer.Start()) return false;
  bool found = true;
  for (std::size_t i = 1; i < options.arguments.size(); ++i) {
    // Wildcards expand in name order; every description given counts.
    const std::string& given = options.arguments[i];
    std::vector<std::string> names;
    platform::FindMatchingNames(given, names);
    if (names.empty()) PrintInputError(given, "no such description");
    found = found && !names.empty();
    for (const std::string& name : names) packer.AddDescription(platform::DirectoryPart(given) + name);
  }
  return found && packer.Write();
}

}  // namespace app
