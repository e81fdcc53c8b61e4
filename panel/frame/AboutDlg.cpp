#include "AboutDlg.h"

#include "ControlIds.h"
#include "DialogBuilder.h"
#include "DialogTemplate.h"
#include "Pictures.h"

#include <QKeyEvent>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    const QIcon icon = LoadPanelIcon();
    const auto controls = BuildDialog(*this, kAboutTemplate, {&icon, nullptr});
    auto* ok = static_cast<QPushButton*>(controls.value(idc::kAboutOk));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    ok->setFocus();
}

void CAboutDlg::keyPressEvent(QKeyEvent* event)
{
    // OK is the default button: Enter closes the box wherever the focus is.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
