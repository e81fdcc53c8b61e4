#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <cstdint>
#include <optional>

class CEvalDlg;

// Watch Status: reads the status register every kIntervalMs and shows it in
// its box and the eight status flags, marking a flag that has just turned on
// and saying on the status line when a flag was set or cleared. It only
// reads, and tries a stuck bus only every kStuckBusWaitMs. A tick that comes
// while an action runs (a modal dialog is open) skips its read; the next read
// is timed from the end of the last one, so a slow bus never has more than
// one read in flight. The first failed read of a run of failures is told on
// the status line, and so is the first read that works again after it.
class CStatusWatch : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 500;
    static constexpr int kStuckBusWaitMs = 5000;  // after a read that met a stuck bus

    explicit CStatusWatch(CEvalDlg& dlg);

    void Start();
    // Stops and takes the marks away.
    void Stop();
    bool IsRunning() const { return m_running; }

private:
    void Tick();
    bool ActionRunning() const;
    int NextDelay() const;
    // Marks the flags; what changed, in words.
    QStringList MarkFlags(uint8_t status, const QString& time);
    void TellRead(bool read, uint8_t status);

    CEvalDlg& m_dlg;
    QTimer m_timer;
    bool m_running = false;
    std::optional<uint8_t> m_lastStatus;  // nothing: not known
    bool m_failing = false;               // the last read failed
};
