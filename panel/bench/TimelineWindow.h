#pragma once

#include <QWidget>

class CTimelineView;
class QLabel;
class QPushButton;
class TimelineRecord;

// The Timeline window, beside the panel: the view of the record, a button
// back to the present, and the Timeline saved as a picture or as CSV. One
// window, not modal; the record goes on whether it is open or not.
class CTimelineWindow : public QWidget {
    Q_OBJECT
public:
    // Control IDs of the window's controls.
    static constexpr int kView = 1400;
    static constexpr int kNow = 1401;
    static constexpr int kSavePng = 1402;
    static constexpr int kSaveCsv = 1403;
    static constexpr int kMessage = 1404;

    explicit CTimelineWindow(const TimelineRecord& record, QWidget* parent = nullptr);

    CTimelineView& View() { return *m_view; }
    // The panel's colour of failures: for the view's faults and a failed save.
    void SetFailureColour(const QColor& colour);
    // Shows the window, brought to the front, the view taking the keys.
    void Open();

    // The picture of the view as it is shown, or every event of the record,
    // saved to path; a failed save is told and leaves any older file whole.
    bool SavePng(const QString& path);
    bool SaveCsv(const QString& path);

signals:
    // What a save did, for the panel's status line; failed: it did not.
    void told(const QString& text, bool failed);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnSavePng();
    void OnSaveCsv();
    QString AskFileName(const QString& title, const QString& filter, const QString& suffix);
    bool Saved(const QString& path, bool ok, const QString& why);
    void ShowMessage(const QString& text, bool failed);

    const TimelineRecord& m_record;
    CTimelineView* m_view;
    QPushButton* m_now;
    QPushButton* m_savePng;
    QPushButton* m_saveCsv;
    QLabel* m_message;
    QString m_folder;       // where the last file was chosen
    bool m_failed = false;  // the message tells of a failure
};
