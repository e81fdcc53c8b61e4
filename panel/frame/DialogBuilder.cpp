#include "DialogBuilder.h"

#include "Controls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>

#include <cmath>
#include <vector>

namespace {

QString AccessibleNameFor(const ControlTemplate& c)
{
    for (const AccessibleName& a : kAccessibleNames)
        if (a.id == c.id) return QString::fromUtf8(a.name);
    return QString::fromUtf8(c.caption);
}

QString AccessibleDescriptionFor(const ControlTemplate& c)
{
    for (const AccessibleDescription& a : kAccessibleDescriptions)
        if (a.id == c.id) return QString::fromUtf8(a.text);
    return {};
}

// Names a control for assistive tools. A label is named by the text it shows,
// which Qt keeps current (and announces) as the text changes; a list and the
// field inside it by the list's label, whatever entry or text they hold.
void NameForAssistiveTools(QWidget& w, const ControlTemplate& c)
{
    if (c.kind != ControlKind::Label) w.setAccessibleName(AccessibleNameFor(c));
    if (c.kind == ControlKind::ComboBox)
        static_cast<QComboBox&>(w).lineEdit()->setAccessibleName(AccessibleNameFor(c));
    w.setAccessibleDescription(AccessibleDescriptionFor(c));
}

struct Frame {
    QWidget* widget;
    QRect rect;
};

// Moves a control that lies wholly inside a frame into that frame, at the
// same place in the window, so that the frame's caption gives it context.
void PutIntoItsFrame(QWidget& w, const std::vector<Frame>& frames)
{
    for (const Frame& f : frames) {
        if (!f.rect.contains(w.geometry())) continue;
        const QRect inWindow = w.geometry();
        w.setParent(f.widget);
        w.setGeometry(inWindow.translated(-f.rect.topLeft()));
        return;
    }
}

QWidget* CreateControl(QDialog& dialog, const ControlTemplate& c, const DialogPictures& pictures,
                       QButtonGroup*& radioGroup)
{
    const QString caption = QString::fromUtf8(c.caption);
    switch (c.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton: {
        auto* b = new QPushButton(caption, &dialog);
        // Enter is handled by the dialogs themselves, never by a default button.
        b->setAutoDefault(false);
        return b;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(caption, &dialog);
    case ControlKind::RadioButton: {
        // Left auto-exclusive (its default), so that assistive tools report
        // a radio button; the pair's group decides which one is ticked.
        auto* r = new QRadioButton(caption, &dialog);
        if ((c.style & kWsGroup) || !radioGroup) radioGroup = new QButtonGroup(&dialog);
        radioGroup->addButton(r);
        return r;
    }
    case ControlKind::GroupBox: {
        auto* g = new QGroupBox(caption, &dialog);
        // The classic look: the caption sits on the frame's top edge, where
        // the layout expects it.
        static QStyle* const frameStyle = QStyleFactory::create(QStringLiteral("Windows"));
        if (frameStyle) g->setStyle(frameStyle);
        return g;
    }
    case ControlKind::ComboBox:
        return new CDropDownList(&dialog);
    case ControlKind::Slider:
        return new CTrackSlider(&dialog);
    case ControlKind::Edit:
    case ControlKind::ReadOnlyEdit: {
        auto* e = new QLineEdit(&dialog);
        if (c.kind == ControlKind::ReadOnlyEdit) {
            e->setReadOnly(true);
            e->setFrame(false);
            QPalette p = e->palette();
            p.setColor(QPalette::Base, p.color(QPalette::Window));
            e->setPalette(p);
        }
        return e;
    }
    case ControlKind::Label:
        return new QLabel(caption, &dialog);
    case ControlKind::Bitmap: {
        auto* l = new QLabel(&dialog);
        if (pictures.logo) l->setPixmap(*pictures.logo);
        l->setScaledContents(true);
        return l;
    }
    case ControlKind::Icon: {
        auto* l = new QLabel(&dialog);
        if (pictures.icon) l->setPixmap(pictures.icon->pixmap(32, 32));
        return l;
    }
    }
    return nullptr;
}

// Fits a control whose real height the platform decides (a list's closed
// field, a label's text line) into its template rectangle.
QRect PlaceControl(QWidget& w, const ControlTemplate& c, QRect rect)
{
    if (c.kind == ControlKind::ComboBox) rect.setHeight(w.sizeHint().height());
    if (c.kind == ControlKind::Label) {
        // Captions in this font can run a little wider than their layout box;
        // let them overflow into the empty space beside them rather than clip.
        const int textWidth = w.sizeHint().width();
        if (textWidth > rect.width()) rect.setWidth(textWidth);
    }
    return rect;
}

}  // namespace

DialogUnits DialogUnits::ForFont(const QFont& font)
{
    const QFontMetricsF fm(font);
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return {fm.horizontalAdvance(alphabet) / 52.0, fm.height()};
}

int DialogUnits::X(int units) const { return int(std::lround(units * baseX / 4.0)); }
int DialogUnits::Y(int units) const { return int(std::lround(units * baseY / 8.0)); }

QRect DialogUnits::Map(int x, int y, int cx, int cy) const
{
    return QRect(X(x), Y(y), X(cx), Y(cy));
}

QFont DialogFont(int points)
{
    QFont font(QStringLiteral("Sans Serif"), points);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QHash<int, QWidget*> BuildDialog(QDialog& dialog, const DialogTemplate& tmpl,
                                 const DialogPictures& pictures)
{
    dialog.setFont(DialogFont(tmpl.fontPoints));
    dialog.setWindowTitle(QString::fromUtf8(tmpl.title));
    const DialogUnits du = DialogUnits::ForFont(dialog.font());
    dialog.setFixedSize(du.X(tmpl.cx), du.Y(tmpl.cy));

    QHash<int, QWidget*> byId;
    QButtonGroup* radioGroup = nullptr;
    QWidget* previousTabStop = nullptr;
    std::vector<Frame> frames;
    for (const ControlTemplate& c : tmpl.controls) {
        QWidget* w = CreateControl(dialog, c, pictures, radioGroup);
        if (c.kind != ControlKind::RadioButton) radioGroup = nullptr;
        w->setGeometry(PlaceControl(*w, c, du.Map(c.x, c.y, c.cx, c.cy)));
        NameForAssistiveTools(*w, c);
        if (c.kind == ControlKind::GroupBox) {
            // Below every other control, so that one reaching into a frame
            // it does not belong to stays on top.
            w->lower();
            frames.push_back({w, w->geometry()});
        } else {
            PutIntoItsFrame(*w, frames);
        }
        if (c.id != kNoControlId) {
            w->setObjectName(QString::number(c.id));
            byId.insert(c.id, w);
        }
        if (w->focusPolicy() != Qt::NoFocus) {
            if (previousTabStop) QWidget::setTabOrder(previousTabStop, w);
            previousTabStop = w;
        }
    }
    return byId;
}
