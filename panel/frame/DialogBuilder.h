#pragma once

#include "DialogTemplate.h"

#include <QHash>
#include <QRect>

class QDialog;
class QFont;
class QIcon;
class QPixmap;
class QWidget;

// Dialog units of a font: a horizontal unit is a quarter of the average
// character width, a vertical unit an eighth of the character height.
struct DialogUnits {
    double baseX = 0;
    double baseY = 0;

    static DialogUnits ForFont(const QFont& font);
    int X(int units) const;
    int Y(int units) const;
    QRect Map(int x, int y, int cx, int cy) const;
};

struct DialogPictures {
    const QIcon* icon = nullptr;
    const QPixmap* logo = nullptr;
};

// Creates the template's controls on dialog, in template order (which is
// also the tab order), sizes the dialog and returns the controls by ID.
// Every control with an ID gets that ID in decimal as its object name. A
// control lying wholly inside a frame is the frame's child, at the same
// place in the window.
QHash<int, QWidget*> BuildDialog(QDialog& dialog, const DialogTemplate& tmpl,
                                 const DialogPictures& pictures);

// The dialog font: 8-point sans serif.
QFont DialogFont(int points);
