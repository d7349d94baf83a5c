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
    EXPECT_TRUE(page.contains(QByteArray::fromStdString("</h4><p>" + GetParam().shown + "</p>")));
    EXPECT_TRUE(page.contains("O&#39;Neil &lt;b&gt;"));
    EXPECT_TRUE(page.contains("invalid rating: &lt;b&gt;, 2026-04-16 09:00:00</h4>"));
    // The one script is the page's own, after every text from a file.
    EXPECT_EQ(page.indexOf("<script"), page.indexOf("</main>\n<script>") + 8);
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

// Students in need with as many low ratings each, whose first names sort
// apart from their class-list order, and Eve, whose name from her file's
// name holds markup, with more.
const std::string& tiedClassPage()
{
    static const std::string page = [] {
        const auto lowOn = [](int questions) {
            std::string bytes = writer().opening("001", kDay, "T");
            for (int i = 0; i < questions; ++i) {
                bytes +=
                    answered(FileRole::send, "001", i, q("001", i).entry, Rating::confidence, "0");
            }
            return bytes;
        };
        Folder folder;
        for (const char* name : {"Fay_Lee", "ann_Lee", "Éva_Lee", "Bo_Adams"}) {
            folder.write(QStringLiteral("send_0416%1.txt").arg(QString::fromUtf8(name)), lowOn(1));
        }
        folder.write("send_0416Eve_<img src=x onerror=alert(1)>.txt", lowOn(2));
        const Outcome r =
            report({{folder.dir.path().toStdString()}, false, {}, folder.path("page.html")});
        EXPECT_EQ(r.status, 0) << r.err;
        return folder.read("page.html").toStdString();
    }();
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
    const std::string& (*page)() = smallClassPage;
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
    const std::string text = c.student.empty() ? c.page() : rowOf(c.page(), c.student);
    ASSERT_FALSE(text.empty()) << c.student;
    EXPECT_EQ(text.find(c.part) != std::string::npos, c.shown) << c.part << "\nin\n" << text;
}

INSTANTIATE_TEST_SUITE_P(
    Report, PageParts,
    testing::Values(
        PagePartCase{"StudentInNeedListedAtTheTop", "",
                     "<h2>Students who need help</h2>\n<p>The questions whose latest rating "
                     "shown in the grid is 0 or 1, most such questions first.</p>\n<table "
                     "class=\"list\">\n<caption class=\"vh\">Students who need "
                     "help</caption>\n<tr><th>student</th><th>questions</th><th>rated 0 or "
                     "1</th></tr>\n<tr><th class=\"student\">Ann Lee</th><td>1</td><td>"
                     "assignment 001: q001 (confidence 0)</td></tr>\n</table>"},
        PagePartCase{"TiesInNeedInClassListOrder", "",
                     "<tr><th class=\"student\">Bo Adams</th><td>1</td><td>assignment 001: q001 "
                     "(confidence 0)</td></tr>\n<tr><th class=\"student\">ann Lee</th><td>1</td>"
                     "<td>assignment 001: q001 (confidence 0)</td></tr>\n<tr><th "
                     "class=\"student\">Éva Lee</th><td>1</td><td>assignment 001: q001 "
                     "(confidence 0)</td></tr>\n<tr><th class=\"student\">Fay Lee</th><td>1</td>"
                     "<td>assignment 001: q001 (confidence 0)</td></tr>\n</table>",
                     true, tiedClassPage},
        PagePartCase{"NameInNeedEscapedAsInTheGrid", "",
                     "<caption class=\"vh\">Students who need help</caption>\n<tr><th>student"
                     "</th><th>questions</th><th>rated 0 or 1</th></tr>\n<tr><th "
                     "class=\"student\">Eve &lt;img src=x onerror=alert(1)&gt;</th><td>2</td><td>"
                     "assignment 001: q001 (confidence 0), q002 (confidence 0)</td></tr>",
                     true, tiedClassPage},
        PagePartCase{"NameInTheGridEscaped", "Eve &lt;img src=x onerror=alert(1)&gt;", "<td>", true,
                     tiedClassPage},
        PagePartCase{"NoNameAsMarkup", "", "<img", false, tiedClassPage},
        PagePartCase{"InvalidRatingGreyWithWhatWasTyped", "Bo Chen",
                     "<span class=\"r ri\" title=\"confidence: x\" aria-hidden=\"true\">x</span> "
                     "<span class=\"r r3\" title=\"self-critique\" aria-hidden=\"true\">3</span>"},
        PagePartCase{"RatingsInWordsForScreenReaders", "Bo Chen",
                     "<span class=\"vh\">confidence invalid rating: x, self-critique "
                     "3</span></summary>"},
        PagePartCase{"InvalidRatingAsTypedInTheOpenedCell", "Bo Chen",
                     "<h4><span class=\"r ri\" title=\"confidence: x\" aria-hidden=\"true\">x"
                     "</span> <span class=\"vh\">confidence</span> invalid rating: x, "
                     "2026-04-16 09:01:00</h4><p>x = 2</p>"},
        PagePartCase{"NoResponseToldToScreenReaders", "Ann Lee",
                     "<td class=\"none\"><span aria-hidden=\"true\">&middot;</span><span "
                     "class=\"vh\">no response</span></td>"},
        PagePartCase{"InvalidRatingNotShownAsNotRatedYet", "Bo Chen",
                     "<summary><span class=\"r rn\"", false},
        PagePartCase{"SecondEmptyCritiqueDoesNotHideTheFirst", "Cy Diaz",
                     "<span class=\"r r2\" title=\"self-critique\" aria-hidden=\"true\">2</span>"
                     "<span class=\"vh\">confidence 2, self-critique 2</span></summary>"},
        PagePartCase{"BothCritiquesListedTheShownOneFirst", "Cy Diaz",
                     "<h3>Self-critique (2, the one shown first, then newest first)</h3><h4><span "
                     "class=\"r r2\" title=\"self-critique\" aria-hidden=\"true\">2</span> <span "
                     "class=\"vh\">self-critique 2,</span> 2026-04-17 09:02:00, shown in the "
                     "grid</h4><p>the real critique</p><h4><span class=\"r rn\" "
                     "title=\"self-critique\" aria-hidden=\"true\">&ndash;</span> <span "
                     "class=\"vh\">self-critique no rating typed,</span> 2026-04-17 "
                     "09:03:00</h4><p class=\"earlier\">(empty)</p>"},
        PagePartCase{"RunDatesUnderTheName", "Cy Diaz", "Cy Diaz<br><span>run 2026-04-17</span>"},
        PagePartCase{"TallyOfLowRatings", "",
                     "<tr class=\"tally\"><th class=\"student\">rated 0 or 1</th><td>1</td>"},
        PagePartCase{"TallyOfAnswers", "",
                     "<tr class=\"tally\"><th class=\"student\">answered</th><td>3</td>"},
        PagePartCase{"NoteWithItsQuestion", "",
                     "<tr><th class=\"student\">Ann Lee</th><td>q001</td><td>2026-04-16 "
                     "09:03:00</td><td class=\"text\">ask about signs</td></tr>"},
        PagePartCase{"LongWorkedAnswerFolded", "Ann Lee",
                     "<h3>Worked answer</h3><p>The system</p><details><summary>the "
                     "rest</summary><p>\n3a + 3b = 9\n4a - 5b = 3\n"},
        PagePartCase{"WholeWorkedAnswerInTheCell", "Ann Lee",
                     "8 - 5 = 3, so both equations hold.</p></details>"},
        PagePartCase{"WholeQuestionInTheCell", "Ann Lee",
                     "Check your solution in both equations.</p><h3>Response</h3>"},
        PagePartCase{"OneMainLandmarkAroundEveryText", "",
                     "<body>\n<main>\n<h1>Precalculus I: responses</h1>"},
        PagePartCase{"LegendSaysWhatEachColourShows", "",
                     "<li><span class=\"r r0\" aria-hidden=\"true\">0</span> red: 0, no "
                     "confidence, or critique needed but not given;</li>"},
        PagePartCase{"GridNamed", "",
                     "<h2>Assignment 001</h2>\n<table>\n<caption class=\"vh\">Assignment 001: "
                     "each student's ratings by question</caption>"},
        PagePartCase{"NotesNamed", "",
                     "<h3>Notes</h3>\n<table class=\"list\">\n<caption class=\"vh\">Notes, "
                     "assignment 001</caption>"},
        PagePartCase{"ColumnHeadingKeepsItsShortName", "",
                     "<th aria-label=\"q001\"><details><summary>q001</summary>"}),
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
    EXPECT_NE(row.find("<h3>Response (12, the one shown first, then newest first)</h3>"),
              std::string::npos);
    // The eleventh, the latest that is not empty, first; then the twelfth and
    // the tenth to the third; the first two counted.
    std::vector<std::string> listed;
    for (std::size_t at = 0; (at = row.find("</h4><p>", at)) != std::string::npos; ++at) {
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
        EXPECT_NE(row.find("</h4><p>" + shown + "</p>"), std::string::npos) << shown.size();
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
