#include "report/ordered_output.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace
{

// What one thread does to the output of three files, step by step: a file's
// rows spilled while it is the next to be written, or the file finished.
struct OutputStep {
    std::size_t file;
    std::string rows;
    bool finished; // else spilled
    bool complete = true;
};

struct OrderCase {
    const char* name;
    std::vector<OutputStep> steps;
};

class FilesOutput : public testing::TestWithParam<OrderCase>
{
};

TEST_P(FilesOutput, IsWrittenInTheFilesOrder)
{
    std::FILE* csv = std::tmpfile();
    ASSERT_NE(csv, nullptr);
    std::ostringstream err;
    bool complete = true;
    {
        CsvFile file(csv, 0);
        OrderedOutput output(3, &file, err);
        for (const OutputStep& step : GetParam().steps) {
            std::string rows = step.rows;
            if (step.finished) {
                output.finish(step.file, rows, "message " + std::to_string(step.file) + "\n",
                              step.complete);
            } else {
                output.spill(step.file, rows);
            }
            EXPECT_TRUE(rows.empty());
            complete = complete && step.complete;
        }
        EXPECT_EQ(output.complete(), complete);
        EXPECT_EQ(file.error(), 0);
    }
    std::rewind(csv);
    std::string written(64, '\0');
    written.resize(std::fread(written.data(), 1, written.size(), csv));
    std::fclose(csv);
    EXPECT_EQ(written, "a0a1b0b1c0");
    EXPECT_EQ(err.str(), "message 0\nmessage 1\nmessage 2\n");
}

INSTANTIATE_TEST_SUITE_P(
    Report, FilesOutput,
    testing::Values(OrderCase{"InOrder", {{0, "a0a1", true}, {1, "b0b1", true}, {2, "c0", true}}},
                    OrderCase{"LastFirst", {{2, "c0", true}, {1, "b0b1", true}, {0, "a0a1", true}}},
                    OrderCase{"NextLast", {{1, "b0b1", true}, {2, "c0", true}, {0, "a0a1", true}}},
                    OrderCase{"SpilledWhileNext",
                              {{2, "c0", true},
                               {0, "a0", false},
                               {0, "a1", true},
                               {1, "b0", false},
                               {1, "b1", true}}},
                    OrderCase{"OneNotReadWhole",
                              {{0, "a0a1", true}, {2, "c0", true, false}, {1, "b0b1", true}}}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
