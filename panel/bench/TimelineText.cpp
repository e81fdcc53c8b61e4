#include "TimelineText.h"

#include "Decode.h"
#include "HexText.h"
#include "StdText.h"
#include "TimelineRecord.h"

#include <QDateTime>
#include <QStringList>

namespace {

const QString kArrow = QStringLiteral("\u2192");

}  // namespace

QString ClockText(int64_t ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("HH:mm:ss.zzz"));
}

QString WriteText(const TimelineEvent& write)
{
    const QString head = ClockText(write.ms) + QLatin1Char(' ') + HexText(write.reg);
    const QString value = HexText(write.value);
    if (write.kind == TimelineEvent::Kind::FailedWrite)
        return QStringLiteral("%1 %2: the write failed").arg(head, value);
    if (!write.before)
        return QStringLiteral("%1 %2 written; its value before is not known").arg(head, value);
    const QString line = head + QLatin1Char(' ') + HexText(*write.before) + kArrow + value;
    if (*write.before == write.value) return line + QStringLiteral(": no change");
    QStringList changes;
    for (const chip::FieldChange& change : chip::DiffFields(write.reg, *write.before, write.value))
        changes << QStringLiteral("%1 %2 %3 %4")
                       .arg(QString::fromUtf8(change.before.field->name),
                            Text(change.before.meaning), kArrow, Text(change.after.meaning));
    return changes.isEmpty() ? line
                             : line + QStringLiteral(": ") + changes.join(QStringLiteral("; "));
}

QString FlagReadText(const TimelineEvent& read, const chip::FieldInfo& flag)
{
    const QString time = ClockText(read.ms);
    if (read.kind == TimelineEvent::Kind::FailedStatusRead)
        return QStringLiteral("%1 read of %2 failed: no answer, the flags are not known")
            .arg(time, HexText(read.reg));
    return QStringLiteral("%1 %2 (%3) as read at %4: %5 = %6")
        .arg(QString::fromUtf8(flag.name))
        .arg(chip::FieldValue(flag, read.value))
        .arg(QString::fromUtf8(flag.meaning), time, HexText(read.reg), HexText(read.value));
}
