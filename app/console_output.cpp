#include "app/console_output.h"

#include <cstdio>
#include <string>

namespace app {
namespace {

void PrintReplacing(std::string_view format, std::string_view placeholder, std::string_view value) {
  const std::size_t at = format.find(placeholder);
  if (at == std::string_view::npos) {
    Print(format);
    return;
  }
  Print(format.substr(0, at));
  Print(value);
  Print(format.substr(at + placeholder.size()));
}

}  // namespace

void Print(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void PrintWith(std::string_view format, std::string_view value) { PrintReplacing(format, "%s", value); }

void PrintWith(std::string_view format, long long value) { PrintReplacing(format, "%d", std::to_string(value)); }

void FlushOutput() { std::fflush(stdout); }

}  // namespace app
