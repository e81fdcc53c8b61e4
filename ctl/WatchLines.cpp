#include "WatchLines.h"

#include "HexInput.h"
#include "Output.h"
#include "RegisterMap.h"
#include "StandardOutput.h"
#include "StatusFlags.h"

#include <vector>

namespace {

std::string JoinNames(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

// An adapter as a CSV field: a path may hold a comma or a quote.
std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + '"';
}

}  // namespace

WatchLines::WatchLines(Format format, bool boards) : m_format(format), m_boards(boards) { }

bool WatchLines::Start()
{
    if (m_format != Format::Csv) return true;
    return Print((m_boards ? "adapter," : "") + chip::TimelineCsv::Header());
}

bool WatchLines::Reading(const std::string& board, uint8_t reg,
                         bool first, std::optional<uint8_t> before, std::optional<uint8_t> now)
{
    if (m_format == Format::Csv) return Row(board, reg, now);
    if (!first && before == now) return true;
    return Change(m_boards ? board + " " : "", reg, first, before, now);
}

bool WatchLines::Row(const std::string& board, uint8_t reg, std::optional<uint8_t> now)
{
    std::string row = m_boards ? CsvField(board) + "," : "";
    m_csv.AppendRow(row, NowMs(), now ? chip::TimelineKind::Read : chip::TimelineKind::FailedRead,
                    reg, now.value_or(0));
    return Print(row);
}

bool WatchLines::Change(const std::string& prefix, uint8_t reg,
                        bool first, std::optional<uint8_t> before, std::optional<uint8_t> now)
{
    FlagChange flags;
    if (reg == chip::kStatusRegister) flags = StatusFlagChange(before, now);
    if (m_format == Format::Json) {
        Json line;
        line["time"] = TimeNow();
        line["address"] = HexByteText(reg);
        line["from"] = first ? Json(nullptr) : ValueJson(before);
        line["to"] = ValueJson(now);
        if (reg == chip::kStatusRegister) {
            line["on"] = flags.on;
            line["off"] = flags.off;
        }
        PrintJson(line);
        return !OutputFailed();
    }
    std::string text = prefix + TimeNow() + " " + HexByteText(reg) + " ";
    if (!first) text += ValueText(before) + " -> ";
    text += ValueText(now);
    if (!flags.on.empty()) text += " on: " + JoinNames(flags.on);
    if (!flags.off.empty()) text += (flags.on.empty() ? " off: " : "; off: ") + JoinNames(flags.off);
    // Each change reaches a log file or a pipe as it happens.
    return Print(text + '\n');
}
