#pragma once

#include <string>
#include <string_view>

// Text from a file or the environment, ready for a one-line message: in
// single quotes, at most kQuoteLimit bytes of it (then "..."), and every byte
// that a terminal would act on written as an escape (\t, \r, \n, \x1b ...).
inline constexpr std::size_t kQuoteLimit = 40;

std::string Quoted(std::string_view text);
