#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>

// The ZR5130's registers as data: address, name, access and named fields.
// Every bit position and field width the programs use is written once, in
// Fields.h, and taken from there; the functions below derive the rest.
namespace chip {

// The chip's 7-bit I2C address.
inline constexpr uint8_t kChipAddress = 0x2C;
// The status register: the chip's flags, read only.
inline constexpr uint8_t kStatusRegister = 0x02;

// The configuration registers, in the order the start-up, a preset's Load
// and zr5130ctl restore write them.
inline constexpr std::array<uint8_t, 18> kConfigurationRegisters = {
    0x98, 0x9E, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6,
    0xA7, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF,
};

enum class Access {
    ReadWrite,
    ReadOnly,    // the chip sets it; writes have no effect the panel relies on
    EepromBurn,  // writing the burn value stores the configuration for good
};

struct FieldInfo {
    uint8_t reg;
    const char* name;
    uint8_t lsb;
    uint8_t width;
    const char* meaning;
    // Value names, entry n naming value n; empty when values are numbers.
    std::span<const char* const> valueNames = {};
    // Values from collapseFrom up all read as entry collapseEntry; -1: none.
    int collapseFrom = -1;
    int collapseEntry = -1;
};

// A piece of a value wider than one register: the value's bits from shift
// up, as many as the register field is wide.
struct FieldPart {
    const FieldInfo* field;
    uint8_t shift;
};

// One value spread over fields of several registers, written in part order.
struct CompoundField {
    const char* name;
    const char* meaning;
    std::span<const FieldPart> parts;
};

struct RegisterInfo {
    uint8_t address;
    const char* name;
    Access access;
    std::span<const FieldInfo> fields;  // empty: no field is known
};

constexpr unsigned FieldMax(const FieldInfo& f) { return (1u << f.width) - 1; }
constexpr uint8_t FieldMask(const FieldInfo& f) { return uint8_t(FieldMax(f) << f.lsb); }
constexpr unsigned FieldValue(const FieldInfo& f, uint8_t byte)
{
    return (byte >> f.lsb) & FieldMax(f);
}
// byte with the field replaced by value; value bits beyond the field are dropped.
constexpr uint8_t WithField(const FieldInfo& f, uint8_t byte, unsigned value)
{
    return uint8_t((byte & ~FieldMask(f)) | ((value & FieldMax(f)) << f.lsb));
}
// The largest value of a field that spans registers.
constexpr unsigned FieldMax(const CompoundField& f)
{
    unsigned max = 0;
    for (const FieldPart& part : f.parts) max |= FieldMax(*part.field) << part.shift;
    return max;
}
struct FieldSetting {
    const FieldInfo& field;
    unsigned value;
};
// byte with each listed field replaced by its value.
constexpr uint8_t Compose(std::initializer_list<FieldSetting> settings, uint8_t byte = 0)
{
    for (const FieldSetting& s : settings) byte = WithField(s.field, byte, s.value);
    return byte;
}
// The value's entry in the field's value names: the value itself, or the
// collapsed entry. May lie beyond the names (no entry for that value).
constexpr unsigned EntryOf(const FieldInfo& f, unsigned value)
{
    return f.collapseFrom >= 0 && value >= unsigned(f.collapseFrom) ? unsigned(f.collapseEntry)
                                                                    : value;
}

// nullptr when the map does not describe the address.
const RegisterInfo* FindRegister(uint8_t address);
// Every described register, in address order.
std::span<const RegisterInfo> AllRegisters();
// The values that span registers, each written as one field.
std::span<const CompoundField> CompoundFields();
// The 26 registers of the panel's readback grid, in grid (and read) order.
std::span<const uint8_t> ReadbackRegisters();

const char* AccessText(Access access);

}  // namespace chip
