#pragma once

#include <QString>

#include <string>

// The register map's and the device link's texts, which are UTF-8, as Qt shows them.
inline QString Text(const std::string& text) { return QString::fromStdString(text); }
