#include "app/output_file.h"

#include <utility>

#include "app/console_output.h"
#include "app/messages.h"
#include "tessly/description.h"

namespace app {
namespace {

OutputStatus Create(const platform::OutputName& target, std::string_view cannotOpen, platform::File& out) {
  if (platform::CreateOutput(target, out)) return OutputStatus::Open;
  PrintWith(cannotOpen, target.Path());
  return OutputStatus::CannotOpen;
}

}  // namespace

std::string_view ImageExtension(const Options& options) { return options.pngFiles ? ".PNG" : ".BMP"; }

std::string ImageOutputName(const Options& options, std::string_view stem, int frame, int subframe) {
  return tessly::ImageFileName(stem, frame, subframe, ImageExtension(options));
}

std::string EntryDescriptionName(std::string_view stem) { return std::string(stem) + ".json"; }

std::string ArchiveDescriptionName(std::string_view archiveName) { return std::string(archiveName) + ".json"; }

std::string EntryGafName(std::string_view entryName, std::string_view suffix) {
  return std::string(entryName) + std::string(suffix) + ".GAF";
}

std::string GifName(std::string_view entryName) { return std::string(entryName) + ".gif"; }
std::string SheetName(std::string_view entryName) { return std::string(entryName) + ".sheet.png"; }
std::string SheetAtlasName(std::string_view entryName) { return std::string(entryName) + ".sheet.json"; }

platform::OutputName OutputIn(const Options& options, std::string name) { return {options.outFolder, std::move(name)}; }

platform::OutputName UserOutput(const Options& options, const std::string& path) {
  platform::OutputName target = platform::SplitOutputPath(path);
  if (!platform::IsAbsolutePath(path)) target.folder = options.outFolder + target.folder;
  return target;
}

bool MakeOutputFolder(const Options& options) {
  if (options.outFolder.empty() || platform::MakeFolders(options.outFolder)) return true;
  PrintWith(messages::kCannotMakeFolder, options.outFolder);
  return false;
}

OutputStatus OpenOutput(const platform::OutputName& target, std::string_view cannotOpen, OverwriteState& state,
                        platform::File& out) {
  // Creating the file only if it is new answers the existence test and
  // creates the file at once.
  if (platform::CreateNewOutput(target, out)) return OutputStatus::Open;
  switch (AskOverwrite(target, state)) {
    case OverwriteDecision::Write:
      return Create(target, cannotOpen, out);
    case OverwriteDecision::Declined:
      return OutputStatus::Declined;
    case OverwriteDecision::Skipped:
      return OutputStatus::Skipped;
    case OverwriteDecision::Quit:
      break;
  }
  return OutputStatus::Quit;
}

OutputResult WriteOutputFile(const platform::OutputName& target, std::string_view cannotOpen, OverwriteState& state,
                             FileSink& out, const std::function<bool(tessly::ByteSink&)>& write) {
  OutputResult result{OpenOutput(target, cannotOpen, state, out.file())};
  if (result.status != OutputStatus::Open) return result;
  result.written = write(out) && out.Flush();
  PrintWith(result.written ? messages::kExported : messages::kFailedToWrite, target.Path());
  out.Close();
  return result;
}

}  // namespace app
