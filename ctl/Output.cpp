#include "Output.h"

#include "HexInput.h"

#include <cstdio>

std::string ValueText(std::optional<uint8_t> value) { return value ? HexByteText(*value) : "--"; }

Json ValueJson(std::optional<uint8_t> value)
{
    return value ? Json(HexByteText(*value)) : Json(nullptr);
}

Json ReadingJson(const RegisterReading& reading)
{
    return Json{{"address", HexByteText(reading.reg)}, {"value", ValueJson(reading.value)}};
}

Json ReadingsJson(const std::vector<RegisterReading>& readings)
{
    Json registers = Json::array();
    for (const RegisterReading& reading : readings) registers.push_back(ReadingJson(reading));
    return Json{{"registers", registers}};
}

void PrintJson(const Json& json)
{
    const std::string text = json.dump() + '\n';
    std::fputs(text.c_str(), stdout);
}
