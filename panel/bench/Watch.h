#pragma once

#include "StatusReader.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <atomic>
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
//
// The read itself runs on a reader thread (CStatusReader); what it found is
// shown on the window's thread, unless an action ran on the bus after it:
// that action's own reads are newer.
class CStatusWatch : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 500;
    static constexpr int kStuckBusWaitMs = 5000;  // after a read that met a stuck bus

    explicit CStatusWatch(CEvalDlg& dlg);

    void Start();
    // Stops and takes the marks away; a read in flight ends first.
    void Stop();
    bool IsRunning() const { return m_running; }

    // Holds the reader thread still while it lives (a read in flight ends
    // first, and what it found is not shown), and lets the watch go on after:
    // for a change of adapter.
    class Pause {
    public:
        explicit Pause(CStatusWatch& watch);
        ~Pause();
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;

    private:
        CStatusWatch& m_watch;
    };

private:
    void Tick();
    void Show(uint64_t run, const CStatusReader::Result& read);
    bool ActionRunning() const;
    int NextDelay() const;
    // Marks the flags; what changed, in words.
    QStringList MarkFlags(uint8_t status, const QString& time);
    void TellRead(const CStatusReader::Result& read);

    CEvalDlg& m_dlg;
    QTimer m_timer;
    bool m_running = false;
    // A read's result from an earlier run (before a Stop or a Pause) is not
    // shown; the reader reads it as its result goes out.
    std::atomic<uint64_t> m_run{0};
    std::optional<uint8_t> m_lastStatus;  // nothing: not known
    bool m_failing = false;               // the last read failed
    CStatusReader m_reader;  // last: it stops before what it reports to goes
};
