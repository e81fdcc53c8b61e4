#include "TimelineExport.h"

#include "FileOpen.h"
#include "TimelineCsv.h"

#include <QFile>
#include <QSaveFile>

#include <string>
#include <sys/stat.h>

namespace {

// Rows go out in blocks of about this size.
constexpr size_t kBlockBytes = 1 << 16;

chip::TimelineKind KindOf(TimelineEvent::Kind kind)
{
    switch (kind) {
    case TimelineEvent::Kind::StatusRead: return chip::TimelineKind::Read;
    case TimelineEvent::Kind::FailedStatusRead: return chip::TimelineKind::FailedRead;
    case TimelineEvent::Kind::Write: return chip::TimelineKind::Write;
    case TimelineEvent::Kind::FailedWrite: break;
    }
    return chip::TimelineKind::FailedWrite;
}

bool WriteBlock(QIODevice& out, const std::string& block)
{
    return out.write(block.data(), qint64(block.size())) == qint64(block.size());
}

}  // namespace

bool WriteTimelineCsv(std::span<const TimelineEvent> events, QIODevice& out)
{
    std::string block = chip::TimelineCsv::Header();
    chip::TimelineCsv csv;
    for (const TimelineEvent& event : events) {
        csv.AppendRow(block, event.ms, KindOf(event.kind), event.reg, event.value);
        if (block.size() < kBlockBytes) continue;
        if (!WriteBlock(out, block)) return false;
        block.clear();
    }
    return WriteBlock(out, block);
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
