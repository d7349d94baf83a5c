#pragma once

#include <string>
#include <vector>

// The entries of the compiled-in course text, in bank order.
std::vector<std::string> courseEntries();
