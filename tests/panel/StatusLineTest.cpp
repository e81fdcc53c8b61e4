// The status line on a Linux bus whose chip stops answering: the adapter's
// whole cause, the last twenty texts with their times, a failure that gives
// way.
#include "PanelHarness.h"

#include "ControlIds.h"
#include "FakeI2cDevSys.h"
#include "LinuxI2cAdapter.h"

#include <QLabel>
#include <QRegularExpression>

TEST_F(PanelTest, StatusLineElidesALongFailureKeepsItWholeAndListsTheLastTwentyTexts)
{
    FakeI2cDevSys sys;
    sys.registers[0x72] = 0x80;
    LinuxI2cAdapter bus("/dev/i2c-7", sys);
    testing::internal::CaptureStderr();
    StartPanelOn(&bus);
    auto* line = qobject_cast<QLabel*>(Control(idc::kStatusLine));
    for (int i = 0; i < 12; ++i) {  // 24 texts: Ready1 and Ready2 in turn
        Click(idc::kEnableBacklight);
        ReleaseSliderAt(idc::kBrightness, i);
    }
    sys.transferFailures = {-ENXIO};
    Click(idc::kAllOff);
    const QString whole = "Write to 16 failed: no answer from address 0x2c on /dev/i2c-7; is the "
                          "board powered and connected, and the chip at this address?";
    EXPECT_EQ(Panel().StatusText(), whole);
    EXPECT_TRUE(line->text().endsWith(QChar(0x2026))) << line->text().toStdString();
    EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()), line->contentsRect().width());
    EXPECT_EQ(line->accessibleDescription(), whole);
    const QStringList tip = line->toolTip().split('\n');
    ASSERT_EQ(tip.size(), 23) << "the text, a blank line, a heading and 20 texts";
    EXPECT_EQ(tip[0], whole);
    const QRegularExpression timed(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d (.*)$"));
    QStringList listed;
    for (const QString& entry : tip.mid(3)) listed << timed.match(entry).captured(1);
    EXPECT_EQ(listed.last(), whole);
    EXPECT_EQ(listed.first(), "Ready2") << "the 6th of the 24 Ready texts, the oldest kept";
    EXPECT_EQ(listed.count("Ready2") + listed.count("Ready1"), 19);

    Click(idc::kAllOn);  // succeeds without a text of its own
    EXPECT_EQ(Panel().StatusText(), "Ready2");
    EXPECT_EQ(line->text(), "Ready2");
    testing::internal::GetCapturedStderr();
}
