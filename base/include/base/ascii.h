// ASCII letter case: names and options compare without regard to the case
// of a to z; bytes from 0x80 up are left as they are.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace base {

inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 0x20) : c; }

// `text` with a to z in capitals, as names are compared.
inline std::string Capitals(std::string_view text) {
  std::string capitals(text);
  std::transform(capitals.begin(), capitals.end(), capitals.begin(), AsciiUpper);
  return capitals;
}

// Whether `text` is `upper`, which is written in capitals, letters in either case.
inline bool EqualsIgnoringCase(std::string_view text, std::string_view upper) {
  return text.size() == upper.size() &&
         std::equal(text.begin(), text.end(), upper.begin(), [](char a, char b) { return AsciiUpper(a) == b; });
}

}  // namespace base
