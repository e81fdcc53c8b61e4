#include "Dumps.h"

#include "AdapterSelect.h"
#include "Decode.h"
#include "Errors.h"
#include "HexInput.h"
#include "RegisterImage.h"
#include "TextInput.h"

#include <set>
#include <stdexcept>

namespace {

void CheckBytes(const RegisterReadings& values) { ImageOf(values); }

std::optional<int> ValueAt(const RegisterReadings& values, int reg)
{
    const auto it = values.find(reg);
    return it == values.end() ? std::nullopt : it->second;
}

std::vector<FieldDiff> FieldDiffs(uint8_t reg, uint8_t a, uint8_t b)
{
    std::vector<FieldDiff> diffs;
    for (const chip::FieldChange& change : chip::DiffFields(reg, a, b))
        if (const chip::NamedField* field = chip::NamedFieldOf(*change.before.field))
            diffs.push_back(
                {ReadingOf(*field, change.before.value), ReadingOf(*field, change.after.value)});
    return diffs;
}

}  // namespace

RegisterImage ImageOf(const RegisterReadings& values)
{
    RegisterImage image;
    for (const auto& [reg, value] : values) {
        if (reg < 0 || reg > 0xFF)
            throw std::invalid_argument("register " + std::to_string(reg) +
                                        " is not an address (0-255, 0x00-0xFF)");
        if (value && (*value < 0 || *value > 0xFF))
            throw std::invalid_argument("register 0x" + HexByteText(unsigned(reg)) + " holds " +
                                        std::to_string(*value) + ", not a byte (0-255, 0x00-0xFF)");
        if (value) image.values[size_t(reg)] = uint8_t(*value);
    }
    return image;
}

std::map<int, int> LoadDump(const std::string& path)
{
    RegisterImage image;
    if (std::string error; !LoadRegisterImage(path, image, error))
        throw DumpFailure(path, error,
                          SplitDumpError(TextInputName(path, Dash::IsAFile), error).line);
    std::map<int, int> values;
    for (int reg = 0; reg < 256; ++reg)
        if (const std::optional<uint8_t> value = image.values[reg]) values[reg] = *value;
    return values;
}

std::string FormatDump(const RegisterReadings& values)
{
    return FormatRegisterImage(ImageOf(values));
}

std::vector<RegisterDiff> Diff(const RegisterReadings& a, const RegisterReadings& b)
{
    CheckBytes(a);
    CheckBytes(b);
    std::set<int> registers;
    for (const auto& entry : a) registers.insert(entry.first);
    for (const auto& entry : b) registers.insert(entry.first);

    std::vector<RegisterDiff> diffs;
    for (int reg : registers) {
        const std::optional<int> va = ValueAt(a, reg);
        const std::optional<int> vb = ValueAt(b, reg);
        const chip::RegisterInfo* info = chip::FindRegister(uint8_t(reg));
        if (va == vb || (!info && (!va || !vb))) continue;
        RegisterDiff diff{reg, info ? info->name : "", va, vb, {}};
        if (info && va && vb) diff.fields = FieldDiffs(uint8_t(reg), uint8_t(*va), uint8_t(*vb));
        diffs.push_back(std::move(diff));
    }
    return diffs;
}
