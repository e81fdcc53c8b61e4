// The yardstick for the panel's start-up: a plain Qt dialog with the same
// kinds and numbers of controls, list entries and pictures, and nothing else.
#include "DialogTemplate.h"
#include "OptionLists.h"
#include "QuitOnSignal.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace {

QWidget* Create(const ControlTemplate& c, QDialog& dialog)
{
    const QString caption = QString::fromUtf8(c.caption);
    switch (c.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton: return new QPushButton(caption, &dialog);
    case ControlKind::CheckBox: return new QCheckBox(caption, &dialog);
    case ControlKind::RadioButton: return new QRadioButton(caption, &dialog);
    case ControlKind::GroupBox: return new QGroupBox(caption, &dialog);
    case ControlKind::ComboBox: {
        auto* list = new QComboBox(&dialog);
        list->setEditable(true);
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setCompleter(nullptr);
        for (const OptionList& options : kOptionLists)
            if (options.controlId == c.id)
                for (const char* entry : options.entries) list->addItem(QString::fromUtf8(entry));
        return list;
    }
    case ControlKind::Slider: return new QSlider(Qt::Horizontal, &dialog);
    case ControlKind::Edit:
    case ControlKind::ReadOnlyEdit: return new QLineEdit(&dialog);
    case ControlKind::Label: return new QLabel(caption, &dialog);
    case ControlKind::Bitmap:
    case ControlKind::Icon: {
        auto* picture = new QLabel(&dialog);
        QPixmap pixmap(240, 84);
        pixmap.fill(Qt::darkBlue);
        picture->setPixmap(pixmap);
        return picture;
    }
    }
    return nullptr;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QuitOnSignal::Install();
    QDialog dialog;
    dialog.setWindowTitle(QString::fromUtf8(kPanelTemplate.title));
    dialog.setFont(QFont(QStringLiteral("Sans Serif"), kPanelTemplate.fontPoints));
    const double unitX = 1.7;
    const double unitY = 1.6;
    dialog.setFixedSize(int(kPanelTemplate.cx * unitX), int(kPanelTemplate.cy * unitY));
    for (const ControlTemplate& c : kPanelTemplate.controls)
        Create(c, dialog)->setGeometry(int(c.x * unitX), int(c.y * unitY), int(c.cx * unitX),
                                       int(c.cy * unitY));
    return dialog.exec();
}
