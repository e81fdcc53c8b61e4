#pragma once

#include <QObject>
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
// one read in flight.
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
    void MarkFlags(uint8_t status);

    CEvalDlg& m_dlg;
    QTimer m_timer;
    bool m_running = false;
    std::optional<uint8_t> m_lastStatus;  // nothing: not known
};
