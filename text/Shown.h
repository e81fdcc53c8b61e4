#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text from outside (a path, a setting, a name typed) as a one-line message
// shows it without quotes: every byte a terminal would act on, and every
// byte that is not part of valid UTF-8, written as an escape (\n, \t, \x1b,
// \xff), the rest of UTF-8 kept; a text longer than kShownLimit characters
// is cut there and ends in "…".
inline constexpr std::size_t kShownLimit = 200;

std::string Shown(std::string_view text);
