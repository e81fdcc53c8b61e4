#pragma once

#include <QObject>
#include <QString>

#include <deque>

class QLabel;

// The panel's status line: what the last action did. The line runs on into
// the empty room beside its label up to reach, the right edge it may use; a
// text wider than that is elided with "…", and the whole text is in the
// line's tooltip and accessible description, with a detail where the text
// has one. The tooltip lists the last kHistorySize texts with their times. A
// failure (or a refused input) is drawn in the failure colour after the
// failure sign, is announced to assistive tools as an alert, and gives way,
// when asked, to the last text that was not one.
class CStatusLine : public QObject {
public:
    static constexpr int kHistorySize = 20;
    enum class Kind { Report, Failure };

    CStatusLine(QLabel& label, int reach);

    void Show(const QString& text, Kind kind, const QString& detail = {});
    // An action starts; Retract takes back what it shows from then on: the
    // texts of an action that turned out to fail are not kept to give way to.
    void BeginAction();
    void Retract();
    // Back to the last report when the line shows a failure; nothing before
    // the first report.
    void GiveWay();

    QString Text() const { return m_text; }
    bool ShowsFailure() const { return m_kind == Kind::Failure; }
    // The tooltip: the whole text and its detail, then the last texts,
    // oldest first, each with its time once.
    QString ToolTip() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Display();
    int SignRoom() const;

    QLabel& m_label;
    QString m_text;
    QString m_detail;
    Kind m_kind = Kind::Report;
    QString m_lastReport;
    bool m_hadReport = false;
    std::deque<QString> m_history;  // each text with its time
    struct Mark {
        QString lastReport;
        bool hadReport = false;
        size_t history = 0;
    } m_mark;
};
