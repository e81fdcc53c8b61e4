#pragma once

#include <QIcon>
#include <QPixmap>

// Icon 132 (16 to 64 px) and logo 133, from the embedded resources.
QIcon LoadPanelIcon();
QPixmap LoadLogo();
