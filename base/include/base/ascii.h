// ASCII letter case: names and options compare without regard to the case
// of a to z; bytes from 0x80 up are left as they are.
#pragma once

namespace base {

inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 0x20) : c; }

}  // namespace base
