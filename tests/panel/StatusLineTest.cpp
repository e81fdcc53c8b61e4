// The status line: whole texts however long, the last twenty with their
// times, and failures that give way.
#include "PanelHarness.h"

#include "ControlIds.h"

#include <QLabel>
#include <QRegularExpression>

TEST_F(PanelTest, StatusLineElidesALongFailureKeepsItWholeAndListsTheLastTwentyTexts)
{
    StartOnConfiguredChip();
    auto* line = qobject_cast<QLabel*>(Control(idc::kStatusLine));
    ASSERT_NE(line, nullptr);
    for (int i = 0; i < 12; ++i) {  // 24 texts: Ready1 and Ready2 in turn
        Click(idc::kEnableBacklight);
        ReleaseSliderAt(idc::kBrightness, i);
    }
    chip.failWrites = {0x16};
    chip.failureCause = "no answer from address 0x2c on /dev/i2c-7; is the board powered and "
                        "connected, and the chip at this address?";
    Click(idc::kAllOff);
    const QString whole = "Write to 16 failed: " + QString::fromStdString(chip.failureCause);

    EXPECT_EQ(Panel().StatusText(), whole);
    EXPECT_TRUE(line->text().endsWith(QChar(0x2026))) << line->text().toStdString();
    EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()), line->contentsRect().width());
    EXPECT_EQ(line->accessibleDescription(), whole);
    const QStringList tip = line->toolTip().split('\n');
    ASSERT_GE(tip.size(), 3);
    EXPECT_EQ(tip[0], whole);
    const QRegularExpression timed(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d (.*)$"));
    QStringList listed;
    for (const QString& entry : tip.mid(3)) {
        const QRegularExpressionMatch m = timed.match(entry);
        EXPECT_TRUE(m.hasMatch()) << entry.toStdString();
        listed << m.captured(1);
    }
    ASSERT_EQ(listed.size(), 20) << line->toolTip().toStdString();
    EXPECT_EQ(listed.last(), whole);
    EXPECT_EQ(listed.first(), "Ready2") << "the 6th of the 24 Ready texts, the oldest kept";
    EXPECT_EQ(listed.count("Ready2"), 10);

    chip.failWrites.clear();
    Click(idc::kAllOn);  // succeeds without a text of its own
    EXPECT_EQ(Panel().StatusText(), "Ready2");
    EXPECT_EQ(line->text(), "Ready2");
    EXPECT_EQ(line->accessibleDescription(), "Ready2");
}
