#include "TimelineWindow.h"

#include "FileDialogIcons.h"
#include "TimelineExport.h"
#include "TimelineRecord.h"
#include "TimelineView.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>
#include <utility>

CTimelineWindow::CTimelineWindow(const TimelineRecord& record, QWidget* parent)
    : QWidget(parent, Qt::Window), m_record(record), m_view(new CTimelineView(record, this)),
      m_now(new QPushButton(QStringLiteral("&Now"), this)),
      m_savePng(new QPushButton(QStringLiteral("Save as &PNG..."), this)),
      m_saveCsv(new QPushButton(QStringLiteral("Save as &CSV..."), this)),
      m_message(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Timeline - ZR5130"));
    setAccessibleName(QStringLiteral("Timeline"));
    m_now->setAccessibleName(QStringLiteral("Now"));
    m_now->setToolTip(QStringLiteral("Back to the present, following it (Home)"));
    m_savePng->setAccessibleName(QStringLiteral("Save as PNG"));
    m_saveCsv->setAccessibleName(QStringLiteral("Save as CSV"));
    m_saveCsv->setToolTip(QStringLiteral("Every recorded event, one row each"));
    m_message->setAccessibleName(QStringLiteral("Message"));
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_message->setWordWrap(true);
    for (const auto& [control, id] : {std::pair<QWidget*, int>{m_view, kView},
                                      {m_now, kNow},
                                      {m_savePng, kSavePng},
                                      {m_saveCsv, kSaveCsv},
                                      {m_message, kMessage}})
        control->setObjectName(QString::number(id));
    for (QPushButton* button : {m_now, m_savePng, m_saveCsv}) button->setAutoDefault(false);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_message, 1);
    bottom->addWidget(m_now);
    bottom->addWidget(m_savePng);
    bottom->addWidget(m_saveCsv);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addLayout(bottom);
    resize(980, 420);

    connect(m_now, &QPushButton::clicked, m_view, &CTimelineView::FollowNow);
    connect(m_savePng, &QPushButton::clicked, this, &CTimelineWindow::OnSavePng);
    connect(m_saveCsv, &QPushButton::clicked, this, &CTimelineWindow::OnSaveCsv);
}

void CTimelineWindow::SetFailureColour(const QColor& colour)
{
    m_view->SetFailureColour(colour);
    if (m_failed) ShowMessage(m_message->text(), true);
}

void CTimelineWindow::Open()
{
    show();
    raise();
    activateWindow();
    m_view->setFocus();
}

void CTimelineWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

QString CTimelineWindow::AskFileName(const QString& title, const QString& filter,
                                     const QString& suffix)
{
    CFileKindIcons icons;  // never reads what it lists
    QFileDialog dialog(this, title, m_folder, filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setIconProvider(&icons);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(QDateTime::currentDateTime().toString(
                          QStringLiteral("'zr5130-timeline-'yyyyMMdd-HHmmss.")) +
                      suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString path = dialog.selectedFiles().constFirst();
    m_folder = QFileInfo(path).absolutePath();
    return path;
}

void CTimelineWindow::OnSavePng()
{
    const QString path =
        AskFileName(QStringLiteral("Save Timeline as PNG"),
                    QStringLiteral("PNG pictures (*.png);;All files (*)"), QStringLiteral("png"));
    if (!path.isEmpty()) SavePng(path);
}

void CTimelineWindow::OnSaveCsv()
{
    const QString path =
        AskFileName(QStringLiteral("Save Timeline as CSV"),
                    QStringLiteral("CSV files (*.csv);;All files (*)"), QStringLiteral("csv"));
    if (!path.isEmpty()) SaveCsv(path);
}

bool CTimelineWindow::SavePng(const QString& path)
{
    const QPixmap picture = m_view->grab();
    QString why;
    const bool ok = SaveWhole(
        path, [&picture](QIODevice& file) { return picture.save(&file, "PNG"); }, why);
    return Saved(path, ok, why);
}

// The events are copied out first, so that the accesses recorded meanwhile
// do not wait for the file.
bool CTimelineWindow::SaveCsv(const QString& path)
{
    const std::vector<TimelineEvent> events = m_record.Read().Copy();
    QString why;
    const bool ok = SaveWhole(
        path, [&events](QIODevice& file) { return WriteTimelineCsv(events, file); }, why);
    return Saved(path, ok, why);
}

bool CTimelineWindow::Saved(const QString& path, bool ok, const QString& why)
{
    const QString name = QFileInfo(path).fileName();
    const QString text = ok ? QStringLiteral("Timeline saved to %1").arg(name)
                            : QStringLiteral("Save failed: %1: %2").arg(name, why);
    ShowMessage(text, !ok);
    if (!ok)
        std::fprintf(stderr, "zr5130-eval: cannot save the timeline to %s: %s\n",
                     path.toLocal8Bit().constData(), why.toLocal8Bit().constData());
    emit told(text, !ok);
    return ok;
}

void CTimelineWindow::ShowMessage(const QString& text, bool failed)
{
    m_failed = failed;
    m_message->setText(text);
    QPalette palette = m_message->palette();
    palette.setColor(QPalette::WindowText,
                     failed ? m_view->FailureColour()
                            : this->palette().color(QPalette::WindowText));
    m_message->setPalette(palette);
}
