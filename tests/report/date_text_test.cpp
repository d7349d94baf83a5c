#include "report/writers.h"

#include <gtest/gtest.h>

#include <QDate>

#include <string>

namespace
{

struct DateCase {
    const char* name;
    QDate date;
    std::string text;
};

class DateText : public testing::TestWithParam<DateCase>
{
};

TEST_P(DateText, IsTheCalendarsDate)
{
    EXPECT_EQ(isoDate(GetParam().date), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Report, DateText,
    testing::Values(DateCase{"LeapDay", QDate(2024, 2, 29), "2024-02-29"},
                    DateCase{"AfterTheLeapDay", QDate(2024, 3, 1), "2024-03-01"},
                    DateCase{"CenturyWithoutALeapDay", QDate(1900, 3, 1), "1900-03-01"},
                    DateCase{"FourHundredthYearsLeapDay", QDate(2000, 2, 29), "2000-02-29"},
                    DateCase{"LastDayOfAYear", QDate(2026, 12, 31), "2026-12-31"},
                    DateCase{"FirstDayOfYearOne", QDate(1, 1, 1), "0001-01-01"},
                    DateCase{"YearFiveDigitsLong", QDate(12345, 6, 7), "12345-06-07"},
                    DateCase{"BeforeYearOne", QDate(-1, 12, 31), ""},
                    DateCase{"Invalid", QDate(), ""}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(DateText, IsQtsOwnForEveryDayOfFiveCenturies)
{
    for (QDate d(1800, 1, 1); d.year() < 2300; d = d.addDays(1)) {
        ASSERT_EQ(isoDate(d), d.toString(Qt::ISODate).toStdString());
    }
}

} // namespace
