#include "report_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

struct PageCase {
    const char* name;
    QString response;
    std::string shown;
};

void PrintTo(const PageCase& c, std::ostream* os)
{
    *os << c.name;
}

class Page : public testing::TestWithParam<PageCase>
{
};

TEST_P(Page, ShowsEveryTextAsText)
{
    Folder folder;
    const std::string bytes = writer().opening("001", kDay, "RUN") +
                              ClassWriter::head(FileRole::send, QTime(9, 0), "001", 1,
                                                q("001", 0).entry, GetParam().response) +
                              ClassWriter::tail(Rating::confidence, "<b>");
    folder.write("send_0416O'Neil_<b>.txt", bytes);
    const Outcome r =
        report({{folder.dir.path().toStdString()}, false, {}, folder.path("page.html")});
    EXPECT_EQ(r.status, 0) << r.err;
    const QByteArray page = folder.read("page.html");
    EXPECT_TRUE(page.contains(QByteArray::fromStdString("</h5><p>" + GetParam().shown + "</p>")));
    EXPECT_TRUE(page.contains("O&#39;Neil &lt;b&gt;"));
    EXPECT_FALSE(page.contains("<script"));
    EXPECT_FALSE(page.contains("<b>"));
    for (const char* fetches : {"src=", "href=", "@import", "url("}) {
        EXPECT_FALSE(page.contains(fetches)) << fetches;
    }
}

// Each of the characters the page escapes, alone in a text, and all of them.
INSTANTIATE_TEST_SUITE_P(
    Report, Page,
    testing::Values(PageCase{"Markup", "<script>alert(\"x\")</script> & 'y'",
                             "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; &amp; &#39;y&#39;"},
                    PageCase{"Ampersand", "x &lt; 3", "x &amp;lt; 3"},
                    PageCase{"LessThan", "x < 3", "x &lt; 3"},
                    PageCase{"GreaterThan", "x > 3", "x &gt; 3"},
                    PageCase{"Quote", "a \"b\"", "a &quot;b&quot;"},
                    PageCase{"Apostrophe", "it's", "it&#39;s"}),
    [](const auto& param) { return std::string(param.param.name); });

// A class of three on one question: Ann Lee in need, Bo Chen's confidence
// not a rating and his critique's typed with blanks, Cy Diaz's critique
// entered twice, the second time empty.
std::string pageOfASmallClass()
{
    const auto& q1 = q("001", 0);
    const auto response = [&](int minute, const QString& text, const QString& rating) {
        return ClassWriter::head(FileRole::send, QTime(9, minute), "001", q1.number, q1.entry,
                                 text) +
               ClassWriter::tail(Rating::confidence, rating);
    };
    const auto critique = [&](int minute, const QString& text, const QString& rating) {
        return ClassWriter::head(FileRole::send, QTime(9, minute), "001", q1.number, q1.answer,
                                 text) +
               ClassWriter::tail(Rating::selfCritique, rating);
    };
    Folder folder;
    folder.write("send_0416Ann_Lee.txt", writer().opening("001", kDay, "A") +
                                             response(1, "x = 5", "0") +
                                             critique(2, "wrong sign", "2") +
                                             ClassWriter::note(FileRole::send, kDay, QTime(9, 3),
                                                               q1.entry, "ask about signs"));
    folder.write("send_0416Bo_Chen.txt", writer().opening("001", kDay, "B") +
                                             response(1, "x = 2", "x") +
                                             critique(2, "right", " 3"));
    folder.write("send_0417Cy_Diaz.txt",
                 writer().opening("001", kDay.addDays(1), "C") + response(1, "x = 2", "2") +
                     critique(2, "the real critique", "2") + critique(3, "", ""));
    const Outcome r =
        report({{folder.dir.path().toStdString()}, false, {}, folder.path("page.html")});
    EXPECT_EQ(r.status, 0) << r.err;
    return folder.read("page.html").toStdString();
}

const std::string& smallClassPage()
{
    static const std::string page = pageOfASmallClass();
    return page;
}

// A row of a student's grid: from the name's heading to the row's end.
std::string rowOf(const std::string& page, const std::string& student)
{
    const std::size_t start = page.find("<tr><th class=\"student\">" + student + "<br>");
    return start == std::string::npos ? "" : page.substr(start, page.find("</tr>", start) - start);
}

struct PagePartCase {
    const char* name;
    std::string student; // the grid row to look in; empty for the whole page
    std::string part;
    bool shown = true;
};

void PrintTo(const PagePartCase& c, std::ostream* os)
{
    *os << c.name;
}

class PageParts : public testing::TestWithParam<PagePartCase>
{
};

TEST_P(PageParts, ShowWhatAnInstructorActsOn)
{
    const PagePartCase& c = GetParam();
    const std::string text =
        c.student.empty() ? smallClassPage() : rowOf(smallClassPage(), c.student);
    ASSERT_FALSE(text.empty()) << c.student;
    EXPECT_EQ(text.find(c.part) != std::string::npos, c.shown) << c.part << "\nin\n" << text;
}

INSTANTIATE_TEST_SUITE_P(
    Report, PageParts,
    testing::Values(
        PagePartCase{"StudentInNeedListedAtTheTop", "",
                     "<h2>Students who need help</h2>\n<p>The questions whose latest rating "
                     "shown in the grid is 0 or 1, most such questions first.</p>\n<table "
                     "class=\"list\">\n<tr><th>student</th><th>questions</th><th>rated 0 or "
                     "1</th></tr>\n<tr><th class=\"student\">Ann Lee</th><td>1</td><td>"
                     "assignment 001: q001 (confidence 0)</td></tr>\n</table>"},
        PagePartCase{"InvalidRatingGreyWithWhatWasTyped", "Bo Chen",
                     "<span class=\"r ri\" title=\"confidence: x\">x</span> <span class=\"r "
                     "r3\" title=\"self-critique\">3</span></summary>"},
        PagePartCase{"InvalidRatingNotShownAsNotRatedYet", "Bo Chen",
                     "<summary><span class=\"r rn\"", false},
        PagePartCase{"SecondEmptyCritiqueDoesNotHideTheFirst", "Cy Diaz",
                     "<span class=\"r r2\" title=\"self-critique\">2</span></summary>"},
        PagePartCase{"BothCritiquesListedTheShownOneFirst", "Cy Diaz",
                     "<h4>Self-critique (2, the one shown first, then newest first)</h4><h5><span "
                     "class=\"r r2\" title=\"self-critique\">2</span> 2026-04-17 09:02:00, shown "
                     "in the grid</h5><p>the real critique</p><h5><span class=\"r rn\" "
                     "title=\"self-critique\">&ndash;</span> 2026-04-17 09:03:00</h5><p "
                     "class=\"earlier\">(empty)</p>"},
        PagePartCase{"RunDatesUnderTheName", "Cy Diaz", "Cy Diaz<br><span>run 2026-04-17</span>"},
        PagePartCase{"TallyOfLowRatings", "",
                     "<tr class=\"tally\"><th class=\"student\">rated 0 or 1</th><td>1</td>"},
        PagePartCase{"TallyOfAnswers", "",
                     "<tr class=\"tally\"><th class=\"student\">answered</th><td>3</td>"},
        PagePartCase{"NoteWithItsQuestion", "",
                     "<tr><th class=\"student\">Ann Lee</th><td>q001</td><td>2026-04-16 "
                     "09:03:00</td><td class=\"text\">ask about signs</td></tr>"},
        PagePartCase{"LongWorkedAnswerFolded", "Ann Lee",
                     "<h4>Worked answer</h4><p>The system</p><details><summary>the "
                     "rest</summary><p>\n3a + 3b = 9\n4a - 5b = 3\n"},
        PagePartCase{"WholeWorkedAnswerInTheCell", "Ann Lee",
                     "8 - 5 = 3, so both equations hold.</p></details>"},
        PagePartCase{"WholeQuestionInTheCell", "Ann Lee",
                     "Check your solution in both equations.</p><h4>Response</h4>"}),
    [](const auto& param) { return std::string(param.param.name); });

// A student who answers a question a dozen times: the cell lists the latest
// ten, and counts the rest, however often it is answered.
TEST(PageCell, ListsTheLatestTenResponsesAndCountsTheRest)
{
    Folder folder;
    const auto& q1 = q("001", 0);
    std::string bytes = writer().opening("001", kDay, "A");
    for (int i = 1; i <= 12; ++i) {
        bytes += ClassWriter::head(FileRole::send, QTime(9, i), "001", q1.number, q1.entry,
                                   i == 12 ? QString() : QStringLiteral("try %1").arg(i)) +
                 ClassWriter::tail(Rating::confidence, "2");
    }
    folder.write("send_0416Ann_Lee.txt", bytes);
    report({{folder.dir.path().toStdString()}, false, {}, folder.path("page.html")});
    const std::string page = folder.read("page.html").toStdString();
    const std::string row = rowOf(page, "Ann Lee");
    EXPECT_NE(row.find("<h4>Response (12, the one shown first, then newest first)</h4>"),
              std::string::npos);
    // The eleventh, the latest that is not empty, first; then the twelfth and
    // the tenth to the third; the first two counted.
    std::vector<std::string> listed;
    for (std::size_t at = 0; (at = row.find("</h5><p>", at)) != std::string::npos; ++at) {
        listed.push_back(row.substr(at + 8, row.find("</p>", at) - at - 8));
    }
    const std::vector<std::string> expected = {"try 11", "try 10", "try 9", "try 8", "try 7",
                                               "try 6",  "try 5",  "try 4", "try 3"};
    EXPECT_EQ(listed, expected);
    EXPECT_NE(row.find("<p class=\"earlier\">(empty)</p>"), std::string::npos);
    EXPECT_NE(row.find("and 2 earlier ones, in the CSV file"), std::string::npos);
}

// Texts longer than a quarter of the page's store's block each get one of
// their own, among short ones kept before and after them.
TEST(PageCell, ShowsAVeryLongResponseWholeAmongShortOnes)
{
    Folder folder;
    const auto& qs = writer().questions("001");
    const QString longText = QString(300'000, u'7') + "!";
    std::string bytes = writer().opening("001", kDay, "A");
    for (int i = 0; i < 3; ++i) {
        bytes += ClassWriter::head(FileRole::send, QTime(9, i), "001", qs[i].number, qs[i].entry,
                                   i == 1 ? longText : QStringLiteral("short %1").arg(i)) +
                 ClassWriter::tail(Rating::confidence, "2");
    }
    folder.write("send_0416Ann_Lee.txt", bytes);
    report({{folder.dir.path().toStdString()}, false, {}, folder.path("page.html")});
    const std::string row = rowOf(folder.read("page.html").toStdString(), "Ann Lee");
    for (const std::string& shown :
         {std::string("short 0"), longText.toStdString(), std::string("short 2")}) {
        EXPECT_NE(row.find("</h5><p>" + shown + "</p>"), std::string::npos) << shown.size();
    }
}

TEST(PageRows, AreInClassListOrder)
{
    const std::string& page = smallClassPage();
    const std::size_t chen = page.find("<tr><th class=\"student\">Bo Chen<br>");
    const std::size_t diaz = page.find("<tr><th class=\"student\">Cy Diaz<br>");
    const std::size_t lee = page.find("<tr><th class=\"student\">Ann Lee<br>");
    ASSERT_NE(lee, std::string::npos);
    EXPECT_LT(chen, diaz);
    EXPECT_LT(diaz, lee);
}

} // namespace
