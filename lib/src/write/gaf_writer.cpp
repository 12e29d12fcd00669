#include "tessly/gaf_writer.h"

#include <new>
#include <span>

#include "write/gaf_layout.h"

namespace tessly {

std::uint64_t GafEntryFileSize(const StoredEntry& entry) {
  try {
    return GafFileSize(PlanSplitLayout(std::span(&entry, 1)));
  } catch (const std::bad_alloc&) {
    return UINT64_MAX;
  }
}

Status WriteGafEntry(const StoredEntry& entry, ByteSink& sink) {
  try {
    return WriteGafFile({kGafVersion, 1, 0}, PlanSplitLayout(std::span(&entry, 1)), sink);
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

}  // namespace tessly
