#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Register and value arguments: hex as the panel reads it ("A5", "0xA5",
// "a5h"), but whole: a byte, nothing negative, nothing left over.
// On bad text, error tells what is wrong with it for a one-line message.
std::optional<uint8_t> ParseByteArg(std::string_view text, std::string& error);

// Parses each argument; on the first bad one, tells the problem naming
// `what` ("read: register") and returns nothing.
std::optional<std::vector<uint8_t>> ParseByteArgs(const std::vector<std::string>& texts,
                                                  const std::string& what);
std::optional<uint8_t> ParseByteArgOrTell(const std::string& text, const std::string& what);
