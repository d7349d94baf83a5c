#include "report_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

struct CsvCase {
    const char* name;
    QString response;
    std::string field;
    std::string student = "Ann";
};

class CsvField : public testing::TestWithParam<CsvCase>
{
};

TEST_P(CsvField, IsQuotedAsRfc4180Asks)
{
    Folder folder;
    const QString file =
        "send_0416" + QString::fromStdString(GetParam().student).replace(u' ', u'_') + ".txt";
    folder.write(file,
                 ClassWriter::head(FileRole::send, QTime(9, 0), "001", 1, "", GetParam().response) +
                     ClassWriter::tail(Rating::none, ""));
    report({{folder.path(file)}, false, folder.path("out.csv"), {}});
    const QByteArray csv = folder.read("out.csv");
    const std::string expected = ",other,," + GetParam().field + ",\r\n";
    EXPECT_TRUE(csv.endsWith(QByteArray::fromStdString(expected))) << csv.toStdString();
    const auto rows = csvRows(csv.toStdString());
    ASSERT_EQ(rows.size(), 2u) << csv.toStdString();
    ASSERT_EQ(rows[1].size(), 10u) << csv.toStdString();
    EXPECT_EQ(rows[1][0], GetParam().student);
    EXPECT_EQ(rows[1][1], folder.path(file));
}

INSTANTIATE_TEST_SUITE_P(Report, CsvField,
                         testing::Values(CsvCase{"Plain", "x = 2", "x = 2"},
                                         CsvCase{"Comma", "1, 2", "\"1, 2\""},
                                         CsvCase{"Quote", "a \"b\"", "\"a \"\"b\"\"\""},
                                         CsvCase{"LineBreaks", "a\r\nb", "\"a\nb\""},
                                         // A name the program takes, and one only a
                                         // file renamed by hand can give.
                                         CsvCase{"NameWithAComma", "x", "x", "Lee, Ann"},
                                         CsvCase{"NameWithAQuote", "x", "x", "Ann \"Jo\" Lee"}),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
