#pragma once

#include <map>
#include <optional>
#include <string>

// The panel's per-user settings file, in the INI form Qt's QSettings reads
// and writes ("[General]", then "key=value" with Qt's quoting and escapes,
// see IniText.h), so that a file written by any version of the panel is
// read, and what others keep in it stays.

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
// Keys of [General] to set to a value, or to take out (nullopt).
using SettingsChanges = std::map<std::string, std::optional<std::string>>;

// A settings file at most this large; anything bigger is not one of ours.
inline constexpr std::size_t kMaxSettingsBytes = 64 * 1024;

// Reads without blocking and without following a link. A missing file reads
// as no settings. Anything but a regular file is left unopened. False and
// why ("a named pipe, not a file", "cannot open: Permission denied").
bool ReadSettingsFile(const std::string& path, SettingsValues& values, std::string& reason);

// Replaces the file by one with the changes made and every other line as
// it was, in its order: keys and sections this program does not use,
// comments, blank lines. A changed key's line takes its new value where the
// key was first (a later line with the key goes); a new key comes after the
// last key of [General], which is made at the top when there is none. The
// file is written beside the old one under a temporary name and renamed
// over it, so a reader sees the old file or the new one, whole. Refuses,
// writing nothing, when the old file cannot be read whole (its lines would
// be lost) or is not a regular file (a link is replaced by nothing, not
// written through). Makes the folder when it is missing.
bool UpdateSettingsFile(const std::string& path, const SettingsChanges& changes,
                        std::string& reason);
