#include "app/gaf_export.h"

#include <string>

#include "app/console_output.h"
#include "app/entry_reading.h"
#include "app/file_sink.h"
#include "app/messages.h"
#include "app/output_file.h"
#include "tessly/gaf_writer.h"

namespace app {
namespace {

using namespace messages;

// Reads the whole entry, reporting what fails to read, and writes it to
// `out`. False when it cannot be written: a failed write, a file too large
// for a GAF file's offsets, or an entry too large for the memory at hand.
bool CopyEntry(const tessly::Archive& archive, const tessly::Entry& entry, tessly::ByteSink& out) {
  tessly::StoredEntry stored;
  const tessly::Status read = archive.ReadStoredEntry(
      entry, stored, [](const tessly::Problem& problem) { PrintStatus(problem.status, Mode::GafCopy, problem.row); });
  return read == tessly::Status::Ok && tessly::WriteGafEntry(stored, out) == tessly::Status::Ok;
}

}  // namespace

bool ExportEntryGaf(const Options& options, OverwriteState& overwrite, FileSink& out, const tessly::Archive& archive,
                    std::int32_t index) {
  tessly::Entry entry;
  if (!ReadEntry(archive, index, entry) || !IsEntrySelected(options, archive, entry)) return true;

  // Created before any frame is read, so an entry whose frames all fail to
  // read still gives a file.
  const auto copy = [&](tessly::ByteSink& sink) { return CopyEntry(archive, entry, sink); };
  return WriteOutputFile(OutputIn(options, EntryGafName(entry.name, options.suffix)), kErrorOpeningGafToWrite, overwrite, out, copy).status !=
         OutputStatus::Quit;
}

}  // namespace app
