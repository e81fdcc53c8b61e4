#pragma once

#include "IsoTime.h"
#include "TimelineCsv.h"

#include <cstdint>
#include <optional>
#include <string>

// What a watch prints: a line of text or a JSON object for the first reading
// and each change, or with --csv a row for every reading, as the panel's
// Timeline saves them.
class WatchLines {
public:
    enum class Format { Text, Json, Csv };
    // boards: several boards are watched (--each): each line starts with
    // the board's adapter (a first column in CSV).
    WatchLines(Format format, bool boards);

    // The CSV header, before any reading; false when standard output failed.
    bool Start();
    // One reading of reg on the board (its adapter, with --each); before is
    // what it read last time, unless this is the first. False when standard
    // output failed.
    bool Reading(const std::string& board, uint8_t reg,
                 bool first, std::optional<uint8_t> before, std::optional<uint8_t> now);
    // The time now, as the lines write it, for the lines on standard error.
    std::string TimeNow() { return m_clock.Text(NowMs()); }

private:
    bool Change(const std::string& prefix, uint8_t reg, bool first, std::optional<uint8_t> before,
                std::optional<uint8_t> now);
    bool Row(const std::string& board, uint8_t reg, std::optional<uint8_t> now);

    Format m_format;
    bool m_boards;
    IsoClock m_clock;
    chip::TimelineCsv m_csv;
};
