#pragma once

#include "TimelineRecord.h"

#include <QObject>

class CEvalDlg;
class CTimelineWindow;

// The panel's Timeline: a record of every register access the panel's chip
// object makes from start-up on (the window's own and Watch Status's reader
// thread's), and the Timeline window, built when first opened. What a save
// of the window did goes to the status line as well.
class CPanelTimeline : public QObject {
    Q_OBJECT
public:
    explicit CPanelTimeline(CEvalDlg& dlg);
    // Stops recording; the window goes first, for it looks at the record.
    ~CPanelTimeline() override;

    const TimelineRecord& Record() const { return m_record; }
    // Shows the window, built the first time, brought to the front.
    CTimelineWindow& Open();

private:
    CEvalDlg& m_dlg;
    TimelineRecord m_record;
};
