#pragma once

#include "report/writers.h"

#include <cstddef>
#include <functional>

class Report;

// One page: per assignment a grid of students by questions. `written` is
// told how many assignments are written, after each.
void writePage(const Report& report, Out& out,
               const std::function<void(std::size_t)>& written = {});
