// The Timeline in the panel: recorded from start-up through the chip object,
// fed by Watch Status's reader thread and the window's own writes, opened
// from the window menu, saved whole.
#include "ControlIds.h"
#include "PanelHarness.h"

#include "FailureLook.h"
#include "PanelTimeline.h"
#include "SessionMenu.h"
#include "SimBoard.h"
#include "StatusLanes.h"
#include "TimelineLanes.h"
#include "TimelineView.h"
#include "TimelineWindow.h"

#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Answer = SimBoard::StatusAnswer;

// One row of the saved CSV, its time read back.
struct Row {
    int64_t ms;
    QStringList cells;  // kind, register, value, then one per flag
    QString Flag(const char* name) const { return cells.value(3 + LaneOf(name)); }
};

std::vector<Row> ReadCsv(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    std::vector<Row> rows;
    for (const QString& line : lines.mid(1)) {
        const QDateTime time = QDateTime::fromString(line.section(',', 0, 0), Qt::ISODateWithMs);
        EXPECT_TRUE(time.isValid()) << line.toStdString();
        rows.push_back({time.toMSecsSinceEpoch(), line.section(',', 1).split(',')});
    }
    return rows;
}

class TimelineInPanel : public PanelTest {
protected:
    SimBoard board;

    bool Shows02(const char* value)
    {
        return QTest::qWaitFor([&] { return BoxText(0x02) == value; }, 4000);
    }
};

TEST_F(TimelineInPanel, WatchAndAWriteShowWhereTheyHappenedAndTheCsvHoldsEveryEvent)
{
    board.Poke(0x72, 0x80);  // configured: the start-up writes nothing
    board.Poke(0x02, 0x30);
    board.Poke(0xA5, 0xE9);
    StartPanelOn(&board);
    // Over Voltage comes and goes, a read goes unanswered, VBoost OK drops.
    board.SetStatusSequence({0x30, 0x38, 0x30, Answer::Kind::NoAnswer, 0x20, 0x30});
    Panel().OnSysCommand(CSessionMenu::kIdmWatchStatus);
    ASSERT_TRUE(Shows02("38"));
    WriteByHand("A5", "E4");
    ASSERT_TRUE(Shows02("20"));
    ASSERT_TRUE(Shows02("30"));
    Panel().OnSysCommand(CSessionMenu::kIdmWatchStatus);
    QTest::qWait(100);  // the present passes the last read: the view tells nothing beyond it

    Panel().activateWindow();
    QCoreApplication::processEvents();
    QTest::keyClick(Panel().focusWidget(), Qt::Key_L, Qt::ControlModifier);
    auto* window = Panel().findChild<CTimelineWindow*>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->windowTitle().contains("Timeline"));
    EXPECT_EQ(window->View().FailureColour(), kFailureColour);

    QTemporaryDir dir;
    ASSERT_TRUE(window->SaveCsv(dir.filePath("timeline.csv")));
    EXPECT_EQ(Panel().StatusText(), "Timeline saved to timeline.csv");
    const std::vector<Row> rows = ReadCsv(dir.filePath("timeline.csv"));
    const auto* record = &Panel().findChild<CPanelTimeline*>()->Record();
    ASSERT_EQ(rows.size(), record->Read().size());

    // From start-up on: the readback's read of 02, the watch's, the write
    // between them, and nothing else written.
    QStringList seen;
    for (const Row& row : rows) seen << row.cells.mid(0, 3).join(' ');
    EXPECT_EQ(seen.first(), "read 02 30") << "the start-up's readback";
    EXPECT_EQ(seen.filter("write").join(", "), "write A5 E4");
    EXPECT_TRUE(seen.join(", ").contains("read 02 30, read 02 38, write A5 E4, read 02 30, "
                                         "failed read 02 --, read 02 20, read 02 30"))
        << seen.join(", ").toStdString();

    CTimelineView& view = window->View();
    view.ShowRange(rows.front().ms - 500, rows.back().ms + 500);
    QImage image(view.size(), QImage::Format_RGB32);
    view.render(&image);
    const TimelineGeometry g = view.Geometry();
    ASSERT_LT(g.MsPerPixel(), 20.0) << "the events lie far enough apart to be told apart";
    // A write's tick where it happened; a read's level just after it.
    const auto at = [&](const Row& row, const char* lane) {
        const int64_t ms = row.ms + (row.cells[0] == "write" ? 0 : 40);
        return QPoint(int(g.XOf(ms)), g.LaneRect(LaneOf(lane)).center().y());
    };
    const auto colours = [&](QPoint where, const char* lane) {
        QSet<QRgb> found;
        const QRect rect = g.LaneRect(LaneOf(lane));
        for (int y = rect.top() + 1; y < rect.bottom(); ++y) found << image.pixel(where.x(), y);
        return found;
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.cells.join(',').toStdString());
        if (row.cells[0] == "write") {
            EXPECT_TRUE(view.ToolTipAt(at(row, "Writes"))
                            .contains("A5 E9→E4: PWM Frequency 16828 Hz → 9616 Hz"));
            EXPECT_TRUE(colours(at(row, "Writes"), "Writes")
                            .contains(view.palette().color(QPalette::Highlight).rgb()));
        } else if (row.cells[0] == "failed read") {
            EXPECT_TRUE(view.ToolTipAt(at(row, "Over Voltage")).contains("read of 02 failed"));
        } else {
            for (const auto& [lane, faultAt] : {std::pair{"Over Voltage", "1"}, {"VBoost OK", "0"}}) {
                const QString level = row.Flag(lane);
                EXPECT_TRUE(view.ToolTipAt(at(row, lane)).contains(QString("%1 %2").arg(lane, level)));
                EXPECT_EQ(colours(at(row, lane), lane).contains(kFailureColour.rgb()), level == faultAt)
                    << lane;
            }
        }
    }
}

}  // namespace
