#pragma once

#include <string>
#include <string_view>

// Windows-1252 bytes for UTF-8 text, the same on every system. A character
// the code page lacks is written in the program's own ASCII form where it has
// one (mathematics as students type it: "sqrt", "pi", "<=", "->", "^4", "_2",
// Greek letters by name, "1/3" ...), otherwise as "?". The result never holds
// a multi-byte sequence. Each invalid UTF-8 byte becomes "?". ASCII, CR and LF
// included, passes unchanged.
std::string toWindows1252(std::string_view utf8);

// UTF-8 text for Windows-1252 bytes (for showing a record file again). Bytes
// 0x81, 0x8D, 0x8F, 0x90 and 0x9D (undefined in the code page) map to their
// Latin-1 code points, U+0081 etc., so no byte is lost.
std::string fromWindows1252(std::string_view bytes);
