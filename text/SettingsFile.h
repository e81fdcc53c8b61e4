#pragma once

#include <map>
#include <string>

// The panel's per-user settings file, in the INI form Qt's QSettings reads
// and writes ("[General]", then "key=value" with Qt's quoting and escapes),
// so that a file written by any version of the panel is read.

// $XDG_CONFIG_HOME/zr5130/zr5130-eval.conf, or $HOME/.config/... when
// XDG_CONFIG_HOME is unset or not an absolute path. Empty, and problem set,
// when neither is an absolute path: there is then no settings file.
struct SettingsLocation {
    std::string path;
    std::string problem;
};
SettingsLocation UserSettingsLocation();

// The keys of [General] (and of the lines before any section).
using SettingsValues = std::map<std::string, std::string>;

// A settings file at most this large; anything bigger is not one of ours.
inline constexpr std::size_t kMaxSettingsBytes = 64 * 1024;

// Reads without blocking and without following a link. A missing file reads
// as no settings. Anything but a regular file is left unopened. False and
// why ("a named pipe, not a file", "cannot open: Permission denied").
bool ReadSettingsFile(const std::string& path, SettingsValues& values, std::string& reason);

// Replaces the file by one holding values: written beside it under a
// temporary name and renamed over it, so a reader sees the old file or the
// new one, whole. Refuses, writing nothing, when what is at path is not a
// regular file (a link is replaced by nothing, not written through). Makes
// the folder when it is missing.
bool WriteSettingsFile(const std::string& path, const SettingsValues& values, std::string& reason);

// Qt's INI value quoting, both ways: exposed for the tests.
std::string SettingsValueText(const std::string& value);
std::string SettingsValueFromText(const std::string& text);
