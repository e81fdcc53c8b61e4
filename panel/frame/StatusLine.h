#pragma once

#include <QObject>
#include <QString>
#include <QTime>

#include <deque>

class QLabel;

// The panel's status line: what the last action did. A text wider than the
// line is elided with "…"; the whole text is in the line's tooltip and
// accessible description, and the tooltip lists the last kHistorySize texts
// with their times. A failure (or a refused input) gives way, when asked, to
// the last text that was not one.
class CStatusLine : public QObject {
public:
    static constexpr int kHistorySize = 20;
    enum class Kind { Report, Failure };

    explicit CStatusLine(QLabel& label);

    void Show(const QString& text, Kind kind);
    // An action starts; Retract takes back what it shows from then on: the
    // texts of an action that turned out to fail are not kept to give way to.
    void BeginAction();
    void Retract();
    // Back to the last report when the line shows a failure; nothing before
    // the first report.
    void GiveWay();

    QString Text() const { return m_text; }
    bool ShowsFailure() const { return m_kind == Kind::Failure; }
    // The tooltip: the whole text, then the last texts, oldest first.
    QString ToolTip() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Display();

    struct Entry {
        QTime time;
        QString text;
    };

    QLabel& m_label;
    QString m_text;
    Kind m_kind = Kind::Report;
    QString m_lastReport;
    bool m_hadReport = false;
    std::deque<Entry> m_history;
    struct Mark {
        QString lastReport;
        bool hadReport = false;
        size_t history = 0;
    } m_mark;
};
