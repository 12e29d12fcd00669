#include "app/check_report.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/archives.h"
#include "app/console_output.h"
#include "app/messages.h"
#include "tessly/check.h"
#include "tessly/io.h"

namespace app {
namespace {

using namespace messages;

// Archives are read whole; the reader reaches no record past 2 GiB, and
// the bytes past it can only be unused.
constexpr std::size_t kLargestArchive = std::size_t{1} << 32;

// "  error: entry 2 (TREE), frame 1, subframe 0, byte 1234: the frame header ...".
std::string FindingLine(const tessly::Finding& finding) {
  std::string where = PlaceText(finding);
  if (!where.empty()) where += ", ";
  char what[256];
  std::snprintf(what, sizeof what, RowFor(kFindingTexts, finding.kind, kUnknownFinding).text.data(),
                static_cast<long long>(finding.value));
  const std::string said = finding.kind == tessly::FindingKind::ReadFailed ? ProblemText(finding) : what;
  char byte[64];
  std::snprintf(byte, sizeof byte, kFindingByte.data(), static_cast<long long>(finding.byte));
  const auto severity = static_cast<int>(tessly::SeverityOf(finding.kind));
  return "  " + std::string(kSeverityWords[severity]) + ": " + where + byte + ": " + said + "\n";
}

std::string Counted(int count, std::string_view what) {
  return std::to_string(count) + " " + std::string(what) + (count == 1 ? "" : "s");
}

// Checks one archive and prints its findings. True when it had an error.
bool CheckOne(const std::string& path) {
  std::vector<std::uint8_t> file;
  if (tessly::ReadFile(path, kLargestArchive, file) != tessly::Status::Ok) {
    Print(kCouldNotOpen);
    return true;
  }
  std::vector<tessly::Finding> findings;
  const tessly::Status checked = tessly::CheckArchive(file, {}, true, findings);
  int errors = checked == tessly::Status::Ok ? 0 : 1, warnings = 0;
  for (const tessly::Finding& finding : findings) {
    Print(FindingLine(finding));
    const tessly::Severity severity = tessly::SeverityOf(finding.kind);
    errors += severity == tessly::Severity::Error ? 1 : 0;
    warnings += severity == tessly::Severity::Warning ? 1 : 0;
  }
  if (checked != tessly::Status::Ok) PrintWith(kCheckFailed, tessly::StatusDescription(checked));
  if (errors + warnings == 0) {
    Print(kNoProblems);
  } else {
    Print("  " + Counted(errors, kErrorCount) + ", " + Counted(warnings, kWarningCount) + "\n");
  }
  return errors > 0;
}

}  // namespace

bool RunCheck(const Options& options) {
  bool anyErrors = false;
  const bool found = ForEachArchive(options, [&anyErrors](const std::string& path, const std::string&) {
    anyErrors = CheckOne(path) || anyErrors;
    return true;
  });
  return anyErrors || !found;
}

}  // namespace app
