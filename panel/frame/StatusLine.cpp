#include "StatusLine.h"

#include "FailureLook.h"
#include "KnownRegisters.h"

#include <QAccessible>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QStringList>

#include <algorithm>

CStatusLine::CStatusLine(QLabel& label, int reach)
    : QObject(&label), m_label(label), m_text(label.text())
{
    m_label.setTextFormat(Qt::PlainText);
    m_label.resize(std::max(m_label.width(), reach - m_label.x()), m_label.height());
    m_label.installEventFilter(this);
    Display();
}

void CStatusLine::Show(const QString& text, Kind kind, const QString& detail)
{
    m_text = text;
    m_detail = detail;
    m_kind = kind;
    if (kind == Kind::Report) {
        m_lastReport = text;
        m_hadReport = true;
    }
    // A text that tells its own time ("Over Voltage set at 10:04:31") is
    // listed without it again.
    const QString time = ClockText(QTime::currentTime());
    m_history.push_back(text.contains(time) ? text : time + QLatin1Char(' ') + text);
    if (m_history.size() > size_t(kHistorySize)) {
        m_history.pop_front();
        if (m_mark.history > 0) --m_mark.history;
    }
    Display();
    if (kind == Kind::Failure) {
        QAccessibleEvent alert(&m_label, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}

void CStatusLine::BeginAction() { m_mark = {m_lastReport, m_hadReport, m_history.size()}; }

void CStatusLine::Retract()
{
    m_lastReport = m_mark.lastReport;
    m_hadReport = m_mark.hadReport;
    m_history.resize(std::min(m_history.size(), m_mark.history));
}

void CStatusLine::GiveWay()
{
    if (m_kind != Kind::Failure || !m_hadReport) return;
    m_text = m_lastReport;
    m_detail.clear();
    m_kind = Kind::Report;
    Display();
}

QString CStatusLine::ToolTip() const
{
    QStringList lines{m_text};
    if (!m_detail.isEmpty()) lines << m_detail;
    if (!m_history.empty()) lines << QString() << QStringLiteral("Last texts:");
    lines.append(QStringList(m_history.begin(), m_history.end()));
    return lines.join(QLatin1Char('\n'));
}

bool CStatusLine::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize || event->type() == QEvent::FontChange) Display();
    // The sign goes into the margin that Display leaves, which the label
    // itself never paints.
    if (event->type() == QEvent::Paint && m_kind == Kind::Failure) {
        QPainter painter(&m_label);
        PaintFailureSign(painter, QRect(0, 0, SignRoom() - 3, m_label.height()));
    }
    return QObject::eventFilter(watched, event);
}

int CStatusLine::SignRoom() const { return m_label.height() + 3; }

void CStatusLine::Display()
{
    const bool failure = m_kind == Kind::Failure;
    m_label.setContentsMargins(failure ? SignRoom() : 0, 0, 0, 0);
    SetTextColour(m_label, failure ? std::optional(kFailureColour) : std::nullopt);
    const int width = m_label.contentsRect().width();
    m_label.setText(m_label.fontMetrics().elidedText(m_text, Qt::ElideRight, width));
    m_label.setToolTip(ToolTip());
    m_label.setAccessibleDescription(m_detail.isEmpty() ? m_text
                                                        : m_text + QLatin1Char('\n') + m_detail);
}
