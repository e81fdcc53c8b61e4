#include "TimelineExport.h"

#include "FileOpen.h"
#include "TimelineLanes.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <sys/stat.h>

namespace {

// Rows go out in blocks of about this size.
constexpr qsizetype kBlockBytes = 1 << 16;

// By TimelineEvent::Kind.
const char* const kKindNames[] = {"read", "failed read", "write", "failed write"};
static_assert(std::size(kKindNames) == size_t(TimelineEvent::Kind::FailedWrite) + 1);

// Local times with their offset from UTC, as ISO 8601 writes them. Asking Qt
// for each of a million rows took seconds; the offset is asked once a
// quarter of an hour instead, the step on which every zone's clocks change.
class IsoClock {
public:
    // "2024-05-01T12:03:04.123+02:00"
    void Append(QByteArray& out, int64_t ms)
    {
        using namespace std::chrono;
        constexpr int64_t kQuarterMs = 15 * 60 * 1000;
        const int64_t quarter = ms >= 0 ? ms / kQuarterMs : (ms + 1) / kQuarterMs - 1;
        if (quarter != m_quarter) {
            m_quarter = quarter;
            m_offsetS = QDateTime::fromMSecsSinceEpoch(quarter * kQuarterMs).offsetFromUtc();
        }
        const sys_time<milliseconds> local{milliseconds(ms + int64_t(m_offsetS) * 1000)};
        const sys_days day = floor<days>(local);
        const year_month_day date{day};
        const hh_mm_ss time{local - day};
        const int offsetMinutes = std::abs(m_offsetS) / 60;
        char text[48];
        const int length =
            std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03d%c%02d:%02d",
                          int(date.year()), unsigned(date.month()), unsigned(date.day()),
                          int(time.hours().count()), int(time.minutes().count()),
                          int(time.seconds().count()), int(time.subseconds().count()),
                          m_offsetS < 0 ? '-' : '+', offsetMinutes / 60, offsetMinutes % 60);
        out.append(text, length);
    }

private:
    int64_t m_quarter = std::numeric_limits<int64_t>::min();
    int m_offsetS = 0;
};

QByteArray HeaderLine()
{
    QByteArray line = "time,kind,register,value";
    for (const chip::FieldInfo& flag : StatusFlags()) line += ',' + QByteArray(flag.name);
    return line + '\n';
}

void AppendRow(QByteArray& out, IsoClock& clock, const TimelineEvent& event)
{
    clock.Append(out, event.ms);
    char text[32];
    const int length = event.kind == TimelineEvent::Kind::FailedStatusRead
        ? std::snprintf(text, sizeof text, ",%s,%02X,--", kKindNames[size_t(event.kind)], event.reg)
        : std::snprintf(text, sizeof text, ",%s,%02X,%02X", kKindNames[size_t(event.kind)],
                        event.reg, event.value);
    out.append(text, length);
    const bool read = event.kind == TimelineEvent::Kind::StatusRead;
    for (const chip::FieldInfo& flag : StatusFlags()) {
        out += ',';
        if (read) out += chip::FieldValue(flag, event.value) ? '1' : '0';
    }
    out += '\n';
}

}  // namespace

bool WriteTimelineCsv(std::span<const TimelineEvent> events, QIODevice& out)
{
    QByteArray block = HeaderLine();
    IsoClock clock;
    for (const TimelineEvent& event : events) {
        AppendRow(block, clock, event);
        if (block.size() < kBlockBytes) continue;
        if (out.write(block) != block.size()) return false;
        block.resize(0);
    }
    return out.write(block) == block.size();
}

bool SaveWhole(const QString& path, const std::function<bool(QIODevice&)>& write, QString& why)
{
    struct stat st { };
    if (::stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        why = QString::fromLatin1(FileKindName(st.st_mode)) + QStringLiteral(", not a file");
        return false;
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && write(file) && file.commit()) return true;
    why = file.errorString();
    return false;
}
