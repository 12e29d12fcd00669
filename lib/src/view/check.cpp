#include "tessly/check.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <new>
#include <set>

#include "base/ascii.h"
#include "base/file_names.h"
#include "format/record_codec.h"
#include "format/stored_rows.h"
#include "tessly/pack.h"
#include "tessly/palette.h"
#include "tessly/row_codes.h"
#include "tessly/walk.h"

namespace tessly {
namespace {

// Records' sizes and field offsets within them; where the records lie, the
// reader's own functions say (record_codec.h).
constexpr std::uint64_t kEntryHeaderSize = sizeof(GafEntryHeader);
constexpr std::uint64_t kFrameHeaderSize = sizeof(GafFrameHeader);
constexpr std::uint64_t kTransparencyAt = 8;     // aux3 in a frame header
constexpr std::uint64_t kSubframeCountAt = 10;
constexpr std::uint64_t kNameAt = 8;             // in an entry header

// A byte range of the file, and whose it is.
struct Span {
  std::uint64_t start = 0;
  std::uint64_t end = 0;
};

// An image's pixel data, for overlaps.
struct PixelData {
  Span bytes;
  Finding where;
};

class Checker {
 public:
  Checker(std::span<const std::uint8_t> file, const Limits& limits, std::vector<Finding>& findings)
      : file_(file), source_(file), archive_(source_, limits), findings_(findings) {}

  void Run(bool noteRebuild) {
    if (file_.size() < sizeof(GafHeader)) return Add(FindingKind::HeaderUnreadable, 0);
    GafHeader header;
    if (archive_.ReadHeader(header) != Status::Ok) return Add(FindingKind::VersionRefused, 0, header.version);
    Use(0, sizeof(GafHeader));
    if (header.entryCount < 0) return Add(FindingKind::EntryCountNegative, 4, header.entryCount);
    Use(EntryTableElementOffset(0), EntryTableElementOffset(header.entryCount) - EntryTableElementOffset(0));
    for (std::int32_t i = 0; i < header.entryCount; ++i) {
      if (!CheckEntry(i)) break;
    }
    CheckOverlaps();
    CheckUnused();
    if (noteRebuild && errors_ == 0) NoteRebuild();
  }

 private:
  // False when the rest of the entry table lies outside the file too.
  bool CheckEntry(std::int32_t index) {
    here_ = {};
    here_.entry = index;
    Entry entry;
    const Status read = archive_.ReadEntry(index, entry);
    const std::uint64_t element = EntryTableElementOffset(index);
    if (read == Status::EntryTableSeek || read == Status::EntryTableRead) {
      Add(FindingKind::EntryTableOutside, element);
      return false;
    }
    if (read == Status::EntryHeaderSeek || read == Status::EntryHeaderRead) {
      Add(FindingKind::EntryHeaderOutside, element, entry.offset);
      return true;
    }
    if (read != Status::Ok) return AddStatus(read, element), true;
    here_.entryName = entry.name;
    Use(entry.offset, kEntryHeaderSize);
    CheckName(entry);
    if (entry.header.frameCount < 0) {
      Add(FindingKind::FrameCountNegative, entry.offset, entry.header.frameCount);
      return true;
    }
    const std::uint64_t frameTable = FrameTableElementOffset(entry.offset, 0);
    Use(frameTable, FrameTableElementOffset(entry.offset, entry.header.frameCount) - frameTable);
    for (int k = 0; k < entry.header.frameCount; ++k) {
      if (!CheckFrame(entry, k)) break;
    }
    return true;
  }

  void CheckName(const Entry& entry) {
    const std::uint64_t at = entry.offset + kNameAt;
    const auto& field = entry.header.name;
    if (std::find(field.begin(), field.end(), 0) == field.end()) Add(FindingKind::NameWithoutNul, at);
    if (base::HoldsFolderSeparator(entry.name)) {
      Add(FindingKind::NameWithSlash, at);
    } else if (!base::CanNameWindowsFile(entry.name)) {
      Add(FindingKind::NameNotAFileName, at);
    }
    const std::string folded = base::Capitals(entry.name);
    if (const auto same = names_.find(entry.name); same != names_.end()) {
      Add(FindingKind::NameRepeated, at, same->second);
    } else if (const auto similar = foldedNames_.find(folded); similar != foldedNames_.end()) {
      Add(FindingKind::NameRepeatedButCase, at, similar->second);
    }
    names_.try_emplace(entry.name, here_.entry);
    foldedNames_.try_emplace(folded, here_.entry);
  }

  // False when the rest of the frame table lies outside the file too.
  bool CheckFrame(const Entry& entry, int k) {
    here_.frame = k;
    here_.subframe = -1;
    Frame frame;
    const Status read = archive_.ReadFrame(entry, k, frame);
    const std::uint64_t element = FrameTableElementOffset(entry.offset, k);
    if (read == Status::FrameTableSeek || read == Status::FrameTableRead) {
      Add(FindingKind::FrameTableOutside, element);
      return false;
    }
    if (read == Status::FrameHeaderSeek || read == Status::FrameHeaderRead) {
      Add(FindingKind::FrameHeaderOutside, element, frame.tableElement.headerOffset);
      return true;
    }
    if (read != Status::Ok) return AddStatus(read, element), true;
    // Frames that share a header are checked once, as the first of them.
    const std::uint32_t at = frame.tableElement.headerOffset;
    if (!framesSeen_.insert(at).second) return true;
    Use(at, kFrameHeaderSize);
    CheckTransparency(frame.header, at);
    if (frame.header.subframeCount < 0) Add(FindingKind::SubframeCountNegative, at + kSubframeCountAt, frame.header.subframeCount);
    if (!HasSubframes(frame.header)) return CheckImage(frame.header, ImageKind::Frame, at), true;
    CheckSubframes(frame.header);
    return true;
  }

  void CheckSubframes(const GafFrameHeader& frame) {
    if (!tablesSeen_.insert({frame.dataOffset, frame.subframeCount}).second) return;
    const std::uint64_t table = SubframeTableElementOffset(frame, 0);
    Use(table, SubframeTableElementOffset(frame, frame.subframeCount) - table);
    for (int j = 0; j < frame.subframeCount; ++j) {
      here_.subframe = j;
      GafFrameHeader subframe;
      std::uint32_t at = 0;
      const Status read = archive_.ReadSubframe(frame, j, subframe, at);
      const std::uint64_t element = SubframeTableElementOffset(frame, j);
      if (read == Status::SubframeTableSeek || read == Status::SubframeTableRead) {
        Add(FindingKind::SubframeTableOutside, element);
        break;
      }
      if (read == Status::SubframeHeaderSeek || read == Status::SubframeHeaderRead) {
        Add(FindingKind::SubframeHeaderOutside, element, at);
        continue;
      }
      if (read != Status::Ok) {
        AddStatus(read, element);
        continue;
      }
      if (!subframesSeen_.insert(at).second) continue;
      Use(at, kFrameHeaderSize);
      CheckTransparency(subframe, at);
      if (subframe.subframeCount > 0) Add(FindingKind::NestedSubframes, at + kSubframeCountAt, subframe.subframeCount);
      CheckImage(subframe, ImageKind::Subframe, at);
    }
    here_.subframe = -1;
  }

  void CheckTransparency(const GafFrameHeader& header, std::uint64_t at) {
    if (header.aux3 != kSkippedPixel) Add(FindingKind::TransparencyNot9, at + kTransparencyAt, header.aux3);
  }

  // The image's rows, as DecodeImage reads them.
  void CheckImage(const GafFrameHeader& header, ImageKind kind, std::uint64_t at) {
    const Status readable = archive_.CheckImage(header, kind);
    switch (readable) {
      case Status::Ok:
        break;
      case Status::ImageSizeOutOfRange:
        return Add(FindingKind::SizeNegative, at);
      case Status::ImageTooLarge:
        return Add(FindingKind::ImageTooLarge, at, std::int64_t(header.width) * header.height);
      default:  // pixel data past what the reader seeks to
        return AddStatus(readable, header.dataOffset);
    }
    const std::uint64_t start = header.dataOffset;
    std::uint64_t end = start;
    if (!CheckRows(header, end)) return;
    Use(start, end - start);
    pixelData_.push_back({{start, end}, here_});
    pixelData_.back().where.byte = static_cast<std::int64_t>(start);
  }

  // Walks the rows, leaving `end` past the last. False when a row lies
  // outside the file.
  bool CheckRows(const GafFrameHeader& header, std::uint64_t& end) {
    Cursor cursor(source_);
    cursor.Seek(header.dataOffset);  // which CheckImage found within reach
    StoredRowReader rows(cursor, header);
    bool pastWidth = false, cutShort = false;
    for (int row = 0; row < header.height; ++row) {
      const std::uint64_t rowAt = cursor.position();
      std::span<const std::uint8_t> bytes;
      switch (rows.Next(bytes)) {
        case Status::Ok:
          break;
        case Status::RowCodesRead:
          return Add(FindingKind::RowPastFile, rowAt, row), false;
        case Status::RowLengthRead:
          return Add(FindingKind::PixelDataOutside, rowAt), false;
        default:  // a plain image's pixels
          return Add(FindingKind::PixelDataOutside, header.dataOffset), false;
      }
      if (!rows.compressed()) continue;
      const RowCodesMeasure measure = MeasureRowCodes(bytes);
      if (measure.cutShort && !cutShort) Add(FindingKind::RowCodesPastLength, rowAt, row);
      if (measure.pixels > std::uint64_t(header.width) && !pastWidth) Add(FindingKind::RowPastWidth, rowAt, row);
      cutShort = cutShort || measure.cutShort;
      pastWidth = pastWidth || measure.pixels > std::uint64_t(header.width);
    }
    end = cursor.position();
    return true;
  }

  // Pixel data that two images share is the same bytes; any other overlap is a finding.
  void CheckOverlaps() {
    std::stable_sort(pixelData_.begin(), pixelData_.end(), [](const PixelData& a, const PixelData& b) {
      return a.bytes.start < b.bytes.start;
    });
    const PixelData* reaching = nullptr;  // the data seen so far that ends last
    for (const PixelData& data : pixelData_) {
      if (data.bytes.start == data.bytes.end) continue;
      if (reaching != nullptr && data.bytes.start < reaching->bytes.end &&
          (data.bytes.start != reaching->bytes.start || data.bytes.end != reaching->bytes.end)) {
        here_ = data.where;
        Add(FindingKind::PixelDataOverlaps, data.bytes.start, std::int64_t(reaching->bytes.start));
      }
      if (reaching == nullptr || data.bytes.end > reaching->bytes.end) reaching = &data;
    }
  }

  // Gaps between what the walk used, but padding: fewer than 4 bytes that
  // end at a multiple of 4.
  void CheckUnused() {
    here_ = {};
    std::sort(used_.begin(), used_.end(), [](const Span& a, const Span& b) { return a.start < b.start; });
    std::uint64_t reached = 0;
    for (const Span& span : used_) {
      if (span.start > reached) ReportGap(reached, span.start);
      reached = std::max(reached, span.end);
    }
    if (file_.size() > reached) ReportGap(reached, file_.size());
  }

  void ReportGap(std::uint64_t start, std::uint64_t end) {
    if (end - start < 4 && end % 4 == 0) return;
    Add(FindingKind::UnusedBytes, start, std::int64_t(end - start));
  }

  void NoteRebuild() {
    std::vector<std::uint8_t> rebuilt;
    // A rebuild that is the file holds no more rows than the file's size.
    if (RebuildArchive(archive_, file_.size(), rebuilt) != Status::Ok ||
        !std::equal(rebuilt.begin(), rebuilt.end(), file_.begin(), file_.end())) {
      here_ = {};
      Add(FindingKind::NotRebuiltByteForByte, 0);
    }
  }

  // Marks bytes as used, as far as the file holds them.
  void Use(std::uint64_t start, std::uint64_t size) {
    const std::uint64_t end = std::min<std::uint64_t>(start + size, file_.size());
    if (start < end) used_.push_back({start, end});
  }

  void Add(FindingKind kind, std::uint64_t offset, std::int64_t value = 0) {
    Finding finding = here_;
    finding.kind = kind;
    finding.byte = static_cast<std::int64_t>(offset);
    finding.value = value;
    if (SeverityOf(kind) == Severity::Error) ++errors_;
    findings_.push_back(std::move(finding));
  }

  void AddStatus(Status status, std::uint64_t offset) {
    Add(FindingKind::ReadFailed, offset);
    findings_.back().status = status;
  }

  std::span<const std::uint8_t> file_;
  MemorySource source_;
  Archive archive_;
  std::vector<Finding>& findings_;
  Finding here_;  // the entry, frame and subframe being checked
  int errors_ = 0;
  std::map<std::string, std::int32_t> names_, foldedNames_;  // the first entry of each name
  std::set<std::uint32_t> framesSeen_, subframesSeen_;
  std::set<std::pair<std::uint32_t, std::int16_t>> tablesSeen_;
  std::vector<Span> used_;
  std::vector<PixelData> pixelData_;
};

}  // namespace

Severity SeverityOf(FindingKind kind) {
  if (kind > FindingKind::ReadFailed && kind <= FindingKind::TransparencyNot9) return Severity::Warning;
  return kind == FindingKind::NotRebuiltByteForByte ? Severity::Note : Severity::Error;
}

Status CheckArchive(std::span<const std::uint8_t> file, const Limits& limits, bool noteRebuild,
                    std::vector<Finding>& findings) {
  try {
    Checker(file, limits, findings).Run(noteRebuild);
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  return Status::Ok;
}

}  // namespace tessly
