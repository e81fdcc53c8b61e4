#include "SettingsFile.h"

#include "FileOpen.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kGeneralSection = "General";
constexpr const char* kGeneralHeader = "[General]\n";
constexpr const char* kSettingsTail = "/zr5130/zr5130-eval.conf";

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

constexpr std::string_view kEscapeLetters = "abfnrtv";
constexpr std::string_view kEscapedControls = "\a\b\f\n\r\t\v";

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

void AppendUtf8(std::string& out, unsigned long code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | ((code >> 12) & 0x0F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The character a backslash escape stands for, from text[i] on; i ends on
// its last character.
void AppendEscaped(std::string& out, const std::string& text, size_t& i)
{
    const char c = text[i];
    if (const size_t letter = kEscapeLetters.find(c); letter != std::string_view::npos) {
        out += kEscapedControls[letter];
    } else if (c == 'x' || (c >= '0' && c <= '7')) {
        const bool hex = c == 'x';
        size_t end = hex ? i + 1 : i;
        while (end < text.size() &&
               (hex ? IsHexDigit(text[end]) : text[end] >= '0' && text[end] <= '7'))
            ++end;
        const size_t first = hex ? i + 1 : i;
        AppendUtf8(out,
                   std::strtoul(text.substr(first, end - first).c_str(), nullptr, hex ? 16 : 8) &
                       0xFFFF);
        i = end - 1;
    } else {
        out += c;
    }
}

void ParseLines(const std::string& text, SettingsValues& values)
{
    std::string section = kGeneralSection;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const std::string line = Trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        const size_t equals = line.find('=');
        if (section == kGeneralSection && equals != std::string::npos)
            values[Trimmed(line.substr(0, equals))] =
                SettingsValueFromText(Trimmed(line.substr(equals + 1)));
    }
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

// As Qt writes a string: control bytes as \t-style or \x escapes (a hex
// digit right after a \x escaped too, so that it is not read as part of it), quotes and
// backslashes escaped, the whole in quotes when it holds ; , = or starts or
// ends with a space, and a leading @ doubled.
std::string SettingsValueText(const std::string& value)
{
    static constexpr char kHex[] = "0123456789abcdef";
    const std::string plain = value.starts_with('@') ? "@" + value : value;
    std::string out;
    bool escapeHexDigit = false;
    bool needsQuotes = false;
    for (const char c : plain) {
        const auto byte = static_cast<unsigned char>(c);
        needsQuotes = needsQuotes || c == ';' || c == ',' || c == '=';
        const size_t control = c == '\0' ? std::string_view::npos : kEscapedControls.find(c);
        const bool escape = byte < 0x20 || byte == 0x7F || (escapeHexDigit && IsHexDigit(c));
        escapeHexDigit = escape && control == std::string_view::npos;
        if (escape && control != std::string_view::npos) {
            out += {'\\', kEscapeLetters[control]};
        } else if (escape) {
            out += "\\x";
            if (byte >= 0x10) out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else if (c == '"' || c == '\\') {
            out += {'\\', c};
        } else {
            out += c;
        }
    }
    if (needsQuotes || (!out.empty() && (out.front() == ' ' || out.back() == ' ')))
        out = '"' + out + '"';
    return out;
}

std::string SettingsValueFromText(const std::string& text)
{
    std::string out;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '\\' && i + 1 < text.size()) {
            AppendEscaped(out, text, ++i);
        } else if (c == ';' && !quoted) {
            break;
        } else {
            out += c;
        }
    }
    return out.starts_with("@@") ? out.substr(1) : out;
}

bool ReadSettingsFile(const std::string& path, SettingsValues& values, std::string& reason)
{
    struct stat st { };
    if (::lstat(path.c_str(), &st) != 0 && errno == ENOENT) return true;
    std::string text;
    if (!ReadRegularFile(path, kMaxSettingsBytes, O_NOFOLLOW, text, reason)) return false;
    if (text.size() > kMaxSettingsBytes) {
        reason =
            "larger than " + std::to_string(kMaxSettingsBytes / 1024) + " KiB, not a settings file";
        return false;
    }
    ParseLines(text, values);
    return true;
}

bool WriteSettingsFile(const std::string& path, const SettingsValues& values, std::string& reason)
{
    struct stat st { };
    if (::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        reason = std::string(FileKindName(st.st_mode)) + ", not a file";
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(Folder(path), ec);
    if (ec) {
        reason = "cannot make its folder: " + ec.message();
        return false;
    }

    std::string text = kGeneralHeader;
    for (const auto& [key, value] : values)
        text.append(key).append(1, '=').append(SettingsValueText(value)).append(1, '\n');

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
