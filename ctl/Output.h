#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Keys keep the order they were added in, so the JSON reads like the text.
using Json = nlohmann::ordered_json;

// One register as read from the chip or taken from a dump.
struct RegisterReading {
    uint8_t reg = 0;
    std::optional<uint8_t> value;  // nothing: not read
};

// "3C", or "--" when the register was not read.
std::string ValueText(std::optional<uint8_t> value);

// "3C", or null when the register was not read.
Json ValueJson(std::optional<uint8_t> value);
// {"address": "A5", "value": "3C"}; the value is null when it was not read.
Json ReadingJson(const RegisterReading& reading);
// {"registers": [ReadingJson...]}
Json ReadingsJson(const std::vector<RegisterReading>& readings);

// One line on standard output; with an adapter tag, its "adapter" member first.
void PrintJson(const Json& json);
// The adapter PrintJson names from now on (--each's board); empty: none.
void TagJsonWithAdapter(std::string adapter);
