// How records are reached, from a file through its block cache and from
// memory alike: one table of seeks and reads, run in order on one cursor.
#include <gtest/gtest.h>

#include "format/cursor.h"
#include "tools/gaf_builder.h"

namespace {

// Byte i of the source; the period 251 never lines up with a 64 KiB block.
std::uint8_t ByteAt(std::uint64_t i) { return static_cast<std::uint8_t>(i % 251); }

TEST(Reader, SeekAndReadTable) {
  const std::uint64_t size = 17 * 65536 + 100;  // more blocks than the cache holds
  fixture::Bytes bytes(size);
  for (std::uint64_t i = 0; i < size; ++i) bytes[i] = ByteAt(i);
  fixture::WriteFile("source.bin", bytes);
  // Each row: a seek, whether it succeeds, a read there, whether it does, and the position after the read.
  const struct { std::uint64_t offset, count; bool seeks, reads; std::uint64_t after; } rows[] = {
      {65530, 12, true, true, 65542},                 // a record across two blocks
      {0, size, true, true, size},                    // every block, so that early ones make room
      {65530, 12, true, true, 65542},                 // read again once evicted
      {size - 4, 10, true, false, size},              // meets the end: after the bytes that were there
      {size, 1, true, false, size},                   // at the end
      {size + 9, 4, true, false, size + 9},           // past the end: a seek there succeeds
      {0x7FFFFFFF, 1, true, false, 0x7FFFFFFF},       // the last offset that can be sought
      {0x80000000, 1, false, false, 0x7FFFFFFF},      // and the first that cannot: the position stays
      {100, 0, true, true, 100},
  };
  tessly::FileSource file;
  ASSERT_EQ(file.Open("source.bin"), tessly::Status::Ok);
  tessly::MemorySource memory(bytes);
  for (tessly::ByteSource* source : {static_cast<tessly::ByteSource*>(&file), static_cast<tessly::ByteSource*>(&memory)}) {
    tessly::Cursor cursor(*source);
    for (const auto& row : rows) {
      std::vector<std::uint8_t> got(row.count, 0xEE);
      EXPECT_EQ(cursor.Seek(row.offset), row.seeks) << row.offset;
      EXPECT_EQ(row.seeks && cursor.Read(got.data(), got.size()), row.reads) << row.offset;
      EXPECT_EQ(cursor.position(), row.after) << row.offset;
      for (std::uint64_t i = 0; row.reads && i < row.count; ++i) ASSERT_EQ(got[i], ByteAt(row.offset + i)) << i;
    }
    // Views: bytes in one piece of the source; after a read that loads other
    // blocks, what is viewed is read again, never a stale window.
    const bool isFile = source == &file;
    for (const std::uint64_t at : {std::uint64_t{65530}, std::uint64_t{2 * 65536}, std::uint64_t{65530}}) {
      std::vector<std::uint8_t> all(size);
      ASSERT_TRUE(cursor.Seek(at) && cursor.View(4) != nullptr && cursor.Read(all.data(), size - at - 4));
      ASSERT_TRUE(cursor.Seek(at));
      const std::uint8_t* viewed = cursor.View(12);  // across a block's end at 65530
      EXPECT_EQ(viewed != nullptr, !isFile || at % 65536 != 65530) << at;
      EXPECT_EQ(cursor.position(), viewed != nullptr ? at + 12 : at);
      for (int i = 0; viewed != nullptr && i < 12; ++i) EXPECT_EQ(viewed[i], ByteAt(at + i)) << at;
    }
  }
}

}  // namespace
