#include "Watch.h"

#include "BoxMarks.h"
#include "DeviceLink.h"
#include "EvalDlg.h"
#include "RegisterMap.h"

#include <QApplication>
#include <QStringList>
#include <QTime>

#include <utility>

CStatusWatch::CStatusWatch(CEvalDlg& dlg) : QObject(&dlg), m_dlg(dlg)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CStatusWatch::Tick);
}

void CStatusWatch::Start()
{
    m_running = true;
    m_lastStatus = m_dlg.GridValue(chip::kStatusRegister);
    m_timer.start(NextDelay());
}

void CStatusWatch::Stop()
{
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

// A stuck bus makes every try wait out its timeout: between those the
// window must stay usable.
int CStatusWatch::NextDelay() const
{
    return LinkStuckCause() ? kStuckBusWaitMs : kIntervalMs;
}

void CStatusWatch::Tick()
{
    if (!ActionRunning()) {
        const CEvalDlg::BusAction busAction(m_dlg, CEvalDlg::BusAction::Kind::Poll);
        uint8_t status = 0;
        const bool read = m_dlg.ChipRead(chip::kStatusRegister, status);
        m_dlg.pull();
        m_dlg.ShowRegister(chip::kStatusRegister, read ? std::optional(status) : std::nullopt);
        m_dlg.push();
        if (read) MarkFlags(status);
    }
    if (m_running) m_timer.start(NextDelay());
}

// A flag that was off at the last read and is on now is marked until it goes
// off again; each flag that turned on or off is told on the status line. The
// first read after the box showed "--" has nothing to compare.
void CStatusWatch::MarkFlags(uint8_t status)
{
    const std::optional<uint8_t> before = std::exchange(m_lastStatus, status);
    const QString time = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
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
    if (!changes.isEmpty()) m_dlg.SetStatusText(changes.join(QStringLiteral("; ")));
}
