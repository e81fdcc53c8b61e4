#pragma once

#include <QObject>
#include <QString>

#include <string>

class CEvalDlg;
class QLabel;

// The board the panel talks to, named on a line of its own at the top of the
// panel, between Exit and Readback All: "Simulated board", "Simulated board
// from FILE", "/dev/i2c-7 (CP2112 SMBus Bridge)", "No adapter". It follows
// every open of an adapter: the start-up's, Reconnect's, the Adapter list's.
class CBoardLine : public QObject {
    Q_OBJECT
public:
    static constexpr int kId = 1310;  // the line's control ID

    explicit CBoardLine(CEvalDlg& dlg);

private:
    void Show();

    CEvalDlg& m_dlg;
    QLabel* m_line;
};

// What the line says for an adapter setting as ZR5130_ADAPTER spells it; a
// bus is looked up under sysClassDir without being opened.
QString BoardName(const QString& setting, const std::string& sysClassDir);
