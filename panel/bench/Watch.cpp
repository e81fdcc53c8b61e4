#include "Watch.h"

#include "BoxMarks.h"
#include "BusTurns.h"
#include "DeviceLink.h"
#include "EvalDlg.h"
#include "HexText.h"
#include "RegisterMap.h"

#include <QApplication>
#include <QStringList>
#include <QTime>

#include <utility>

CStatusWatch::CStatusWatch(CEvalDlg& dlg)
    : QObject(&dlg), m_dlg(dlg),
      m_reader([this](const CStatusReader::Result& read) {
          QMetaObject::invokeMethod(
              this, [this, run = m_run.load(), read] { Show(run, read); }, Qt::QueuedConnection);
      })
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CStatusWatch::Tick);
}

void CStatusWatch::Start()
{
    ++m_run;
    m_running = true;
    m_failing = false;
    m_lastStatus = m_dlg.GridValue(chip::kStatusRegister);
    m_timer.start(NextDelay());
}

void CStatusWatch::Stop()
{
    m_reader.Stop();
    ++m_run;
    m_running = false;
    m_timer.stop();
    for (uint8_t bit = 0; bit < 8; ++bit)
        if (QWidget* flag = m_dlg.DecodedCheckBox(chip::kStatusRegister, bit))
            UnmarkBox(flag, kTurnedOnMark);
}

// Actions run inside their event; one that waits for the user (a file
// dialog, the About box) lets the timer through, and must not be read across.
bool CStatusWatch::ActionRunning() const
{
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != &m_dlg;
}

// A stuck bus makes every try wait out its timeout: between those the bus
// must stay usable for the window's actions. Asked while the reader rests.
int CStatusWatch::NextDelay() const
{
    return LinkStuckCause() ? kStuckBusWaitMs : kIntervalMs;
}

// The next tick is timed from when the read's result is shown.
void CStatusWatch::Tick()
{
    if (ActionRunning())
        m_timer.start(NextDelay());
    else
        m_reader.Request();
}

void CStatusWatch::Show(uint64_t run, const CStatusReader::Result& read)
{
    if (run != m_run) return;
    if (!ActionRunning() && read.actionsBefore == PanelBusTurns().ActionsStarted()) {
        // The stuck-bus mark the read left is told as the run ends.
        const CEvalDlg::BusAction busAction(m_dlg, CEvalDlg::BusAction::Kind::Poll);
        m_dlg.TakeRead(chip::kStatusRegister, read.value);
        m_dlg.pull();
        m_dlg.ShowRegister(chip::kStatusRegister, read.value);
        m_dlg.push();
        TellRead(read);
    }
    m_timer.start(NextDelay());
}

void CStatusWatch::TellRead(const CStatusReader::Result& read)
{
    const QString time = ClockText(QTime::currentTime());
    const QString reg = HexText(chip::kStatusRegister);
    if (!read.value) {
        if (std::exchange(m_failing, true)) return;
        const QString cause = QString::fromStdString(read.cause);
        m_dlg.SetFailureText(QStringLiteral("Read of %1 failed at %2").arg(reg, time) +
                             (cause.isEmpty() ? QString() : QStringLiteral(": ") + cause));
        return;
    }
    QStringList changes = MarkFlags(*read.value, time);
    if (std::exchange(m_failing, false))
        changes.prepend(QStringLiteral("Read of %1 works again at %2").arg(reg, time));
    if (!changes.isEmpty()) m_dlg.SetStatusText(changes.join(QStringLiteral("; ")));
}

// A flag that was off at the last read and is on now is marked until it goes
// off again; each flag that turned on or off is told. The first read after
// the box showed "--" has nothing to compare.
QStringList CStatusWatch::MarkFlags(uint8_t status, const QString& time)
{
    const std::optional<uint8_t> before = std::exchange(m_lastStatus, status);
    QStringList changes;
    for (const chip::FieldInfo& flag : chip::FindRegister(chip::kStatusRegister)->fields) {
        const bool on = chip::FieldValue(flag, status) != 0;
        const bool changed = before && (chip::FieldValue(flag, *before) != 0) != on;
        QWidget* box = m_dlg.DecodedCheckBox(chip::kStatusRegister, flag.lsb);
        if (!on)
            UnmarkBox(box, kTurnedOnMark);
        else if (changed)
            MarkBox(box, kTurnedOnMark, kTurnedOnColour, QStringLiteral("Turned on at ") + time);
        if (changed)
            changes << QStringLiteral("%1 %2 at %3")
                           .arg(QString::fromUtf8(flag.name),
                                on ? QStringLiteral("set") : QStringLiteral("cleared"), time);
    }
    return changes;
}

CStatusWatch::Pause::Pause(CStatusWatch& watch) : m_watch(watch)
{
    m_watch.m_reader.Stop();
    ++m_watch.m_run;
}

// The reader starts again at the next tick's request.
CStatusWatch::Pause::~Pause()
{
    if (m_watch.m_running) m_watch.m_timer.start(m_watch.NextDelay());
}
