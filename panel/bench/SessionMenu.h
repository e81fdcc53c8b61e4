#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <cstdint>

struct AdapterStart;
class CAdapterMenu;
class CEvalDlg;
class CStatusWatch;
class QAction;
class QMenu;

// The window-menu entries for bench sessions, after the About entry: save
// the registers to a dump, compare the board with a dump, watch the status
// register, reconnect the adapter, choose it from the Adapter list, record
// the session's register accesses to a file, open the Registers window and
// the Timeline (which run their entries themselves). Each entry is a
// window-menu command and has a keyboard accelerator.
class CSessionMenu : public QObject {
    Q_OBJECT
public:
    static constexpr unsigned kIdmSaveRegisters = 0x0100;
    static constexpr unsigned kIdmCompareWithFile = 0x0110;
    static constexpr unsigned kIdmWatchStatus = 0x0120;
    static constexpr unsigned kIdmReconnectAdapter = 0x0130;
    static constexpr unsigned kIdmRecordSession = 0x0140;
    static constexpr unsigned kIdmRegisters = 0x0150;
    static constexpr unsigned kIdmTimeline = 0x0160;

    // Appends a separator and the entries to menu; the Adapter list opens
    // adapters as start says.
    CSessionMenu(CEvalDlg& dlg, QMenu& menu, const AdapterStart& start);
    ~CSessionMenu() override;

    // Runs the entry of a window-menu command; false when id is none of them.
    bool OnCommand(unsigned id);
    // Removes the marks of the last comparison; every readback starts so.
    void ForgetComparison();
    // The tooltip lines of reg's box while it differs from the compared
    // file; empty otherwise.
    QString DifferenceTip(uint8_t reg) const { return m_differences.value(reg); }
    bool IsWatching() const;

private:
    void OnSaveRegisters();
    void OnCompareWithFile();
    void OnWatchStatus();
    void OnReconnectAdapter();
    void OnRecordSession();
    void StopRecording();
    void RecordingLost(const QString& reason);
    enum class FileUse { OpenDump, SaveDump, AppendTrace };
    QString AskFileName(const QString& title, FileUse use);
    void Report(const QString& statusText, const QString& detail);

    CEvalDlg& m_dlg;
    QAction* m_watchEntry = nullptr;
    QAction* m_recordEntry = nullptr;
    CStatusWatch* m_watch = nullptr;
    CAdapterMenu* m_adapters = nullptr;
    QString m_recordingName;  // the file being recorded to, while recording
    QString m_folder;  // where the last file was chosen
    QHash<uint8_t, QString> m_differences;  // of the last comparison, by register
};
