// Output files: the name of every file Tessly writes, and the one step that
// writes one, with the user's leave to replace an existing file.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "app/file_sink.h"
#include "app/options.h"
#include "app/overwrite.h"
#include "platform/platform.h"
#include "tessly/io.h"

namespace app {

// NAME00.BMP, or NAME00.PNG with --png; NAME01_02.PNG for subframe 2 of frame 1.
std::string ImageOutputName(const Options& options, std::string_view stem, int frame, int subframe);
// The extension of the image files that a description names.
std::string_view ImageExtension(const Options& options);
// NAME.json, the description of the entry whose files are named after `stem`.
std::string EntryDescriptionName(std::string_view stem);
// ARCHIVE.json (demo.gaf.json), the description of the archive `archiveName`.
std::string ArchiveDescriptionName(std::string_view archiveName);
// NAME_gadget.GAF, the one-entry archive of entry NAME, with the suffix of -S.
std::string EntryGafName(std::string_view entryName, std::string_view suffix);
// NAME.gif, NAME.sheet.png and NAME.sheet.json.
std::string GifName(std::string_view entryName);
std::string SheetName(std::string_view entryName);
std::string SheetAtlasName(std::string_view entryName);

// The output `name` in the folder of --out.
platform::OutputName OutputIn(const Options& options, std::string name);

// An output whose path the user gave (--pack ARCHIVE, --write-palette
// FILE): a relative path starts from the folder of --out.
platform::OutputName UserOutput(const Options& options, const std::string& path);

// Makes the folder of --out where it is missing. False, with its line, when
// it cannot be made.
bool MakeOutputFolder(const Options& options);

enum class OutputStatus {
  Open,        // `out` is the new or emptied file
  CannotOpen,  // it could not be created; `cannotOpen` was printed
  Declined,    // the user answered No
  Skipped,     // -N, and the file exists
  Quit,        // the user answered Quit
};

// A file that does not exist yet is simply created; for any other name the
// overwrite question decides first. `cannotOpen` is the line, with "%s" for
// the name, printed when the file cannot be created.
OutputStatus OpenOutput(const platform::OutputName& target, std::string_view cannotOpen, OverwriteState& state,
                        platform::File& out);

// What became of an output file: how it opened, and for one that did,
// whether everything was written.
struct OutputResult {
  OutputStatus status = OutputStatus::Open;
  bool written = false;
};

// Opens `target` as OpenOutput does; then `write` fills it, it is flushed,
// "Exported" or "Failed to write" is printed, and it is closed.
OutputResult WriteOutputFile(const platform::OutputName& target, std::string_view cannotOpen, OverwriteState& state,
                             FileSink& out, const std::function<bool(tessly::ByteSink&)>& write);

}  // namespace app
