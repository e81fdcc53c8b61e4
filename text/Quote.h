#pragma once

#include <string>
#include <string_view>

// Text from a file or the environment, ready for a one-line message: in
// single quotes, at most limit bytes of it (then "..."), and every byte
// that a terminal would act on written as an escape (\t, \r, \n, \x1b ...).
inline constexpr std::size_t kQuoteLimit = 40;
// For a path or a setting, which is of no use cut short.
inline constexpr std::size_t kWholeText = std::string_view::npos;

std::string Quoted(std::string_view text, std::size_t limit = kQuoteLimit);
