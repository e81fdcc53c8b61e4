// Reads that fail are told where the user looks, in the look of a failure;
// an Update whose list holds no entry says why it writes nothing.
#include "PanelHarness.h"

#include "ControlIds.h"
#include "FailureLook.h"
#include "FakeI2cDevSys.h"
#include "LinuxI2cAdapter.h"
#include "SessionMenu.h"
#include "Watch.h"

#include <QLabel>
#include <QRegularExpression>
#include <QTest>

#include <functional>
#include <set>

namespace {

class FailedReads : public PanelTest {
protected:
    QLabel* Line() { return qobject_cast<QLabel*>(Control(idc::kStatusLine)); }
    bool LooksFailed() { return Line()->palette().color(QPalette::WindowText) == kFailureColour; }
    QStringList History() { return Line()->toolTip().section("Last texts:\n", 1).split('\n'); }
};

TEST_F(FailedReads, ARegisterThatDoesNotAnswerIsCountedAndNamed)
{
    chip.failReads = {0xA5};
    StartOnConfiguredChip();
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete; 1 of 26 registers did not answer (first: A5)");
    EXPECT_EQ(Line()->text(), Panel().StatusText()) << "the room beside the line takes it whole";
    EXPECT_TRUE(LooksFailed());

    const struct {
        const char* what;
        std::function<void()> act;
        QString told;
        QString before;  // the text the action itself set before, if any
    } actions[] = {
        {"Readback All", [&] { Click(idc::kReadbackAll); }, "1 of 26 registers did not answer (first: A5)", ""},
        {"Manual Read", [&] { ClearText(idc::kRegAddr); Type(idc::kRegAddr, "A5"); Click(idc::kManualRead); },
         "Read of A5 failed", ""},
        {"Load", [&] { Click(idc::kLoad); }, "1 of 26 registers did not answer (first: A5)", "Config E0 loaded"},
    };
    for (const auto& a : actions) {
        SCOPED_TRACE(a.what);
        Click(idc::kAllOn);  // a success that gives way to the last report
        ASSERT_FALSE(LooksFailed());
        a.act();
        EXPECT_EQ(Panel().StatusText(), a.told);
        EXPECT_TRUE(LooksFailed());
        const QStringList history = History();
        EXPECT_TRUE(history.last().endsWith(" " + a.told));
        if (!a.before.isEmpty()) {
            EXPECT_TRUE(history[history.size() - 2].endsWith(" " + a.before));
        }
    }
    EXPECT_EQ(Text(idc::kData), "--");

    chip.failReads.clear();
    Click(idc::kReadbackAll);
    EXPECT_EQ(Panel().StatusText(), "Config E0 loaded") << "every register answered: no text of its own";
    EXPECT_FALSE(LooksFailed());
}

TEST_F(FailedReads, WithNoAdapterTheReadbackAddsNothingToWhatTheLineSays)
{
    StartPanelWithoutAdapter();
    Click(idc::kReadbackAll);
    EXPECT_EQ(Panel().StatusText(), "USB Initialization Error");
    EXPECT_TRUE(LooksFailed());
}

TEST_F(FailedReads, TheAdaptersCauseIsInTheTooltipOrInTheText)
{
    FakeI2cDevSys sys;
    sys.registers[0x72] = 0x80;
    LinuxI2cAdapter bus("/dev/i2c-7", sys);
    testing::internal::CaptureStderr();
    StartPanelOn(&bus);
    const QString cause = "no answer from address 0x2c on /dev/i2c-7; is the board powered and "
                          "connected, and the chip at this address?";
    sys.transferFailures.assign(26, -ENXIO);
    Click(idc::kReadbackAll);
    EXPECT_EQ(Panel().StatusText(), "26 of 26 registers did not answer (first: 00)");
    EXPECT_EQ(Line()->toolTip().section('\n', 0, 1),
              "26 of 26 registers did not answer (first: 00)\nRead of 00 failed: " + cause);

    sys.transferFailures.assign(1, -ENXIO);
    ClearText(idc::kRegAddr);
    Type(idc::kRegAddr, "A5");
    Click(idc::kManualRead);
    EXPECT_EQ(Panel().StatusText(), "Read of A5 failed: " + cause);
    testing::internal::GetCapturedStderr();
}

TEST_F(FailedReads, WatchTellsTheFirstFailedReadAndTheFirstReadAfterItOnce)
{
    StartOnConfiguredChip({{0x02, 0x30}});
    Panel().OnSysCommand(CSessionMenu::kIdmWatchStatus);
    chip.failReads = {0x02};
    const auto told = [&](const QString& start) {
        return QTest::qWaitFor([&] { return Panel().StatusText().startsWith(start); },
                               4 * CStatusWatch::kIntervalMs);
    };
    ASSERT_TRUE(told("Read of 02 failed at "));
    QTest::qWait(3 * CStatusWatch::kIntervalMs);
    chip.failReads.clear();
    ASSERT_TRUE(told("Read of 02 works again at "));
    QTest::qWait(2 * CStatusWatch::kIntervalMs);
    Panel().OnSysCommand(CSessionMenu::kIdmWatchStatus);

    // Each told once, with the time it tells and no other.
    const QStringList history = History();
    EXPECT_EQ(history.filter(QRegularExpression("^Read of 02 failed at \\d\\d:\\d\\d:\\d\\d$")).size(), 1)
        << Line()->toolTip().toStdString();
    EXPECT_EQ(history.filter(QRegularExpression("^Read of 02 works again at \\d\\d:\\d\\d:\\d\\d$")).size(), 1);
    EXPECT_EQ(history.filter("Read of 02").size(), 2);
}

TEST_F(FailedReads, AnUpdateWhoseListHoldsNoEntryNamesItAndWritesNothing)
{
    const struct {
        std::set<uint8_t> failReads;  // at start-up: their lists get no entry
        int list;
        const char* typed;
        int update;
        QString told;
    } cases[] = {
        {{}, idc::kPwmSlope, "7 ms", idc::kUpdateA3,
         "PWM Slope: \"7 ms\" is not one of its values; nothing written"},
        {{0xA3}, 0, "", idc::kUpdateA3, "PWM Slope: no value chosen; nothing written"},
        {{0xA7}, 0, "", idc::kUpdateA7, "PFM Threshold: no value chosen; nothing written"},
        {{}, idc::kCurrentLimit, "2 A", idc::kUpdateA7,
         "Current Limit: \"2 A\" is not one of its values; nothing written"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.told.toStdString());
        chip.failReads = c.failReads;
        StartOnConfiguredChip();
        chip.failReads.clear();
        if (c.list) {
            ClearText(c.list);
            Type(c.list, c.typed);
        }
        Click(c.update);
        EXPECT_EQ(Writes(), "");
        EXPECT_EQ(Panel().StatusText(), c.told);
        EXPECT_TRUE(LooksFailed());
        TearDown();
    }
}

}  // namespace
