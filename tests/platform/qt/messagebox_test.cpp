// The program's message box shows every line whole that fits its widest size: the raw
// memory view's 64-bit lines do not wrap; a line longer than that still wraps; a short
// message stays plain text.

#include "platform/qt/qtservices.h"
#include "tests/support/qtapp.h"
#include "tests/support/widgetfit.h"

#include <QLabel>
#include <QMessageBox>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

class MessageText : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing_support::ensureApplication(); }

    // The box shown with the prompt; its text label.
    QLabel* show(const QString& prompt)
    {
        platform::setMessageText(box, prompt);
        box.show();
        testing_support::settleLayouts();
        return box.findChild<QLabel*>("qt_msgbox_label");
    }
    int widthOf(const QString& line) const { return QFontMetrics(box.font()).horizontalAdvance(line); }

    QMessageBox box;
};

TEST_F(MessageText, MemoryDumpLinesStayWhole)
{
    QString group = "01000110";
    QString line = group;
    for (int i = 1; i < 8; ++i)
        line += "  " + group;
    const QString prompt = "TEDS Device = DS2431 (1kbit memory)\r\n\r\n\r\nMemory data (LSB first):\r\n[8 bit Crc]  " + line +
                           "\r\n" + line + "\r\n" + line;
    QLabel* label = show(prompt);
    ASSERT_NE(label, nullptr);
    EXPECT_GE(label->contentsRect().width(), widthOf("[8 bit Crc]  " + line));
    // Three dump lines and the header, each one line high (the empty lines too).
    const int lineHeight = QFontMetrics(label->font()).lineSpacing();
    EXPECT_LT(label->height(), 8 * lineHeight);
    EXPECT_TRUE(label->text().contains(line.toHtmlEscaped()));
}

TEST_F(MessageText, ALineWiderThanTheBoxStillWraps)
{
    const QString longLine = QString("A long explanation that goes on and on. ").repeated(12);
    QLabel* label = show(longLine + "\r\n" + QString("0").repeated(8));
    ASSERT_NE(label, nullptr);
    EXPECT_LT(label->width(), widthOf(longLine));
    EXPECT_LE(box.width(), box.screen()->availableGeometry().width());
}

TEST_F(MessageText, AShortMessageStaysPlainText)
{
    QLabel* label = show("Template unknown <none>");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(box.textFormat(), Qt::PlainText);
    EXPECT_EQ(label->text(), "Template unknown <none>");
}

} // namespace
