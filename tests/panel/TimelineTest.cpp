// The Timeline: its record of status reads and writes in bounded memory, the
// view that draws them where they happened, and the files it saves.
#include "PanelHarness.h"

#include "RegisterMap.h"
#include "StatusLanes.h"
#include "TimelineExport.h"
#include "TimelineLanes.h"
#include "TimelineRecord.h"
#include "TimelineText.h"
#include "TimelineView.h"
#include "TimelineWindow.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

using Kind = TimelineEvent::Kind;
constexpr int64_t kT0 = 1'700'000'000'000;  // the tests' time 0, in ms since the epoch

TimelineRecord::Time At(int64_t ms)
{
    return TimelineRecord::Time(std::chrono::milliseconds(kT0 + ms));
}

TEST(TimelineRecord, KeepsTheNewestEventsWithinItsCeilingAndItsAge)
{
    struct Case {
        const char* what;
        int64_t count;
        int64_t stepMs;
        size_t kept;
        size_t capacity;
    };
    const Case cases[] = {
        {"1.2 million reads, 1 ms apart", 1'200'000, 1, TimelineRecord::kMaxEvents,
         TimelineRecord::kMaxEvents},
        {"25 hours of a read a minute", 25 * 60 + 1, 60'000, 24 * 60 + 1, 4096},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TimelineRecord record;
        for (int64_t i = 0; i < c.count; ++i)
            record.AddRead(At(i * c.stepMs), chip::kStatusRegister, uint8_t(i));
        EXPECT_EQ(record.Capacity(), c.capacity);
        EXPECT_EQ(record.AddedCount(), uint64_t(c.count));
        const TimelineRecord::Events events = record.Read();
        ASSERT_EQ(events.size(), c.kept);
        // In time order across the ring's wrap, the oldest dropped.
        const int64_t dropped = c.count - int64_t(c.kept);
        for (const size_t i : {size_t(0), c.kept / 2, c.kept - 1}) {
            EXPECT_EQ(events[i].ms, kT0 + (dropped + int64_t(i)) * c.stepMs) << i;
            EXPECT_EQ(events[i].value, uint8_t(dropped + int64_t(i))) << i;
        }
        EXPECT_EQ(events.FirstAtOrAfter(events[c.kept / 2].ms - c.stepMs + 1), c.kept / 2);
        EXPECT_EQ(events.FirstAtOrAfter(kT0 + c.count * c.stepMs), c.kept);
    }
}

TEST(TimelineRecord, AWriteKnowsItsRegisterFromEarlierReadsAndWrites)
{
    struct Access {
        int64_t ms;
        bool write;
        uint8_t reg;
        std::optional<uint8_t> value;  // a read: nothing when it failed
        bool ok = true;                // a write
    };
    struct Expected {
        int64_t ms;
        Kind kind;
        uint8_t reg;
        uint8_t value;
        std::optional<uint8_t> before;
    };
    const Access accesses[] = {
        {0, false, 0xA5, 0xE9},        {10, true, 0xA5, 0xE4},       {20, true, 0xA5, 0x64},
        {30, true, 0xA5, 0x11, false}, {40, true, 0xA5, 0x22},       {50, false, 0xA5, {}},
        {60, true, 0xA5, 0x33},        {70, false, 0x03, 0x55},      {80, false, 0x02, 0x38},
        {90, false, 0x02, {}},         {50, true, 0x16, 0x3F, true},
    };
    const Expected expected[] = {
        {10, Kind::Write, 0xA5, 0xE4, 0xE9},
        {20, Kind::Write, 0xA5, 0x64, 0xE4},
        {30, Kind::FailedWrite, 0xA5, 0x11, 0x64},
        {40, Kind::Write, 0xA5, 0x22, {}},  // what the failed write left is not known
        {60, Kind::Write, 0xA5, 0x33, {}},  // nor after a failed read
        {80, Kind::StatusRead, 0x02, 0x38, {}},
        {90, Kind::FailedStatusRead, 0x02, 0x00, {}},
        {90, Kind::Write, 0x16, 0x3F, {}},  // the clock set back: kept in order
    };
    TimelineRecord record;
    for (const Access& a : accesses) {
        if (a.write)
            record.AddWrite(At(a.ms), a.reg, *a.value, a.ok);
        else
            record.AddRead(At(a.ms), a.reg, a.value);
    }
    const TimelineRecord::Events events = record.Read();
    ASSERT_EQ(events.size(), std::size(expected));
    for (size_t i = 0; i < events.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(events[i].ms, kT0 + expected[i].ms);
        EXPECT_EQ(events[i].kind, expected[i].kind);
        EXPECT_EQ(events[i].reg, expected[i].reg);
        EXPECT_EQ(events[i].value, expected[i].value);
        EXPECT_EQ(events[i].before, expected[i].before);
    }
}

TEST(TimelineText, AWriteTellsEveryFieldItChanged)
{
    struct Case {
        TimelineEvent write;
        const char* text;
    };
    const Case cases[] = {
        {{kT0, Kind::Write, 0xA5, 0xE4, 0xE9}, "A5 E9→E4: PWM Frequency 16828 Hz → 9616 Hz"},
        {{kT0, Kind::Write, 0xA5, 0x64, 0xE9},
         "A5 E9→64: PWM Direct 1 → 0; PWM Frequency 16828 Hz → 9616 Hz"},
        {{kT0, Kind::Write, 0xA5, 0xE4, 0xE4}, "A5 E4→E4: no change"},
        {{kT0, Kind::Write, 0x03, 0x34, 0x12}, "03 12→34"},
        {{kT0, Kind::Write, 0xA5, 0xE4, {}}, "A5 E4 written; its value before is not known"},
        {{kT0, Kind::FailedWrite, 0xA5, 0xE4, 0xE9}, "A5 E4: the write failed"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WriteText(c.write), ClockText(kT0) + ' ' + QString::fromUtf8(c.text));
}

const QColor kFailure{0x12, 0xAB, 0x34};

// Over Voltage comes on for a second, VBoost OK goes off, a read fails; a
// write changes A5 and one to A1 fails.
void FeedScenario(TimelineRecord& record)
{
    record.AddRead(At(0), 0x02, 0x30);
    record.AddRead(At(1000), 0x02, 0x38);
    record.AddRead(At(1400), 0xA5, 0xE9);
    record.AddWrite(At(1500), 0xA5, 0xE4, true);
    record.AddRead(At(2000), 0x02, 0x20);
    record.AddWrite(At(2500), 0xA1, 0x07, false);
    record.AddRead(At(3000), 0x02, {});
    record.AddRead(At(4000), 0x02, 0x30);
}

class Timeline : public ::testing::Test {
protected:
    TimelineRecord record;
    int64_t now = kT0 + 5000;
    std::unique_ptr<CTimelineView> view = NewView();

    std::unique_ptr<CTimelineView> NewView()
    {
        auto made = std::make_unique<CTimelineView>(record);
        made->SetClock([this] { return now; });
        made->SetFailureColour(kFailure);
        made->resize(1000, 360);
        return made;
    }
    // The middle of a lane, in the pixel column of a time.
    QPoint Where(int64_t ms, int lane) const
    {
        const TimelineGeometry g = view->Geometry();
        return {int(std::floor(g.XOf(kT0 + ms))), g.LaneRect(lane).center().y()};
    }
    // Every colour drawn in the lane's pixel column at a time.
    QSet<QRgb> ColoursAt(const QImage& image, int64_t ms, int lane) const
    {
        const QRect rect = view->Geometry().LaneRect(lane);
        QSet<QRgb> colours;
        for (int y = rect.top() + 1; y < rect.bottom(); ++y)
            colours << image.pixel(Where(ms, lane).x(), y);
        return colours;
    }
};

TEST_F(Timeline, EachLaneShowsWhatHappenedWhereItHappened)
{
    FeedScenario(record);
    view->ShowRange(kT0, kT0 + 5000);
    QImage image(view->size(), QImage::Format_RGB32);
    view->render(&image);
    const QRgb failure = kFailure.rgb();
    const QRgb level = view->palette().color(QPalette::Highlight).rgb();
    const QRgb gap = view->palette().color(QPalette::Mid).rgb();
    const QRgb none = 0;

    struct Case {
        int64_t ms;
        const char* lane;
        QRgb drawn;
        QRgb notDrawn;
        const char* tip;  // a part of the tooltip; empty: none
    };
    const Case cases[] = {
        {1200, "Over Voltage", failure, level, "Over Voltage 1 (1 = over-voltage flag set)"},
        {500, "Over Voltage", level, failure, "Over Voltage 0"},
        {2500, "VBoost OK", failure, level, "VBoost OK 0 (1 = VBoost OK)"},
        {500, "VBoost OK", level, failure, "VBoost OK 1"},
        {4800, "VBoost OK", level, failure, "VBoost OK 1"},  // held until the present
        {3500, "Open", gap, level, "read of 02 failed: no answer"},
        {1500, "Writes", level, failure, "A5 E9→E4: PWM Frequency 16828 Hz → 9616 Hz"},
        {2500, "Writes", failure, none, "A1 07: the write failed"},
        {2200, "Writes", none, level, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.lane) + " at " + std::to_string(c.ms));
        const int lane = LaneOf(c.lane);
        const QSet<QRgb> colours = ColoursAt(image, c.ms, lane);
        if (c.drawn != none) {
            EXPECT_TRUE(colours.contains(c.drawn));
        }
        EXPECT_FALSE(colours.contains(c.notDrawn));
        const QString tip = view->ToolTipAt(Where(c.ms, lane));
        if (*c.tip) {
            EXPECT_TRUE(tip.contains(QString::fromUtf8(c.tip))) << tip.toStdString();
        } else {
            EXPECT_EQ(tip, QString());
        }
    }
    EXPECT_TRUE(view->ToolTipAt(Where(1500, LaneOf("Writes")))
                    .startsWith(ClockText(kT0 + 1500) + QStringLiteral(" A5")))
        << "the write's time, to the millisecond";
}

TEST_F(Timeline, FollowsThePresentUntilMovedAndHomeReturnsToIt)
{
    struct Case {
        const char* what;
        std::function<void(CTimelineView&)> act;
        bool following;
        int64_t spanMs;
        std::function<int64_t(const TimelineGeometry& before)> endMs;
    };
    const auto pixels = [](const TimelineGeometry& g, double n) {
        return std::llround(n * g.MsPerPixel());
    };
    const Case cases[] = {
        {"the wheel zooms in around the pointer",
         [](CTimelineView& v) {
             const QPoint at(v.Geometry().plot.left() + 100, v.Geometry().plot.center().y());
             QWheelEvent wheel(at, v.mapToGlobal(at), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                               Qt::NoScrollPhase, false);
             QCoreApplication::sendEvent(&v, &wheel);
         },
         false, 48'000,
         [&](const TimelineGeometry& g) {
             const int64_t pointer = g.startMs + pixels(g, 100);
             return pointer + (g.endMs - pointer) * 4 / 5;
         }},
        {"a drag pans",
         [](CTimelineView& v) {
             const QPoint from = v.Geometry().plot.center();
             QTest::mousePress(&v, Qt::LeftButton, {}, from);
             QTest::mouseMove(&v, from + QPoint(80, 0));
             QTest::mouseRelease(&v, Qt::LeftButton, {}, from + QPoint(80, 0));
         },
         false, 60'000, [&](const TimelineGeometry& g) { return g.endMs - pixels(g, 80); }},
        {"Left pans by an eighth", [](CTimelineView& v) { QTest::keyClick(&v, Qt::Key_Left); },
         false, 60'000,
         [&](const TimelineGeometry& g) { return g.endMs - pixels(g, g.plot.width() / 8.0); }},
        {"+ zooms in on the present, still followed",
         [](CTimelineView& v) { QTest::keyClick(&v, Qt::Key_Plus); }, true, 30'000,
         [](const TimelineGeometry& g) { return g.endMs; }},
        {"Home after a pan follows again",
         [](CTimelineView& v) {
             QTest::keyClick(&v, Qt::Key_Right);
             QTest::keyClick(&v, Qt::Key_Home);
         },
         true, 60'000, [](const TimelineGeometry& g) { return g.endMs; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        now = kT0 + 100'000;
        view = NewView();
        const TimelineGeometry before = view->Geometry();
        ASSERT_EQ(before.endMs, now);
        c.act(*view);
        EXPECT_EQ(view->IsFollowing(), c.following);
        now += 1000;
        const TimelineGeometry after = view->Geometry();
        EXPECT_EQ(after.endMs - after.startMs, c.spanMs);
        EXPECT_NEAR(double(after.endMs), double(c.endMs(before) + (c.following ? 1000 : 0)), 1.0);
    }
}

// What a row of the CSV holds but its time, for each event of the scenario.
const char* const kCsvRows[] = {
    "read,02,30,0,0,1,1,0,0,0,0", "read,02,38,0,0,1,1,1,0,0,0", "write,A5,E4,,,,,,,,",
    "read,02,20,0,0,1,0,0,0,0,0", "failed write,A1,07,,,,,,,,", "failed read,02,--,,,,,,,,",
    "read,02,30,0,0,1,1,0,0,0,0",
};

TEST_F(Timeline, TheSavedCsvHoldsEveryEventAndThePictureTheView)
{
    FeedScenario(record);
    CTimelineWindow window(record);
    EXPECT_TRUE(window.windowTitle().contains("Timeline"));
    QTemporaryDir dir;
    const QString csv = dir.filePath("timeline.csv");
    ASSERT_TRUE(window.SaveCsv(csv));
    EXPECT_EQ(window.findChild<QLabel*>(QString::number(CTimelineWindow::kMessage))->text(),
              "Timeline saved to timeline.csv");

    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + qsizetype(std::size(kCsvRows)));
    EXPECT_EQ(lines[0],
              "time,kind,register,value,Open,Short,VRef OK,VBoost OK,Over Voltage,Over Current,"
              "TSD,UVLO");
    const std::vector<TimelineEvent> events = record.Read().Copy();
    for (size_t i = 0; i < std::size(kCsvRows); ++i) {
        const QString time = lines[qsizetype(i) + 1].section(',', 0, 0);
        EXPECT_EQ(QDateTime::fromString(time, Qt::ISODateWithMs).toMSecsSinceEpoch(), events[i].ms)
            << time.toStdString();
        EXPECT_EQ(lines[qsizetype(i) + 1].section(',', 1), kCsvRows[i]);
    }

    const QString png = dir.filePath("timeline.png");
    ASSERT_TRUE(window.SavePng(png));
    EXPECT_EQ(QImage(png).size(), window.View().size());
}

TEST(TimelineSave, AFailedSaveIsToldAndLeavesWhatWasThere)
{
    QTemporaryDir dir;
    const QString old = dir.filePath("old.csv");
    QFile oldFile(old);
    ASSERT_TRUE(oldFile.open(QIODevice::WriteOnly) && oldFile.write("old\n") == 4);
    oldFile.close();
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    struct Case {
        QString path;
        bool writes;  // the writer gets as far as its end
        const char* why;
    };
    const Case cases[] = {
        {dir.filePath("folder"), true, "a directory, not a file"},
        {"/dev/null", true, "a character device, not a file"},
        {dir.filePath("missing/x.csv"), true, ""},
        {old, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        QString why;
        const bool saved = SaveWhole(
            c.path, [&c](QIODevice& out) { return out.write("new, partly\n") > 0 && c.writes; },
            why);
        EXPECT_FALSE(saved);
        EXPECT_FALSE(why.isEmpty());
        EXPECT_TRUE(why.startsWith(QString::fromUtf8(c.why))) << why.toStdString();
    }
    ASSERT_TRUE(oldFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(oldFile.readAll(), "old\n");
    EXPECT_FALSE(QFile::exists(dir.filePath("missing/x.csv")));

    TimelineRecord record;
    CTimelineWindow window(record);
    EXPECT_FALSE(window.SaveCsv(dir.filePath("folder")));
    EXPECT_EQ(window.findChild<QLabel*>(QString::number(CTimelineWindow::kMessage))->text(),
              "Save failed: folder: a directory, not a file");
}

}  // namespace
