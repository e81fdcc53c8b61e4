#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// What people type, matched against the map's names and value names.
namespace chip {

// Lower case, letters and digits only: "PWM_Frequency", "pwm-frequency" and
// "PWM / Frequency" all give "pwmfrequency".
std::string NameKey(std::string_view text);
// Lower case without blanks: "9616 Hz" gives "9616hz".
std::string ValueKey(std::string_view text);

// How alike two keys are, 0 to 1: twice their longest common subsequence
// over their total length. A word cut short or with a letter missing stays
// close to the whole word.
double Likeness(std::string_view a, std::string_view b);

// How alike a suggestion must be to be made: "pwmfreq" for "pwmfrequency"
// (0.74) is, "nosuch" for "short" (0.36) is not.
inline constexpr double kCloseLikeness = 0.6;

// The index of the candidate most like key, the first of equals, when it is
// close enough to suggest; nothing otherwise.
std::optional<size_t> Closest(std::string_view key, std::span<const std::string> candidates);

}  // namespace chip
