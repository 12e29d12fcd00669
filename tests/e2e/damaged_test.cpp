// Damaged archives: archives of every shape, truncated at many points, with
// offsets pointed past the end and past the seek limit, with extreme
// counts, overrunning and underrunning row codes, shared headers and a
// subframe table that points at its own frame. Each run must end normally
// with only the lines that Tessly prints, every BMP file must agree with
// its headers, and every GAF file written must read back cleanly.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <set>
#include <sstream>

#include "bmp/palette.h"
#include "base/little_endian.h"
#include "tests/e2e/run_tessly.h"
#include "tests/fixture/work_estimate.h"

namespace {

using e2e::RunTessly;
using e2e::TempDir;
using fixture::Bytes;
using fixture::CompressedImage;
using fixture::PlainImage;
using fixture::SingleImage;
using fixture::WithSubframes;

// Damage that turns random bytes into counts can ask for a billion steps;
// such archives are passed over.
constexpr std::uint64_t kMostSteps = 1000000;
constexpr std::uint64_t kMostBytes = 256u << 20;

struct Damaged {
  std::string what;
  Bytes bytes;
};

fixture::Image Codes(std::int16_t width, std::vector<Bytes> rows) {
  fixture::Image image;
  image.width = width;
  image.height = static_cast<std::int16_t>(rows.size());
  image.compressed = 1;
  image.rows = std::move(rows);
  return image;
}

// Valid archives of every shape, with where their offsets and counts lie.
std::vector<std::pair<Bytes, fixture::Layout>> Shapes() {
  std::vector<Bytes> sprite;
  for (int y = 0; y < 6; ++y) sprite.push_back({0, 0, 3, 3, 3, static_cast<std::uint8_t>(y), 0, 0, 9, 9});
  const std::vector<std::vector<fixture::Entry>> shapes = {
      {{"ONE", {SingleImage(PlainImage(5, 3))}}},
      {{"A", {SingleImage(PlainImage(3, 2)), SingleImage(CompressedImage(10, sprite, 0))}},
       {"B", {WithSubframes({PlainImage(2, 2), CompressedImage(10, sprite, 0)})}},
       {"C", {}}},
      // Codes that produce too many pixels, too few, and run past the row.
      {{"CODES", {SingleImage(Codes(6, {{0xFE, 1}, {0x02, 2}, {0x3C, 1, 2}, {}, {0xFF, 0xFF}, {0x06}}))}},
       {"MORE", {WithSubframes({Codes(3, {{0x00}, {0x04, 1, 2, 3, 4}})})}}},
  };
  std::vector<std::pair<Bytes, fixture::Layout>> built;
  for (const auto& entries : shapes) {
    fixture::Layout layout;
    Bytes bytes = fixture::BuildGaf(entries, &layout);
    built.emplace_back(std::move(bytes), std::move(layout));
  }
  // Frames that share one header, and a subframe table that points at its
  // own frame's header.
  auto [shared, sharedLayout] = built[1];
  fixture::PutU32(shared, sharedLayout.entryOffsets[0] + 48, sharedLayout.frameHeaders[0][0]);
  fixture::PutU32(shared, sharedLayout.subframeTables[1][0], sharedLayout.frameHeaders[1][0]);
  built.emplace_back(std::move(shared), sharedLayout);
  return built;
}

// Where each offset and count of an archive lies.
struct Fields {
  std::vector<std::size_t> offsets;   // u32
  std::vector<std::size_t> counts16;  // i16: frame, subframe counts, width, height
};

Fields FieldsOf(const fixture::Layout& layout) {
  Fields fields;
  for (std::size_t e = 0; e < layout.entryOffsets.size(); ++e) {
    fields.offsets.push_back(12 + 4 * e);
    fields.counts16.push_back(layout.entryOffsets[e]);
    for (std::size_t k = 0; k < layout.frameHeaders[e].size(); ++k) {
      fields.offsets.push_back(layout.entryOffsets[e] + 40 + 8 * k);
      const std::uint32_t header = layout.frameHeaders[e][k];
      fields.offsets.push_back(header + 16);
      for (const std::size_t at : {0, 2, 10}) fields.counts16.push_back(header + at);
      for (std::size_t j = 0; j < layout.subframeHeaders[e][k].size(); ++j) {
        fields.offsets.push_back(layout.subframeTables[e][k] + 4 * j);
        const std::uint32_t subframe = layout.subframeHeaders[e][k][j];
        fields.offsets.push_back(subframe + 16);
        for (const std::size_t at : {0, 2}) fields.counts16.push_back(subframe + at);
      }
    }
  }
  return fields;
}

std::vector<Damaged> DamagedArchives() {
  std::vector<Damaged> damaged;
  int shape = 0;
  for (const auto& [bytes, layout] : Shapes()) {
    const std::string name = "shape " + std::to_string(shape++);
    damaged.push_back({name, bytes});
    for (std::size_t size = 0; size < bytes.size(); size += 1 + bytes.size() / 60) {
      damaged.push_back({name + " cut to " + std::to_string(size),
                         Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size))});
    }
    const Fields fields = FieldsOf(layout);
    const auto size = static_cast<std::uint32_t>(bytes.size());
    for (const std::size_t at : fields.offsets) {
      for (const std::uint32_t value : {size, size + 1000, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0u, 12u}) {
        Bytes copy = bytes;
        fixture::PutU32(copy, at, value);
        damaged.push_back({name + " offset at " + std::to_string(at) + " = " + std::to_string(value), copy});
      }
    }
    for (const std::size_t at : fields.counts16) {
      for (const std::uint16_t value : {0x7FFF, 0x8000, 0xFFFF, 0}) {
        Bytes copy = bytes;
        fixture::PutU16(copy, at, value);
        damaged.push_back({name + " count at " + std::to_string(at) + " = " + std::to_string(value), copy});
      }
    }
    for (const std::uint32_t entries : {0x7FFFu, 0x8000u, 0xFFFFFFFFu}) {
      Bytes copy = bytes;
      fixture::PutU32(copy, 4, entries);
      damaged.push_back({name + " entry count " + std::to_string(entries), copy});
    }
  }
  return damaged;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Every line is one that Tessly prints; every file it reports exported
// exists. Returns the names of the exported files.
std::set<std::string> CheckLines(const std::string& output, const std::set<std::string>& archives, bool bitmapMode,
                                 const std::string& what) {
  static const std::set<std::string> kPieceLines = {" error reading file",
                                                    " error seeking position",
                                                    " error reading GAF entry",
                                                    " error seeking GAF frame position",
                                                    " error reading GAF frame entry",
                                                    " error seeking frame data position",
                                                    " error reading frame data",
                                                    " error seeking subframe entry position",
                                                    " error reading subframe entry data",
                                                    " error seeking subframe data position",
                                                    " error reading subframe data",
                                                    " error: image size out of range",
                                                    " error seeking file position",
                                                    "Invalid GAF",
                                                    "  Only one GAF entry (no action taken)"};
  static const std::set<std::string> kBitmapLines = {
      " error accessing frame pixel data", " error accessing subframe pixel data", " error reading pixel data length",
      " error reading compressed pixel data", " error reading pixel data"};
  static const std::set<std::string> kGafLines = {" error seeking frame pixel data",
                                                  " error reading pixel data row length"};
  static const std::regex kRowLine(R"( error reading pixel data row \d+)");
  const std::string openError = bitmapMode ? " error opening " : "  error opening ";
  std::set<std::string> exported;
  const std::vector<std::string> lines = Lines(output);
  EXPECT_GE(lines.size(), 2u) << what;
  for (std::size_t i = 2; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (archives.count(line) || kPieceLines.count(line) || (bitmapMode ? kBitmapLines : kGafLines).count(line)) {
      continue;
    }
    if (!bitmapMode && std::regex_match(line, kRowLine)) continue;
    if (line.rfind("  Exported ", 0) == 0) {
      exported.insert(line.substr(11));
      continue;
    }
    if (line.rfind(openError, 0) == 0 && line.size() > openError.size() + 9 &&
        line.compare(line.size() - 9, 9, " to write") == 0) {
      EXPECT_TRUE(e2e::CannotBeAFileName(line.substr(openError.size(), line.size() - openError.size() - 9)))
          << what << ": " << testing::PrintToString(line);
      continue;
    }
    ADD_FAILURE() << what << ": unexpected line \"" << line << "\"";
  }
  return exported;
}

void CheckBitmap(const Bytes& bmp, const std::string& what) {
  ASSERT_GE(bmp.size(), 1078u) << what;
  const std::uint32_t width = base::LoadU32(&bmp[18]);
  const std::uint32_t height = base::LoadU32(&bmp[22]);
  EXPECT_LE(width, 32767u) << what;
  EXPECT_LE(height, 32767u) << what;
  EXPECT_EQ(base::LoadU32(&bmp[2]), bmp.size()) << what;
  EXPECT_EQ(bmp.size(), 1078 + (width + 3) / 4 * 4 * height) << what;
  EXPECT_TRUE(std::equal(bmp::BuiltInPalette.begin(), bmp::BuiltInPalette.end(), bmp.begin() + 54)) << what;
}

// Runs one mode on the archive and checks what it wrote.
std::map<std::string, Bytes> RunMode(const Damaged& archive, bool bitmapMode) {
  TempDir dir;
  dir.Write("in.gaf", archive.bytes);
  const std::string what = archive.what + (bitmapMode ? " (-B)" : "");
  const e2e::Run run = RunTessly(dir.path(), bitmapMode ? std::vector<std::string>{"-B", "-Y", "in.gaf"}
                                                        : std::vector<std::string>{"-Y", "in.gaf"});
  const std::set<std::string> exported = CheckLines(run.output, {"in.gaf"}, bitmapMode, what);
  auto files = e2e::FilesIn(dir.path());
  files.erase("in.gaf");
  for (const auto& [name, bytes] : files) {
    EXPECT_TRUE(exported.count(name)) << what << ": " << name << " was not reported";
    if (bitmapMode) CheckBitmap(bytes, what + ": " + name);
  }
  return files;
}

// The GAF files written read back with -B without a read or seek error.
void CheckReadBack(const std::map<std::string, Bytes>& gafs, const std::string& what) {
  if (gafs.empty()) return;
  TempDir dir;
  std::set<std::string> names;
  for (const auto& [name, bytes] : gafs) {
    dir.Write(name, bytes);
    names.insert(name);
  }
  const e2e::Run run = RunTessly(dir.path(), {"-B", "-Y", "*.GAF"});
  for (const std::string& line : Lines(run.output)) {
    const bool clean =
        names.count(line) || line.empty() || line.rfind("Tessly ", 0) == 0 || line.rfind("  Exported ", 0) == 0 ||
        line == " error: image size out of range" ||
        (line.rfind(" error opening ", 0) == 0 && e2e::CannotBeAFileName(line.substr(15, line.size() - 24)));
    EXPECT_TRUE(clean) << what << ": reading back gave \"" << line << "\"";
  }
}

TEST(DamagedArchives, EndWithTheirMessagesAndWellFormedOutput) {
  std::size_t tried = 0, passedOver = 0;
  for (const Damaged& archive : DamagedArchives()) {
    if (!fixture::Affordable(archive.bytes.data(), archive.bytes.size(), kMostSteps, kMostBytes)) {
      std::printf("passed over: %s\n", archive.what.c_str());
      ++passedOver;
      continue;
    }
    ++tried;
    RunMode(archive, true);
    CheckReadBack(RunMode(archive, false), archive.what);
    if (HasFailure()) break;
  }
  std::printf("damaged archives tried: %zu (passed over as too costly: %zu)\n", tried, passedOver);
  EXPECT_GT(tried, 500u);
}

}  // namespace
