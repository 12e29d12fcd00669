// MatchPattern on arbitrary pattern and name pairs, against a model of the
// same single forward pass written as a recursion, step by step.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tessly/filters.h"

namespace {

// Does pat[p..] match name[n..]? Both are upper-cased and end with a NUL.
bool Pass(const std::string& pat, const std::string& name, std::size_t p, std::size_t n) {
  const char q = pat[p], c = name[n];
  if (q == 0 && c == 0) return true;
  if (c == q || (q == '?' && c != 0)) return Pass(pat, name, p + 1, n + 1);
  if (q != '*') return false;
  if (c == 0) return pat.find_first_not_of('*', p + 1) == pat.size() - 1;  // only stars left
  if (pat[p + 1] != '?') return c == pat[p + 1] ? Pass(pat, name, p + 1, n) : Pass(pat, name, p, n + 1);
  // "*??x": the star ends where x is next found, at least two characters on.
  const std::size_t t = pat.find_first_not_of('?', p + 1), k = t - p - 1, left = name.size() - 1 - n;
  if (pat[t] == 0 || pat[t] == '*') return left >= k && (pat[t] == 0 || Pass(pat, name, t, n + k));
  const std::size_t found = name.find(pat[t], n);
  return found < name.size() - 1 && found - n >= k && Pass(pat, name, t, found);
}

std::string Upper(std::string text) {
  for (char& c : text) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
  return text + '\0';
}

}  // namespace

// A pattern, a NUL, then a name of at most 32 bytes up to its own NUL.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  if (split == std::string::npos || split > 64) return -1;
  const std::string pattern = input.substr(0, split), name = input.substr(split + 1, 32).c_str();
  if (tessly::MatchPattern(pattern, name) != Pass(Upper(pattern), Upper(name), 0, 0)) std::abort();
  return 0;
}
