// A build without libxlsxwriter: the report tells that it writes no workbook.
#include "report/workbook.h"

std::unique_ptr<Workbook> Workbook::open(const std::string&, std::string& error, std::uint32_t)
{
    error = "this build of qa-tutor-report writes no workbooks (built without libxlsxwriter)";
    return nullptr;
}
