#include "Output.h"

#include "HexInput.h"
#include "JsonReport.h"
#include "StandardOutput.h"

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

namespace {

std::string& JsonAdapter()
{
    static std::string adapter;
    return adapter;
}

}  // namespace

void TagJsonWithAdapter(std::string adapter) { JsonAdapter() = std::move(adapter); }

// A byte that is not UTF-8 (in a file name, say) becomes U+FFFD rather than
// an exception.
void PrintJson(const Json& json)
{
    const Json* shown = &json;
    Json tagged;
    if (!JsonAdapter().empty() && json.is_object()) {
        tagged = Json{{"adapter", JsonAdapter()}};
        tagged.update(json);
        shown = &tagged;
    }
    NoteJsonPrinted();
    Print(shown->dump(-1, ' ', false, Json::error_handler_t::replace) + '\n');
}
