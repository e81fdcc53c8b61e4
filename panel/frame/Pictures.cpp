#include "Pictures.h"

QIcon LoadPanelIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addFile(QStringLiteral(":/res/icon-%1.png").arg(size), QSize(size, size));
    return icon;
}

QPixmap LoadLogo()
{
    return QPixmap(QStringLiteral(":/res/logo.png"));
}
