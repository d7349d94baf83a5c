#include "coding/program_random.h"
#include "pictures/picture_box.h"
#include "record_run.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace
{

// The pixels that differ between two images of one size.
std::vector<QPoint> changed(const QImage& before, const QImage& after)
{
    std::vector<QPoint> points;
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            if (before.pixel(x, y) != after.pixel(x, y)) {
                points.emplace_back(x, y);
            }
        }
    }
    return points;
}

bool allWhite(const QImage& image)
{
    QImage white(image.size(), image.format());
    white.fill(Qt::white);
    return image == white;
}

class PendExp : public testing::Test
{
protected:
    PendExp()
    {
        // Without start-up the generator keeps its default seed, which a
        // second generator can follow draw by draw.
        window.Picture1->setScaleWidth(1000);
        window.Picture1->setScaleHeight(1000);
        window.show();
    }

    ScriptedPlatform platform;
    q_a_template_ window{platform};
};

TEST_F(PendExp, NothingBeforeTheFirstClick)
{
    EXPECT_FALSE(window.tmr_pend_exp.isActive());
    EXPECT_EQ(platform.beeps, 0);
    EXPECT_TRUE(allWhite(window.Picture1->shownImage()));
    EXPECT_TRUE(allWhite(window.Picture2->shownImage()));
}

TEST_F(PendExp, EachTickOneBeepAndOneCentredCircleOfTheDrawnRadius)
{
    window.cmd_pend_exp->click();
    window.tmr_pend_exp.stop(); // the test drives the ticks itself
    ProgramRandom follower;
    const QPointF centre(window.Picture1->width() / 2.0, window.Picture1->height() / 2.0);
    const double pixelsPerUnit = window.Picture1->width() / 1000.0;
    int ticksThatDrew = 0;
    for (int tick = 1; tick <= 12; ++tick) {
        const QImage before = window.Picture1->shownImage();
        window.tmr_pend_exp_Timer();
        const float radius = 500.0f * follower.draw();
        EXPECT_EQ(platform.beeps, tick);
        ASSERT_GE(radius, 0.0f);
        ASSERT_LT(radius, 500.0f);
        const auto drawn = changed(before, window.Picture1->shownImage());
        ticksThatDrew += !drawn.empty();
        for (const QPoint& p : drawn) {
            const double distance = std::hypot(p.x() + 0.5 - centre.x(), p.y() + 0.5 - centre.y());
            EXPECT_NEAR(distance, radius * pixelsPerUnit, 1.5) << "tick " << tick;
        }
    }
    // A circle drawn exactly over an earlier one would add no pixel.
    EXPECT_GE(ticksThatDrew, 11);
}

TEST_F(PendExp, SecondClickLeavesOneTimerAtTheSameInterval)
{
    window.cmd_pend_exp->click();
    window.cmd_pend_exp->click();
    EXPECT_TRUE(window.tmr_pend_exp.isActive());
    EXPECT_EQ(window.tmr_pend_exp.interval(), 15);
    EXPECT_EQ(window.findChildren<QTimer*>().size(), 1);
}

TEST_F(PendExp, RunningTimerBeepsAndDraws)
{
    window.cmd_pend_exp->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return platform.beeps >= 3; }, 10000));
    EXPECT_FALSE(allWhite(window.Picture1->shownImage()));
}

TEST_F(PendExp, DrawingsSurviveCoverAndUncover)
{
    window.tmr_pend_exp_Timer();
    window.tmr_pend_exp_Timer();
    const QImage drawn = window.Picture1->shownImage();
    window.hide();
    window.show();
    window.Picture1->repaint();
    EXPECT_EQ(window.Picture1->grab().toImage().convertToFormat(drawn.format()), drawn);
}

TEST_F(PendExp, CopyPicturePassesWhatPicture1ShowsThroughTheClipboard)
{
    for (int i = 0; i < 5; ++i) {
        window.tmr_pend_exp_Timer();
    }
    const QImage shown = window.Picture1->shownImage();
    window.cmd_copy_picture->click();
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(shown.format()), shown);
    EXPECT_EQ(window.Picture2->picture().toImage().convertToFormat(shown.format()), shown);
    EXPECT_EQ(window.Picture1->shownImage(), shown);
    EXPECT_TRUE(window.Picture1->picture().isNull());
}

TEST(PendExpFiles, TheTimerTouchesNoFile)
{
    RecordRun r;
    const QStringList files = QDir(r.w().workFolder).entryList(QDir::Files);
    const QByteArray master = TestFolder::read(r.w().masterFilePath());
    r.w().cmd_pend_exp_Click();
    for (int i = 0; i < 20; ++i) {
        r.w().tmr_pend_exp_Timer();
    }
    EXPECT_EQ(QDir(r.w().workFolder).entryList(QDir::Files), files);
    EXPECT_EQ(TestFolder::read(r.w().masterFilePath()), master);
    r.w().cmd_quit_Click();
    EXPECT_FALSE(r.w().tmr_pend_exp.isActive());
}

} // namespace
