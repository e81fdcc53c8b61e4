#pragma once

#include <QObject>

#include <cstdint>
#include <vector>

class CEvalDlg;
namespace chip {
struct NamedField;
}

// Marks the controls whose state no readback sets (Mode, Enable Backlight,
// Fast Resume, the brightness and current sliders, Target, DRV2 and DRV3
// Enable, the six LED boxes) while they disagree with what the panel last
// read from their register or wrote to it: a background of their own, and
// "The chip holds VALUE (read at HH:MM:SS)" first in their tooltip and
// accessible description. The controls keep their state: the mark only
// tells where they and the chip differ, and goes when they agree again.
class CChipDifferences : public QObject {
    Q_OBJECT
public:
    explicit CChipDifferences(CEvalDlg& dlg);

    // How a control shows its field's value.
    enum class Shows {
        Tick,       // a check box: ticked for 1
        Entry,      // a list: its entry n for value n
        Position,   // a slider: its position
        HexNumber,  // an edit: the value typed in hex; empty claims nothing
    };

private:
    struct Watched {
        QWidget* control;
        const chip::NamedField* field;
        Shows shows;
        bool marked = false;
    };
    void Refresh(Watched& watched);
    void RefreshRegister(uint8_t reg);

    CEvalDlg& m_dlg;
    std::vector<Watched> m_watched;
};
