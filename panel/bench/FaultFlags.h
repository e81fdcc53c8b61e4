#pragma once

#include <QObject>

#include <cstdint>
#include <optional>

class CEvalDlg;

// Once the status register has been read, a fault flag that is set and an OK
// flag that is cleared have their text drawn in the failure colour, and their
// tooltip and accessible description begin "Over Voltage: fault" or "VRef OK
// cleared: fault". The text's colour, never the background: Watch Status
// marks a flag that turns on with its background.
class CFaultFlags : public QObject {
    Q_OBJECT
public:
    explicit CFaultFlags(CEvalDlg& dlg);

private:
    void Show(uint8_t status);

    CEvalDlg& m_dlg;
    std::optional<uint8_t> m_shown;  // the status the flags' look shows
};
