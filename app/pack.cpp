#include "app/pack.h"

#include <algorithm>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "app/console_output.h"
#include "app/file_sink.h"
#include "app/inputs.h"
#include "app/messages.h"
#include "app/output_file.h"
#include "app/overwrite.h"
#include "app/parallel.h"
#include "platform/platform.h"
#include "tessly/archive_writer.h"
#include "tessly/description.h"
#include "tessly/filters.h"
#include "tessly/image_file.h"
#include "tessly/pack.h"

namespace app {
namespace {

using namespace messages;

// Added to the name of an archive that is being written to replace another.
constexpr char kUnfinishedSuffix[] = ".unfinished";

// Room for the archive's bytes, in large pages where the system has them.
void ReserveLarge(std::vector<std::uint8_t>& file, std::uint64_t size) {
  try {
    file.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(size, tessly::kOffsetLimit)));
  } catch (const std::bad_alloc&) {
    return;  // the writer grows the buffer as it needs
  }
  platform::PreferLargePages(file.data(), file.capacity());
}

// The last line of a run whose inputs kept the archive from being written,
// after the lines that say why. False, for the caller to return.
bool PrintNotWritten(const std::string& target) {
  PrintWith(kArchiveNotWritten, target);
  return false;
}

// How many entries are read ahead, at most.
constexpr std::size_t kBatchEntries = 1024;

// An image read ahead for one use: prepared for its description, or the
// line that says why it cannot be used.
struct LoadedImage {
  tessly::PreparedImage prepared;
  std::string problem;         // why, without the file's name
  std::uint64_t changed = 0;   // pixels --nearest or --dither gave another colour
};

// A description read ahead of its turn: an entry's, with its images (one
// for each use, since two frames that name one file may describe it
// differently), or on the command line an archive's, told by its content.
struct QueuedEntry {
  std::string path;
  bool listed = false;  // named by an archive's description, so an entry's
  std::string problem;  // the line printed at its turn when it cannot be used
  bool selected = false;
  bool isArchive = false;
  tessly::ArchiveDescription archive;  // for an archive's description
  tessly::EntryDescription described;
  std::vector<tessly::ImageUse> uses;  // none for an entry that is not packed
  std::vector<LoadedImage> images;     // in the order of `uses`
};

class Packer {
 public:
  explicit Packer(const Options& options) : options_(options) {}

  bool Start() { return LoadPalette(options_.paletteFile, palette_); }

  // A description file given on the command line: an entry's or an archive's.
  void AddDescription(const std::string& path) { Queue(batch_, path, false); }

  // Writes the archive when every input could be used and it reads back as
  // packed. True when it was written.
  bool Write() {
    PackWaiting();
    const std::string& target = options_.arguments.front();
    if (usable_ && packed_.archive.entries.empty()) PrintInputError(target, kNoEntryToPack);
    if (!usable_ || packed_.archive.entries.empty()) {
      if (tooLarge_) PrintTooLarge(target);
      if (outOfMemory_) PrintInputError(target, tessly::StatusDescription(tessly::Status::OutOfMemory));
      return PrintNotWritten(target);
    }
    std::vector<std::uint8_t> file;
    ReserveLarge(file, tessly::GafArchiveFileSize(packed_.archive));
    tessly::Problem mismatch;
    const tessly::Status built = tessly::WritePackedArchive(packed_, file, mismatch);
    if (built == tessly::Status::Ok) return WriteFile(target, file);
    PrintInputError(target, built == tessly::Status::EntryTooLarge     ? std::string(kArchiveTooLarge)
                            : built == tessly::Status::ReadBackDiffers ? MismatchText(mismatch)
                                                                       : std::string(tessly::StatusDescription(built)));
    return PrintNotWritten(target);
  }

  // Packs the entries that wait, before anything else is printed.
  void PackWaiting() { PackBatch(batch_); }

 private:
  void Refuse() { usable_ = false; }

  static void PrintTooLarge(const std::string& target) { PrintInputError(target, kArchiveTooLarge); }

  // Where the archive does not read back as packed, and what.
  static std::string MismatchText(const tessly::Problem& mismatch) {
    const std::string place = PlaceText(mismatch);
    return (place.empty() ? std::string(kAtArchive) : place) + Formatted(kDoesNotReadBack, mismatch.detail);
  }

  // A new archive is written in its place; one that replaces a file is
  // written beside it first, so that a failed write leaves the old one.
  bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& file) {
    const platform::OutputName target = UserOutput(options_, path);
    FileSink out;
    platform::OutputName writing = target;
    const bool created = platform::CreateNewOutput(target, out.file());
    if (!created) {
      OverwriteState overwrite = OverwriteState::From(options_);
      if (!platform::OutputExists(target)) return PrintWith(kErrorOpeningGafToWrite, target.Path()), false;
      if (AskOverwrite(target, overwrite) != OverwriteDecision::Write) return false;
      writing.name += kUnfinishedSuffix;
      if (!platform::CreateOutput(writing, out.file())) {
        return PrintWith(kErrorOpeningGafToWrite, writing.Path()), false;
      }
    }
    const bool written = out.Write(file.data(), file.size()) && out.Flush();
    out.Close();
    if (written && (created || platform::ReplaceOutput(writing, target))) {
      PrintWith(kExported, target.Path());
      return true;
    }
    platform::RemoveOutput(writing);  // no part of an archive is left
    PrintWith(kFailedToWrite, target.Path());
    return false;
  }

  // Descriptions wait in a batch, so that they and their images are read
  // on every core; then they are packed in order, each printing its lines
  // at its turn, as if one file after another had been read.
  void Queue(std::vector<QueuedEntry>& batch, const std::string& path, bool listed) {
    if (tooLarge_ || outOfMemory_) return;  // no more memory is spent on an archive that cannot be written
    QueuedEntry& entry = batch.emplace_back();
    entry.path = path;
    entry.listed = listed;
    if (batch.size() == kBatchEntries) PackBatch(batch);
  }

  // Reads the batch ahead, packs it in order and empties it.
  void PackBatch(std::vector<QueuedEntry>& batch) {
    const bool read = ForEachInParallel(batch.size(), [&batch, this](std::size_t i) { return ReadDescription(batch[i]); }) &&
                      ReadImagesAhead(batch);
    if (!read) outOfMemory_ = true, Refuse();
    for (QueuedEntry& entry : batch) PackQueued(entry);
    batch.clear();
  }

  // The entries that an archive's description lists, at its turn.
  void PackListed(const QueuedEntry& archive) {
    std::vector<QueuedEntry> batch;
    for (const std::string& entry : archive.archive.entries) Queue(batch, platform::DirectoryPart(archive.path) + entry, true);
    PackBatch(batch);
  }

  // Reads an entry's description, or on the command line an archive's,
  // keeping the line of what cannot be used. False when memory ran out.
  bool ReadDescription(QueuedEntry& entry) {
    std::vector<std::uint8_t> bytes;
    tessly::Problem problem;
    problem.status = ReadInputBytes(entry.path, bytes);
    if (problem.status == tessly::Status::Ok) problem.status = tessly::ReadEntryDescription(bytes, entry.described, problem);
    entry.isArchive = problem.status == tessly::Status::DescriptionInvalid && !entry.listed &&
                      tessly::IsArchiveDescription(bytes);
    if (entry.isArchive) {
      problem = {};
      problem.status = tessly::ReadArchiveDescription(bytes, entry.archive, problem);
    }
    if (problem.status != tessly::Status::Ok) entry.problem = InputErrorLine(entry.path, ProblemText(problem));
    if (!entry.problem.empty() || entry.isArchive) return true;
    entry.selected = options_.pattern.empty() || tessly::MatchPattern(options_.pattern, entry.described.name);
    if (!entry.selected) return true;
    // A description that reads names every frame and subframe.
    if (tessly::ListImageUses(entry.described, platform::DirectoryPart(entry.path), entry.uses) != tessly::Status::Ok) {
      return false;
    }
    entry.images.resize(entry.uses.size());
    return true;
  }

  // Every image of the batch, read and prepared on every core. False when
  // memory ran out.
  bool ReadImagesAhead(std::vector<QueuedEntry>& batch) {
    std::vector<std::pair<const tessly::ImageUse*, LoadedImage*>> images;
    try {
      for (QueuedEntry& entry : batch) {
        for (std::size_t i = 0; i < entry.uses.size(); ++i) images.emplace_back(&entry.uses[i], &entry.images[i]);
      }
    } catch (const std::bad_alloc&) {
      return false;
    }
    return ForEachInParallel(images.size(), [this, &images](std::size_t i) {
      LoadImage(*images[i].first, *images[i].second);
      return true;
    });
  }

  void PackQueued(QueuedEntry& entry) {
    if (tooLarge_ || outOfMemory_) return;
    if (!entry.problem.empty()) return Print(entry.problem), Refuse();
    if (entry.isArchive) return PackListed(entry);
    if (!entry.selected) return;
    // PackEntry asks for the uses in the order the read-ahead listed them.
    const tessly::PreparedImageLoader load = [this, &entry](std::size_t use, const tessly::ImageUse& image,
                                                            tessly::PreparedImage& prepared) {
      LoadedImage& loaded = entry.images[use];
      if (!loaded.problem.empty()) return PrintInputError(image.path + NamedBy(entry.path, image), loaded.problem), false;
      if (options_.nearest || options_.dither) {
        // The count goes in first: a file's name may hold "%d".
        const auto changed = static_cast<long long>(loaded.changed);
        Print(Formatted(Formatted(options_.dither ? kDitherChanged : kNearestChanged, changed), image.path));
      }
      prepared = std::move(loaded.prepared);
      return true;
    };
    const tessly::EntryDescription& described = entry.described;
    const tessly::Status packed = tessly::PackEntry(described, platform::DirectoryPart(entry.path), load, packed_);
    tooLarge_ = packed == tessly::Status::EntryTooLarge;
    if (packed == tessly::Status::Ok) PrintWith(kPacked, described.name);
    if (packed == tessly::Status::OutOfMemory) PrintInputError(entry.path, tessly::StatusDescription(packed));
    if (packed != tessly::Status::Ok) Refuse();
  }

  // Reads one image file and encodes it, keeping the line that tells why
  // it cannot be used.
  void LoadImage(const tessly::ImageUse& use, LoadedImage& loaded) {
    const std::string& path = use.path;
    std::vector<std::uint8_t> bytes;
    tessly::DecodedImage image;
    tessly::Problem problem;
    problem.status = ReadInputBytes(path, bytes);
    if (problem.status == tessly::Status::Ok) {
      const tessly::ImageReadOptions read{.nearest = options_.nearest, .dither = options_.dither};
      problem.status = tessly::ReadImageFile(bytes, palette_, read, image, problem, &loaded.changed);
    }
    if (problem.status == tessly::Status::Ok) problem.status = tessly::PrepareImage(*use.described, image, loaded.prepared);
    if (problem.status != tessly::Status::Ok) loaded.problem = ProblemText(problem);
  }

  // " (E.json, frame 1, subframe 0)": the description that names an image
  // file, and where.
  static std::string NamedBy(const std::string& description, const tessly::ImageUse& use) {
    std::string named = Formatted(kNamedBy, description) + Formatted(kAtFrame, use.frame);
    if (use.subframe >= 0) named += Formatted(kAtSubframe, use.subframe);
    return named + std::string(kNamedByEnd);
  }

  const Options& options_;
  tessly::Palette palette_ = tessly::BuiltInPalette();
  tessly::PackedArchive packed_;
  std::vector<QueuedEntry> batch_;
  bool usable_ = true;     // false once an input could not be used
  bool tooLarge_ = false;  // once the rows pass what an archive can hold
  bool outOfMemory_ = false;  // once reading ahead ran out of memory
};

}  // namespace

bool RunPack(const Options& options) {
  const std::string& target = options.arguments.front();
  PrintWith(kArchiveName, target);
  Packer packer(options);
  if (!packer.Start() || !MakeOutputFolder(options)) return PrintNotWritten(target);
  bool found = true;
  for (std::size_t i = 1; i < options.arguments.size(); ++i) {
    // Wildcards expand in name order; every description given counts.
    const std::string& given = options.arguments[i];
    std::vector<std::string> names;
    platform::FindMatchingNames(given, names);
    if (names.empty()) packer.PackWaiting(), PrintInputError(given, kNoSuchDescription);
    found = found && !names.empty();
    for (const std::string& name : names) packer.AddDescription(platform::DirectoryPart(given) + name);
  }
  if (!found) return PrintNotWritten(target);
  return packer.Write();
}

}  // namespace app
