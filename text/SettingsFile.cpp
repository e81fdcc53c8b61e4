#include "SettingsFile.h"

#include "FileOpen.h"
#include "IniText.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kSettingsTail = "/zr5130/zr5130-eval.conf";

// The file's text; empty when there is none.
bool ReadSettingsText(const std::string& path, std::string& text, std::string& reason)
{
    struct stat st { };
    if (::lstat(path.c_str(), &st) != 0 && errno == ENOENT) return true;
    if (!ReadRegularFile(path, kMaxSettingsBytes, O_NOFOLLOW, text, reason)) return false;
    if (text.size() > kMaxSettingsBytes) {
        reason =
            "larger than " + std::to_string(kMaxSettingsBytes / 1024) + " KiB, not a settings file";
        return false;
    }
    return true;
}

void AppendLine(std::string& out, std::string_view line)
{
    out += line;
    if (!line.ends_with('\n')) out += '\n';
}

void AppendKey(std::string& out, const std::string& key, const std::string& value)
{
    AppendLine(out, key + "=" + IniValueText(value));
}

std::string WithChanges(std::string_view old, const SettingsChanges& changes)
{
    const std::vector<IniLine> lines = SplitIniLines(old);
    const auto inGeneral = [](const IniLine& line) { return line.section == kIniGeneral; };
    // New keys go after the last key of [General], or else after its header.
    size_t newKeysAfter = std::string::npos;
    for (size_t i = 0; i < lines.size(); ++i)
        if (inGeneral(lines[i]) &&
            (!lines[i].key.empty() || (lines[i].header && newKeysAfter == std::string::npos)))
            newKeysAfter = i;

    std::set<std::string> written;
    const auto appendNewKeys = [&](std::string& out) {
        for (const auto& [key, value] : changes)
            if (value && written.insert(key).second) AppendKey(out, key, *value);
    };
    std::string out;
    if (newKeysAfter == std::string::npos) {
        AppendLine(out, "[General]");
        appendNewKeys(out);
        if (!old.empty()) out += '\n';
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        const IniLine& line = lines[i];
        const auto change = changes.find(line.key);
        if (!inGeneral(line) || change == changes.end())
            AppendLine(out, line.text);
        else if (written.insert(line.key).second && change->second)
            AppendKey(out, line.key, *change->second);
        if (i == newKeysAfter) appendNewKeys(out);
    }
    return out;
}

std::string Folder(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, std::max<size_t>(slash, 1));
}

bool WriteAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string Failure(const char* doing) { return std::string(doing) + ": " + std::strerror(errno); }

}  // namespace

SettingsLocation UserSettingsLocation()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return {config + std::string(kSettingsTail), {}};
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return {home + std::string("/.config") + kSettingsTail, {}};
    return {{},
            "neither XDG_CONFIG_HOME nor HOME is an absolute path, so there is no settings file"};
}

bool ReadSettingsFile(const std::string& path, SettingsValues& values, std::string& reason)
{
    std::string text;
    if (!ReadSettingsText(path, text, reason)) return false;
    for (const IniLine& line : SplitIniLines(text))
        if (line.section == kIniGeneral && !line.key.empty())
            values[line.key] = IniValueFromText(line.valueText);
    return true;
}

bool UpdateSettingsFile(const std::string& path, const SettingsChanges& changes,
                        std::string& reason)
{
    std::string old;
    if (!ReadSettingsText(path, old, reason)) return false;
    std::error_code ec;
    std::filesystem::create_directories(Folder(path), ec);
    if (ec) {
        reason = "cannot make its folder: " + ec.message();
        return false;
    }

    const std::string text = WithChanges(old, changes);

    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        reason = Failure("cannot write");
        return false;
    }
    std::string failure;
    if (!WriteAll(fd, text) || ::fsync(fd) != 0) failure = Failure("cannot write");
    if (::close(fd) != 0 && failure.empty()) failure = Failure("cannot write");
    if (failure.empty() && ::rename(temporary.c_str(), path.c_str()) != 0)
        failure = Failure("cannot replace it");
    if (failure.empty()) return true;
    ::unlink(temporary.c_str());
    reason = failure;
    return false;
}
