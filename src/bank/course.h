#pragma once

#include <string>
#include <string_view>
#include <vector>

// The course the compiled-in text belongs to.
inline constexpr std::string_view kCourseTitle = "Precalculus I";

// The entries of the compiled-in course text, in bank order.
std::vector<std::string> courseEntries();
