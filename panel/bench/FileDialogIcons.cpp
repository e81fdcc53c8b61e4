#include "FileDialogIcons.h"

#include <QDateTime>
#include <QFileInfo>

QIcon CFileKindIcons::icon(const QFileInfo& info) const
{
    return icon(info.isDir() ? QAbstractFileIconProvider::Folder : QAbstractFileIconProvider::File);
}

QString CFileKindIcons::type(const QFileInfo& info) const
{
    if (info.isDir()) return QStringLiteral("Folder");
    if (info.isFile()) return QStringLiteral("File");
    return QStringLiteral("Special file");
}

QString SuggestedFileName(const QDateTime& when)
{
    return when.toString(QStringLiteral("'zr5130-'yyyyMMdd-HHmmss'.txt'"));
}
