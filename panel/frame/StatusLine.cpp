#include "StatusLine.h"

#include <QEvent>
#include <QLabel>
#include <QStringList>

#include <algorithm>

CStatusLine::CStatusLine(QLabel& label) : QObject(&label), m_label(label), m_text(label.text())
{
    m_label.setTextFormat(Qt::PlainText);
    m_label.installEventFilter(this);
    Display();
}

void CStatusLine::Show(const QString& text, Kind kind)
{
    m_text = text;
    m_kind = kind;
    if (kind == Kind::Report) {
        m_lastReport = text;
        m_hadReport = true;
    }
    m_history.push_back({QTime::currentTime(), text});
    if (m_history.size() > size_t(kHistorySize)) {
        m_history.pop_front();
        if (m_mark.history > 0) --m_mark.history;
    }
    Display();
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
    m_kind = Kind::Report;
    Display();
}

QString CStatusLine::ToolTip() const
{
    QStringList lines{m_text};
    if (!m_history.empty()) lines << QString() << QStringLiteral("Last texts:");
    for (const Entry& e : m_history)
        lines << e.time.toString(QStringLiteral("HH:mm:ss")) + QLatin1Char(' ') + e.text;
    return lines.join(QLatin1Char('\n'));
}

bool CStatusLine::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize || event->type() == QEvent::FontChange) Display();
    return QObject::eventFilter(watched, event);
}

void CStatusLine::Display()
{
    const int width = m_label.contentsRect().width();
    m_label.setText(m_label.fontMetrics().elidedText(m_text, Qt::ElideRight, width));
    m_label.setToolTip(ToolTip());
    m_label.setAccessibleDescription(m_text);
}
