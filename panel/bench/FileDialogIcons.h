#pragma once

#include <QFileIconProvider>
#include <QString>

class QDateTime;

// Icons and types for a file dialog's list from the file's kind alone, as
// stat tells it. Qt's own provider opens files to sniff their type, and a
// read of a FIFO, a device or a /proc file (/proc/kmsg) can block the window
// for good.
class CFileKindIcons : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;
};

// The name a file dialog suggests for a new file: zr5130-YYYYMMDD-HHMMSS.txt.
QString SuggestedFileName(const QDateTime& when);
