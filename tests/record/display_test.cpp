#include "record_run.h"

#include <gtest/gtest.h>

namespace
{

TEST(DisplayNotes, BeforeAnyNoteSaysSoAndChangesNothing)
{
    RecordRun r;
    r.press();
    const QString shown = r.w().txt_question->toPlainText();
    const QString displayed = r.w().displayedText;
    r.w().cmd_display_note_file_Click();
    EXPECT_EQ(r.run->platform.messages, QStringList{"No notes have been saved yet."});
    EXPECT_EQ(r.w().txt_question->toPlainText(), shown);
    EXPECT_EQ(r.w().displayedText, displayed);
    EXPECT_FALSE(QFileInfo::exists(r.w().notesFilePath()));
}

TEST(DisplayNotes, LinesShownOneUnderAnotherBelowTheBox)
{
    RecordRun r;
    TestFolder::write(r.w().notesFilePath(), "a\r\nb\rc\r\ncaf\xe9");
    q_a_template_::setBoxText(r.w().txt_question, "shown");
    r.w().cmd_display_note_file_Click();
    EXPECT_EQ(q_a_template_::boxText(r.w().txt_question),
              QString::fromUtf8("shown\r\na\r\nb\r\nc\r\ncaf\u00e9"));
    r.w().cmd_display_note_file_Click();
    EXPECT_EQ(q_a_template_::boxText(r.w().txt_question).count("caf"), 2);
}

TEST(DisplaySendFile, LinesAppendedEachAfterALineBreak)
{
    RecordRun r;
    TestFolder::write(r.w().sendFilePath(), "a\r\nb\r\nc\r\n");
    q_a_template_::setBoxText(r.w().txt_question, "Q");
    r.w().cmd_displayCumulativeText_Click();
    EXPECT_EQ(q_a_template_::boxText(r.w().txt_question), "Q\r\na\r\nb\r\nc");
    r.w().cmd_displayCumulativeText_Click();
    EXPECT_EQ(q_a_template_::boxText(r.w().txt_question), "Q\r\na\r\nb\r\nc\r\na\r\nb\r\nc");
}

TEST(DisplaySendFile, ShowsTheOpeningAndANoteWithItsRunOnRule)
{
    RecordRun r;
    r.type("n");
    r.w().cmd_save_as_notes_Click();
    r.w().cmd_displayCumulativeText_Click();
    const QStringList shown = q_a_template_::boxText(r.w().txt_question).split("\r\n");
    EXPECT_EQ(shown.value(3), "003.");
    EXPECT_EQ(shown.value(4), "Precalculus I");
    EXPECT_EQ(shown.last(), QString(49, u'.') + QString(7, u' '));
}

TEST(DisplaySendFile, EmptyFileChangesNothing)
{
    RecordRun r;
    TestFolder::write(r.w().sendFilePath(), "");
    q_a_template_::setBoxText(r.w().txt_question, "Q");
    r.w().cmd_displayCumulativeText_Click();
    EXPECT_EQ(q_a_template_::boxText(r.w().txt_question), "Q");
    EXPECT_TRUE(r.run->platform.messages.isEmpty());
}

TEST(DisplaySendFile, MissingFileIsReported)
{
    RecordRun r;
    QFile::remove(r.w().sendFilePath());
    r.w().cmd_displayCumulativeText_Click();
    EXPECT_EQ(r.run->platform.messages,
              QStringList{"Could not read the file " + r.w().sendFilePath() + ": " +
                          reasonFor(FileFault::MissingFile) + "."});
}

} // namespace
