#pragma once

#include <string>
#include <string_view>

// Between UTF-8 and the wide text of Windows' calls, by the system's own
// converter: what is not valid becomes a replacement character, never a
// failure. Windows only.
std::string utf8FromWide(std::wstring_view wide);
std::wstring wideFromUtf8(std::string_view utf8);
