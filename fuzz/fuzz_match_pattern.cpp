// MatchPattern on arbitrary pattern and name pairs, against a model of the
// same single forward pass written step by step, and against a full
// wildcard match, which accepts every name that the single pass accepts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "gaf/filters.h"

namespace {

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return text;
}

// The pass as a recursion over (pattern position, name position); the
// strings end with an explicit NUL.
bool Pass(const std::string& pat, const std::string& name, std::size_t p, std::size_t n) {
  const char q = pat[p], c = name[n];
  if (q == 0 && c == 0) return true;
  if (c == q) return Pass(pat, name, p + 1, n + 1);
  if (q == '?') return c != 0 && Pass(pat, name, p + 1, n + 1);
  if (q != '*') return false;
  const char r = pat[p + 1];
  if (c == 0) {
    for (std::size_t i = p + 1; pat[i] != 0; ++i) {
      if (pat[i] != '*') return false;
    }
    return true;
  }
  if (r == '?') {
    std::size_t k = 0;
    while (pat[p + 1 + k] == '?') ++k;
    const std::size_t t = p + 1 + k;
    const std::size_t remaining = name.size() - 1 - n;
    if (pat[t] == 0) return remaining >= k;
    if (pat[t] == '*') return remaining >= k && Pass(pat, name, t, n + k);
    for (std::size_t j = n; name[j] != 0; ++j) {
      if (name[j] == pat[t]) return j - n >= k && Pass(pat, name, t, j);
    }
    return false;
  }
  if (c == r) return Pass(pat, name, p + 1, n);
  return Pass(pat, name, p, n + 1);
}

// Every split tried: table[p][n] says whether pat[p..] matches name[n..].
bool FullMatch(const std::string& pat, const std::string& name) {
  std::vector<std::vector<bool>> table(pat.size() + 1, std::vector<bool>(name.size() + 1, false));
  table[pat.size()][name.size()] = true;
  for (std::size_t p = pat.size(); p-- > 0;) {
    for (std::size_t n = name.size() + 1; n-- > 0;) {
      if (pat[p] == '*') {
        table[p][n] = table[p + 1][n] || (n < name.size() && table[p][n + 1]);
      } else {
        table[p][n] = n < name.size() && (pat[p] == '?' || pat[p] == name[n]) && table[p + 1][n + 1];
      }
    }
  }
  return table[0][0];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // pattern, a NUL, then the name (at most 32 bytes, up to its own NUL).
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  if (split == std::string::npos || split > 64) return -1;
  const std::string pattern = input.substr(0, split);
  std::string name = input.substr(split + 1, 32);
  name = name.substr(0, name.find('\0'));

  const bool matches = gaf::MatchPattern(pattern, name);
  const std::string pat = Upper(pattern), nam = Upper(name);
  if (matches != Pass(pat + '\0', nam + '\0', 0, 0)) std::abort();
  if (matches && !FullMatch(pat, nam)) std::abort();
  return 0;
}
