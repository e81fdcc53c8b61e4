// Writing by field: given registers as read and fields as typed, expect
// these bytes written, every other bit kept, or one refusal naming the field.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "Decode.h"
#include "FieldValues.h"
#include "FieldWrite.h"

using namespace chip;

namespace {

// Every register of the map, holding a pattern no field value makes by itself.
RegisterValues PatternedRegisters()
{
    RegisterValues values;
    for (const RegisterInfo& reg : AllRegisters())
        values[reg.address] = uint8_t(0x5A ^ reg.address);
    return values;
}

std::vector<PlannedWrite> Plan(std::vector<FieldText> texts, const RegisterValues& current)
{
    const ResolvedFields resolved = ResolveFields(texts);
    EXPECT_EQ(resolved.refusal.message, "");
    return PlanWrites(resolved.assignments, current);
}

RegisterValues After(const std::vector<PlannedWrite>& writes, RegisterValues registers)
{
    for (const PlannedWrite& w : writes) registers[w.reg] = w.after;
    return registers;
}

}  // namespace

TEST(FieldWrite, EveryFieldIsFoundByItsNameAsTypedAndEveryMeaningRoundTrips)
{
    // The labels printed for several values, which no write can give back,
    // and the values printed so.
    const std::set<std::string> sharedLabels = {"NA / NA", "PWM Always"};
    const std::map<std::string, std::set<unsigned>> shared = {
        {"vboost-maximum", {0, 1}},                                   // listed twice
        {"pwm-current-dimming-threshold", {10, 11, 12, 13, 14, 15}},  // codes 10-15 read so
    };
    std::set<std::string> keys;
    std::map<std::string, std::set<unsigned>> refused;
    for (const NamedField& field : AllNamedFields()) {
        SCOPED_TRACE(field.name);
        EXPECT_TRUE(keys.insert(field.key).second) << "names are unique";
        for (const std::string& typed : {field.key, std::string(field.name)})
            EXPECT_EQ(LookUpField(typed).field, &field) << typed;
        if (field.Single()) {
            EXPECT_EQ(NamedFieldOf(*field.Single()), &field);
        }
        if (field.access != Access::ReadWrite) continue;

        // Each value by its meaning, from registers holding anything: the
        // field reads back the very value and no other bit moves.
        const RegisterValues before = PatternedRegisters();
        for (unsigned value = 0; value <= field.Max(); ++value) {
            const std::string meaning = MeaningOf(field, value);
            const ValueReading reading = ReadFieldValue(field, meaning);
            if (!reading.value) {
                refused[field.key].insert(value);
                EXPECT_NE(reading.error.find("names values"), std::string::npos) << reading.error;
                continue;
            }
            EXPECT_EQ(*reading.value, value) << meaning;
            const RegisterValues after = After(
                PlanWrites(std::vector{FieldAssignment{&field, *reading.value}}, before), before);
            EXPECT_EQ(ValueIn(field, after), value);
            for (const FieldPart& part : field.parts) {
                const uint8_t reg = part.field->reg;
                EXPECT_EQ((before.at(reg) ^ after.at(reg)) & ~FieldMask(*part.field), 0)
                    << "value " << value << ", register " << AddressText(reg);
                if (field.Single()) {
                    EXPECT_EQ(DecodeField(*part.field, after.at(reg)).meaning, meaning);
                }
            }
        }
        // Each label of the list writes the value it is listed for, unless
        // it is printed for others too.
        const auto labels = field.ValueNames();
        for (unsigned entry = 0; entry < labels.size(); ++entry) {
            const ValueReading reading = ReadFieldValue(field, labels[entry]);
            if (sharedLabels.contains(labels[entry]))
                EXPECT_NE(reading.error.find("names values"), std::string::npos) << labels[entry];
            else
                EXPECT_EQ(reading.value, std::optional(entry))
                    << labels[entry] << ": " << reading.error;
        }
    }
    EXPECT_EQ(refused, shared);
    EXPECT_EQ(
        ReadFieldValue(*LookUpField("pwm/current dimming threshold").field, "PWM Below 50%").value,
        10u);
}

TEST(FieldWrite, TheLedCurrentSpansA0AndA1WrittenA0First)
{
    const NamedField& current = *LookUpField("LED Current").field;
    EXPECT_EQ(LocationText(current), "A1 bits 3-0, A0 bits 7-0");
    EXPECT_EQ(current.Max(), 0xFFFu);
    const RegisterValues chip{{0xA0, 0x55}, {0xA1, 0xF7}};
    EXPECT_EQ(ValueIn(current, chip), 0x755u);

    auto writes = Plan({{"led-current", "0x123"}}, chip);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(std::tuple(writes[0].reg, writes[0].before, writes[0].after),
              std::tuple(0xA0, 0x55, 0x23));
    EXPECT_EQ(std::tuple(writes[1].reg, writes[1].before, writes[1].after),
              std::tuple(0xA1, 0xF7, 0xF1))
        << "PDET Standby and Current Scale kept";

    // A1 named first by another field: still A0 then A1, with one write to A1.
    writes = Plan({{"current scale", "20mA"}, {"LED_CURRENT", "4095"}}, chip);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(std::tuple(writes[0].reg, writes[0].after), std::tuple(0xA0, 0xFF));
    EXPECT_EQ(std::tuple(writes[1].reg, writes[1].after), std::tuple(0xA1, 0xBF));
    EXPECT_EQ(writes[1].fields.size(), 2u);
}

TEST(FieldWrite, NamesAndValuesAreReadLooselyAndOnlyTheirBitsChange)
{
    const RegisterValues board{{0xA5, 0xE9}, {0xA1, 0x80}, {0x00, 0x00}};
    const std::vector<std::pair<FieldText, std::pair<uint8_t, uint8_t>>> cases = {
        {{"pwm-frequency", "9616hz"}, {0xA5, 0xE4}},
        {{"PWM_FREQUENCY", "9616 Hz"}, {0xA5, 0xE4}},
        {{"  Pwm Frequency ", " 9616 HZ"}, {0xA5, 0xE4}},
        {{"pwmfrequency", "0x4"}, {0xA5, 0xE4}},
        {{"phase-shift-mode", "6ph6dr"}, {0xA5, 0x89}},
        {{"pwm_direct", "0"}, {0xA5, 0x69}},
        {{"current-scale", "20mA"}, {0xA1, 0xB0}},
        {{"current-scale", "011 = 20mA"}, {0xA1, 0xB0}},
        {{"brightness", "255"}, {0x00, 0xFF}},
        {{"brightness", "0xfF"}, {0x00, 0xFF}},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text.name + "=" + text.value);
        const auto writes = Plan({text}, board);
        ASSERT_EQ(writes.size(), 1u);
        EXPECT_EQ(std::pair(writes[0].reg, writes[0].after), expected);
        EXPECT_EQ(writes[0].before, board.at(expected.first));
    }
}

TEST(FieldWrite, RefusesWithOneMessageNamingTheArgumentAndTheNearestName)
{
    const std::vector<std::pair<std::vector<FieldText>, std::string>> cases = {
        {{{"pwm-freq", "4"}}, "no field 'pwm-freq'; did you mean pwm-frequency?"},
        {{{"PWM_FREQENCY", "4"}}, "no field 'PWM_FREQENCY'; did you mean pwm-frequency?"},
        {{{"A5.pwm_freq", "4"}}, "no field 'A5.pwm_freq'; did you mean pwm-frequency?"},
        {{{"led-curent", "4"}}, "no field 'led-curent'; did you mean led-current?"},
        {{{" - ", "4"}}, "no field name in ' - '"},
        {{{"pwm-frequency", "9615hz"}},
         "'9615hz' is not a value of PWM Frequency; did you mean '9616 Hz'? (or a number 0-15)"},
        {{{"pwm-frequency", "16"}}, "16 is out of range for PWM Frequency (0-15)"},
        {{{"pwm-frequency", ""}}, "no value given for PWM Frequency"},
        {{{"led-current", "0x1000"}}, "0x1000 is out of range for LED Current (0-4095)"},
        {{{"led-current", "99999999999999999999"}},
         "99999999999999999999 is out of range for LED Current (0-4095)"},
        {{{"brightness", "-1"}},
         "'-1' is not a number for Brightness (0-255, decimal or hex after 0x)"},
        {{{"brightness", "1.5"}},
         "'1.5' is not a number for Brightness (0-255, decimal or hex after 0x)"},
        {{{"brightness", "0x"}},
         "'0x' is not a number for Brightness (0-255, decimal or hex after 0x)"},
        {{{"open", "0"}}, "Open is in register 02 (Status), which is read only"},
        {{{"burn", "1"}}, "Burn is in register 72 (EEPROM burn), which only the burn steps write"},
        {{{"brightness", "1"}, {"brightness", "2"}}, "Brightness is given twice"},
        {{{"led-current", "1"}, {"current high", "2"}},
         "Current High shares bits with LED Current, given before it"},
    };
    for (const auto& [texts, message] : cases) {
        const ResolvedFields resolved = ResolveFields(texts);
        EXPECT_EQ(resolved.refusal.message, message);
        EXPECT_EQ(resolved.refusal.index, texts.size() - 1) << message;
        EXPECT_TRUE(resolved.assignments.empty()) << message;
    }
    // Assignments made without text, as a window does, are checked the same way.
    const NamedField& frequency = *LookUpField("pwm frequency").field;
    EXPECT_EQ(CheckAssignments(std::vector{FieldAssignment{&frequency, 16}}).message,
              "16 is out of range for PWM Frequency (0-15)");
}
