// Window-menu entries for bench sessions: save, compare, watch, reconnect,
// adapter, record.
#include "SessionMenu.h"

#include "AdapterMenu.h"
#include "BoxMarks.h"
#include "Decode.h"
#include "EvalDlg.h"
#include "FileDialogIcons.h"
#include "FileOpen.h"
#include "HexText.h"
#include "ImageRead.h"
#include "RegisterImage.h"
#include "RegisterMap.h"
#include "Trace.h"
#include "Watch.h"
#include "tvx.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QSaveFile>

#include <cstdio>
#include <sys/stat.h>

namespace {

struct Entry {
    unsigned id;
    const char* text;
    QKeySequence::StandardKey standardKey;
    Qt::Key key;  // with Ctrl, where there is no standard key
    bool checkable;
};
const Entry kEntries[] = {
    {CSessionMenu::kIdmSaveRegisters, "Save Registers...", QKeySequence::Save, Qt::Key_unknown, false},
    {CSessionMenu::kIdmCompareWithFile, "Compare with File...", QKeySequence::UnknownKey, Qt::Key_D, false},
    {CSessionMenu::kIdmWatchStatus, "Watch Status", QKeySequence::UnknownKey, Qt::Key_T, true},
    {CSessionMenu::kIdmReconnectAdapter, "Reconnect Adapter", QKeySequence::UnknownKey, Qt::Key_R, false},
    // The Adapter list goes before this one.
    {CSessionMenu::kIdmRecordSession, "Record Session...", QKeySequence::UnknownKey, Qt::Key_E, true},
    {CSessionMenu::kIdmRegisters, "Registers...", QKeySequence::UnknownKey, Qt::Key_G, false},
    {CSessionMenu::kIdmTimeline, "Timeline...", QKeySequence::UnknownKey, Qt::Key_L, false},
};

const QString kDumpFilter = QStringLiteral("Register dumps (*.txt *.dump);;All files (*)");
const QString kTraceFilter = QStringLiteral("Register traces (*.txt *.trace);;All files (*)");

QString Hex(std::optional<uint8_t> value)
{
    return value ? HexText(*value) : QStringLiteral("XX");
}

// The tooltip lines of a box that differs: the file's value and, where both
// are known, each field that differs by name.
QString DifferenceLines(const QString& fileName, uint8_t reg, std::optional<uint8_t> board,
                        std::optional<uint8_t> file)
{
    QString tip = fileName + QStringLiteral(": ") + Hex(file);
    if (!file) return tip + QStringLiteral(" (no answer)");
    if (!board) return tip + QStringLiteral("; not read from the board");
    for (const chip::FieldChange& change : chip::DiffFields(reg, *board, *file))
        tip += QStringLiteral("\n%1: %2 here, %3 in the file")
                   .arg(QString::fromUtf8(change.before.field->name),
                        QString::fromStdString(change.before.meaning),
                        QString::fromStdString(change.after.meaning));
    return tip;
}

// Why a dump may not be saved at path: something that is not a file is
// there (a device node would be replaced by the file). Empty when it may.
QString SaveTargetProblem(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode)) return {};
    return QString::fromLatin1(FileKindName(st.st_mode)) + QStringLiteral(", not a file");
}

}  // namespace

CSessionMenu::CSessionMenu(CEvalDlg& dlg, QMenu& menu, const AdapterStart& start)
    : QObject(&dlg), m_dlg(dlg), m_watch(new CStatusWatch(dlg))
{
    menu.addSeparator();
    for (const Entry& e : kEntries) {
        if (e.id == kIdmRecordSession)
            m_adapters = new CAdapterMenu(dlg, menu, start, [this] {
                return AskFileName(QStringLiteral("Register Dump File"), FileUse::OpenDump);
            });
        QAction* action = menu.addAction(QString::fromUtf8(e.text));
        action->setData(e.id);
        action->setCheckable(e.checkable);
        action->setShortcut(e.key == Qt::Key_unknown ? QKeySequence(e.standardKey)
                                                     : QKeySequence(Qt::CTRL | e.key));
        // Also on the panel, so the keys work while the menu is closed.
        dlg.addAction(action);
        if (e.id == kIdmWatchStatus) m_watchEntry = action;
        if (e.id == kIdmRecordSession) m_recordEntry = action;
    }
    // Called from within a register access: the panel is told once it is done.
    RecordingOnLost([this](const std::string& reason) {
        QMetaObject::invokeMethod(
            this, [this, why = QString::fromStdString(reason)] { RecordingLost(why); },
            Qt::QueuedConnection);
    });
    connect(&dlg, &QDialog::finished, this, [this] {
        m_watch->Stop();
        m_watchEntry->setChecked(false);
        if (RecordingActive()) StopRecording();
    });
}

CSessionMenu::~CSessionMenu()
{
    RecordingOnLost({});
    RecordingClose();
}

// Watch's reader is held still while the adapter is opened again or another
// one is put in its place.
bool CSessionMenu::OnCommand(unsigned id)
{
    switch (id & 0xFFF0) {
    case kIdmSaveRegisters: OnSaveRegisters(); return true;
    case kIdmCompareWithFile: OnCompareWithFile(); return true;
    case kIdmWatchStatus: OnWatchStatus(); return true;
    case kIdmReconnectAdapter: {
        const CStatusWatch::Pause pause(*m_watch);
        OnReconnectAdapter();
        return true;
    }
    case kIdmRecordSession: OnRecordSession(); return true;
    default: {
        if (!CAdapterMenu::Owns(id)) return false;
        const CStatusWatch::Pause pause(*m_watch);
        return m_adapters->OnCommand(id);
    }
    }
}

bool CSessionMenu::IsWatching() const { return m_watch->IsRunning(); }

// A trace is appended to, so choosing an existing file asks nothing, and the
// name is taken as typed: it may be a device.
QString CSessionMenu::AskFileName(const QString& title, FileUse use)
{
    const bool forSaving = use != FileUse::OpenDump;
    CFileKindIcons icons;  // never reads what it lists
    // Qt's own dialog: the same on every desktop, and one a test can answer.
    QFileDialog dialog(&m_dlg, title, m_folder,
                       use == FileUse::AppendTrace ? kTraceFilter : kDumpFilter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setIconProvider(&icons);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, use == FileUse::AppendTrace);
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (forSaving) {
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        dialog.selectFile(SuggestedFileName(QDateTime::currentDateTime()));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString path = dialog.selectedFiles().constFirst();
    m_folder = QFileInfo(path).absolutePath();
    return path;
}

void CSessionMenu::Report(const QString& statusText, const QString& detail)
{
    m_dlg.SetFailureText(statusText);
    std::fprintf(stderr, "zr5130-eval: %s\n", detail.toLocal8Bit().constData());
}

// The grid's registers as the readback reads them, everything else XX, so
// that the file loads as the same board.
void CSessionMenu::OnSaveRegisters()
{
    const QString path = AskFileName(QStringLiteral("Save Registers"), FileUse::SaveDump);
    if (path.isEmpty()) return;
    m_dlg.OnReadbackAll();
    const RegisterImage image = ReadRegisterImage(
        chip::ReadbackRegisters(), [this](uint8_t reg) { return m_dlg.GridValue(reg); });
    const QByteArray text = QByteArray::fromStdString(FormatRegisterImage(image));
    const QString name = QFileInfo(path).fileName();
    if (const QString problem = SaveTargetProblem(path); !problem.isEmpty()) {
        Report(QStringLiteral("Save failed: %1: %2").arg(name, problem),
               QStringLiteral("cannot save the registers to %1: %2").arg(path, problem));
        return;
    }

    // Written beside the old file and renamed over it only when complete.
    QSaveFile file(path);
    const bool saved = file.open(QIODevice::WriteOnly) && file.write(text) == text.size() &&
                       file.commit();
    if (!saved) {
        Report(QStringLiteral("Save failed: %1: %2").arg(name, file.errorString()),
               QStringLiteral("cannot save the registers to %1: %2").arg(path, file.errorString()));
        return;
    }
    m_dlg.SetStatusText(QStringLiteral("Registers saved to %1").arg(name));
}

void CSessionMenu::OnCompareWithFile()
{
    const QString path = AskFileName(QStringLiteral("Compare with File"), FileUse::OpenDump);
    if (path.isEmpty()) return;
    RegisterImage file;
    std::string error;
    if (!LoadRegisterImage(path.toStdString(), file, error)) {
        const QString why = QString::fromStdString(error);
        Report(QStringLiteral("Compare failed: %1").arg(why), why);
        return;
    }
    m_dlg.OnReadbackAll();
    const QString name = QFileInfo(path).fileName();
    int differing = 0;
    for (const uint8_t reg : chip::ReadbackRegisters()) {
        const std::optional<uint8_t> board = m_dlg.GridValue(reg);
        const std::optional<uint8_t> fileValue = file.values[reg];
        if (board == fileValue) continue;
        ++differing;
        m_differences.insert(reg, DifferenceLines(name, reg, board, fileValue));
        MarkBox(m_dlg.RegisterBox(reg), kDiffersMark, kDiffersColour, {});
    }
    m_dlg.SetStatusText(
        differing == 0 ? QStringLiteral("Same as %1").arg(name)
            : differing == 1
            ? QStringLiteral("1 register differs from %1").arg(name)
            : QStringLiteral("%1 registers differ from %2").arg(differing).arg(name));
}

void CSessionMenu::ForgetComparison()
{
    for (const uint8_t reg : m_differences.keys()) UnmarkBox(m_dlg.RegisterBox(reg), kDiffersMark);
    m_differences.clear();
}

// Checking the entry has already ticked it when this runs from the menu or
// its key; a command sent by number just turns the watch the other way.
void CSessionMenu::OnWatchStatus()
{
    const bool on = !m_watch->IsRunning();
    m_watchEntry->setChecked(on);
    if (on)
        m_watch->Start();
    else
        m_watch->Stop();
}

// What the start-up does with the adapter, again; the chip is not
// programmed: it is the board that was there before. An adapter that says
// why it did not come up (a bus whose name changed) has that on the status
// line.
void CSessionMenu::OnReconnectAdapter()
{
    m_dlg.OpenAdapter();
    TvxAdapter* adapter = tvxInstalledAdapter();
    const std::string failure = adapter ? adapter->OpenFailure() : std::string();
    m_dlg.OnReadbackAll();
    if (!failure.empty()) {
        QString text = QString::fromStdString(failure);
        text[0] = text[0].toUpper();
        m_dlg.SetFailureText(text);
    }
}

// The lines go to the file beside any ZR5130_TRACE, appended: a file chosen
// again goes on where it stopped.
void CSessionMenu::OnRecordSession()
{
    if (RecordingActive()) return StopRecording();
    m_recordEntry->setChecked(false);
    const QString path = AskFileName(QStringLiteral("Record Session"), FileUse::AppendTrace);
    if (path.isEmpty()) return;
    std::string error;
    if (!RecordingOpen(path.toStdString(), error)) {
        const QString why = QString::fromStdString(error);
        Report(QStringLiteral("Recording failed: %1").arg(why),
               QStringLiteral("cannot record to %1").arg(why));
        return;
    }
    m_recordingName = QFileInfo(path).fileName();
    m_recordEntry->setChecked(true);
    m_dlg.SetStatusText(QStringLiteral("Recording to %1").arg(m_recordingName));
}

void CSessionMenu::StopRecording()
{
    const RecordedWrites writes = RecordingClose();
    m_recordEntry->setChecked(false);
    QString text = writes.done == 1
        ? QStringLiteral("Recorded 1 register write to %1").arg(m_recordingName)
        : QStringLiteral("Recorded %1 register writes to %2").arg(writes.done).arg(m_recordingName);
    if (writes.failed > 0)
        text += writes.failed == 1
            ? QStringLiteral(" (1 failed write not recorded as done)")
            : QStringLiteral(" (%1 failed writes not recorded as done)").arg(writes.failed);
    m_dlg.SetStatusText(text);
}

void CSessionMenu::RecordingLost(const QString& reason)
{
    RecordingClose();
    m_recordEntry->setChecked(false);
    m_dlg.SetFailureText(QStringLiteral("Recording stopped: %1").arg(reason));
}
