#include "export/frame_node.h"

namespace exporter {

void PixelRows::AppendPlain(std::span<const std::uint8_t> row) {
  bytes_.insert(bytes_.end(), row.begin(), row.end());
  plainLength_ = static_cast<std::uint16_t>(row.size());
  ++plainCount_;
}

void PixelRows::AppendCompressed(std::span<const std::uint8_t> codes) {
  bytes_.insert(bytes_.end(), codes.begin(), codes.end());
  compressedLengths_.push_back(static_cast<std::uint16_t>(codes.size()));
}

}  // namespace exporter
