// What zr5130ctl prints of a field, set takes back to the same bits; text
// it cannot read whole is refused before the chip is touched. Every case is
// taken from what the binary prints (fields --json, get), never from the
// tables behind it, so that printing and reading cannot drift apart unseen.
#include "CtlRun.h"
#include "RegisterImage.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

namespace {

using Lines = std::vector<std::string>;
using Registers = std::array<uint8_t, 256>;
using nlohmann::json;

struct BitRange {
    int reg;
    unsigned lsb;
    unsigned width;
    uint8_t Mask() const { return uint8_t(((1u << width) - 1) << lsb); }
};

// A field as `zr5130ctl fields --json` prints it.
struct PrintedField {
    std::string name;
    std::string key;
    std::string location;  // "A1 bits 3-0, A0 bits 7-0"
    unsigned max = 0;
    std::vector<std::string> labels;  // label n names value n
    std::vector<BitRange> bits;       // from the value's lowest bits up
};

// "A1 bits 3-0, A0 bits 7-0" or "02 bit 7": the printed location, highest bits first.
std::vector<BitRange> ParseLocation(const std::string& location)
{
    std::vector<BitRange> ranges;
    std::istringstream parts(location);
    for (std::string part; std::getline(parts >> std::ws, part, ',');) {
        unsigned reg = 0, high = 0, low = 0;
        char word[5] = {};
        const int n = std::sscanf(part.c_str(), "%2x %4s %u-%u", &reg, word, &high, &low);
        if (n == 3) low = high;
        EXPECT_TRUE(n >= 3 && high >= low && high < 8) << "location " << location;
        ranges.insert(ranges.begin(), {int(reg), low, high - low + 1});
    }
    return ranges;
}

std::vector<PrintedField> WritableFields(CtlRun& ctl)
{
    EXPECT_EQ(ctl.Run({"--json", "fields"}), 0) << ctl.err;
    const json printed = json::parse(ctl.out);
    std::vector<PrintedField> fields;
    for (const json& f : printed["fields"]) {
        if (f["access"] != "read/write") continue;
        fields.push_back({f["name"], f["key"], f["location"], f["max"],
                          f["values"].get<std::vector<std::string>>(),
                          ParseLocation(f["location"])});
    }
    return fields;
}

void Put(const PrintedField& field, unsigned value, Registers& registers)
{
    for (const BitRange& b : field.bits) {
        registers[b.reg] = uint8_t((registers[b.reg] & ~b.Mask()) | ((value << b.lsb) & b.Mask()));
        value >>= b.width;
    }
}

unsigned Take(const PrintedField& field, const Registers& registers)
{
    unsigned value = 0, shift = 0;
    for (const BitRange& b : field.bits) {
        value |= unsigned((registers[b.reg] & b.Mask()) >> b.lsb) << shift;
        shift += b.width;
    }
    return value;
}

bool Overlap(const PrintedField& a, const PrintedField& b)
{
    for (const BitRange& x : a.bits)
        for (const BitRange& y : b.bits)
            if (x.reg == y.reg && (x.Mask() & y.Mask())) return true;
    return false;
}

// One `set` command's worth: fields that share no bit, each with a text.
struct Assignment {
    const PrintedField* field;
    std::string text;
};
using Batch = std::vector<Assignment>;

// Packs assignments into as few batches as fields sharing bits allow.
std::vector<Batch> Batches(const std::vector<Assignment>& assignments)
{
    std::vector<Batch> batches;
    for (const Assignment& a : assignments) {
        auto fits = [&a](const Batch& batch) {
            return std::ranges::none_of(
                batch, [&a](const Assignment& b) { return Overlap(*a.field, *b.field); });
        };
        if (auto batch = std::ranges::find_if(batches, fits); batch != batches.end())
            batch->push_back(a);
        else
            batches.push_back({a});
    }
    return batches;
}

class RoundTrip : public ::testing::Test {
protected:
    CtlRun ctl;

    std::string Board(const std::string& name, const Registers& registers)
    {
        RegisterImage image;
        std::ranges::copy(registers, image.values.begin());
        ctl.WriteFile(name, FormatRegisterImage(image));
        return "sim:" + ctl.Path(name);
    }
    int Run(const std::string& board, Lines args)
    {
        std::remove(ctl.Path("t").c_str());
        args.insert(args.begin(), {"--adapter", board, "--trace", "t"});
        return ctl.Run(args);
    }
    std::map<int, uint8_t> Writes()
    {
        std::map<int, uint8_t> writes;
        for (const std::string& line : ctl.WriteLines("t")) {
            unsigned reg = 0, value = 0;
            EXPECT_EQ(std::sscanf(line.c_str(), "W %2x %2x ok", &reg, &value), 2) << line;
            writes[int(reg)] = uint8_t(value);
        }
        return writes;
    }
};

// Each register holds a pattern of its own where no field is.
Registers Background()
{
    Registers registers;
    for (size_t reg = 0; reg < registers.size(); ++reg) registers[reg] = uint8_t(0x5A ^ reg);
    return registers;
}

// What get printed of a field: NAME = MEANING (LOCATION = NUMBER).
struct Printed {
    std::string meaning;
    std::string number;
};

Printed ParseGetLine(const PrintedField& field, const std::string& line)
{
    const std::string head = field.name + " = ", tail = " (" + field.location + " = ";
    const size_t open = line.rfind(tail);
    if (!line.starts_with(head) || open == std::string::npos || !line.ends_with(')')) {
        ADD_FAILURE() << "not NAME = MEANING (LOCATION = NUMBER): " << line;
        return {};
    }
    return {line.substr(head.size(), open - head.size()),
            line.substr(open + tail.size(), line.size() - 1 - open - tail.size())};
}

TEST_F(RoundTrip, WhatGetAndFieldsPrintSetTakesBackToTheSameBits)
{
    const std::vector<PrintedField> fields = WritableFields(ctl);
    ASSERT_FALSE(fields.empty());
    Lines getArgs{"get"};
    std::vector<const PrintedField*> oneRegister;  // between them they hold every field's bits
    unsigned rounds = 0;
    for (const PrintedField& field : fields) {
        getArgs.push_back(field.key);
        if (field.bits.size() == 1) {
            oneRegister.push_back(&field);
            rounds = std::max(rounds, field.max + 1);
        }
    }

    // Round r: on board a each one-register field holds r, as far as it
    // reaches, on board b the value after it; over the rounds get prints
    // every value of the fields with up to 16 values, and the ends and the
    // middle of the wider ones.
    std::vector<unsigned> roundValues;
    for (unsigned r = 0; r < rounds; ++r)
        if (r < 16 || r + 2 >= rounds || r == rounds / 2 || r + 1 == rounds / 2) roundValues.push_back(r);
    rounds = unsigned(roundValues.size());
    std::vector<Registers> boardA(rounds, Background()), boardB(rounds, Background());
    std::vector<std::vector<Printed>> printed(rounds);
    // field -> meaning -> each value it stands for in get's lines and fields' list.
    std::map<const PrintedField*, std::map<std::string, std::set<unsigned>>> valuesOf;
    for (const PrintedField& field : fields)
        for (unsigned value = 0; value < field.labels.size(); ++value)
            valuesOf[&field][field.labels[value]].insert(value);
    for (unsigned r = 0; r < rounds; ++r) {
        for (const PrintedField* field : oneRegister) {
            Put(*field, roundValues[r] % (field->max + 1), boardA[r]);
            Put(*field, (roundValues[r] + 1) % (field->max + 1), boardB[r]);
        }
        ASSERT_EQ(Run(Board("a.txt", boardA[r]), getArgs), 0) << ctl.err;
        const Lines lines = ctl.OutLines();
        ASSERT_EQ(lines.size(), fields.size()) << ctl.out;
        for (size_t i = 0; i < fields.size(); ++i) {
            const PrintedField& field = fields[i];
            const Printed p = ParseGetLine(field, lines[i]);
            const unsigned value = Take(field, boardA[r]);
            EXPECT_EQ(p.number, std::to_string(value)) << lines[i];
            EXPECT_TRUE(p.meaning == p.number || std::ranges::count(field.labels, p.meaning))
                << lines[i] << ": a meaning fields does not list";
            valuesOf[&field][p.meaning].insert(value);
            printed[r].push_back(p);
        }
    }
    const auto shared = [&](const PrintedField& field, const std::string& meaning) {
        return valuesOf[&field][meaning].size() > 1;
    };

    // Board b set to what was printed of board a, as many fields at once as
    // share no bit: each register written holds board a's bits in theirs.
    const auto expectSetTakesBack = [&](const std::vector<Assignment>& assignments,
                                        const Registers& a, const Registers& b) {
        for (const Batch& batch : Batches(assignments)) {
            Lines setArgs{"set"};
            std::map<int, uint8_t> expected;
            for (const auto& [field, text] : batch) {
                setArgs.push_back(field->key + "=" + text);
                for (const BitRange& bits : field->bits) {
                    const uint8_t before =
                        expected.contains(bits.reg) ? expected[bits.reg] : b[bits.reg];
                    expected[bits.reg] =
                        uint8_t((before & ~bits.Mask()) | (a[bits.reg] & bits.Mask()));
                }
            }
            std::string command;
            for (const std::string& arg : setArgs) command += " '" + arg + "'";
            SCOPED_TRACE(command);
            EXPECT_EQ(Run(Board("b.txt", b), setArgs), 0) << ctl.err;
            EXPECT_EQ(Writes(), expected);
        }
    };
    std::set<std::pair<const PrintedField*, std::string>> refusedLabels;
    for (unsigned r = 0; r < rounds; ++r) {
        SCOPED_TRACE("round " + std::to_string(r));
        std::vector<Assignment> assignments;
        for (size_t i = 0; i < fields.size(); ++i) {
            const auto& [meaning, number] = printed[r][i];
            if (shared(fields[i], meaning))
                refusedLabels.insert({&fields[i], meaning});
            else
                assignments.push_back({&fields[i], meaning});
            if (meaning != number) assignments.push_back({&fields[i], number});
        }
        expectSetTakesBack(assignments, boardA[r], boardB[r]);
    }

    // Label n of each field as fields lists it, whole and each side of its
    // " = ", on a board where the field holds another value.
    size_t longestList = 0;
    for (const PrintedField& field : fields)
        longestList = std::max(longestList, field.labels.size());
    for (unsigned n = 0; n < longestList; ++n) {
        SCOPED_TRACE("label " + std::to_string(n));
        Registers a = Background(), b = Background();
        std::vector<Assignment> assignments;
        for (const PrintedField& field : fields) {
            if (n >= field.labels.size()) continue;
            const std::string& label = field.labels[n];
            if (shared(field, label)) {
                refusedLabels.insert({&field, label});
                continue;
            }
            Put(field, n, a);
            Put(field, (n + 1) % (field.max + 1), b);
            assignments.push_back({&field, label});
            if (const size_t equals = label.find(" = "); equals != std::string::npos) {
                assignments.push_back({&field, label.substr(0, equals)});
                assignments.push_back({&field, label.substr(equals + 3)});
            }
        }
        expectSetTakesBack(assignments, a, b);
    }

    // A label printed for several values is refused, not guessed.
    std::set<std::string> refused;
    for (const auto& [field, label] : refusedLabels) {
        SCOPED_TRACE(field->key + "=" + label);
        EXPECT_EQ(Run(Board("b.txt", Background()), {"set", field->key + "=" + label}), 2);
        EXPECT_NE(ctl.err.find("names values"), std::string::npos) << ctl.err;
        EXPECT_EQ(ctl.ReadFile("t"), "") << "the chip is not touched";
        refused.insert(label);
    }
    EXPECT_EQ(refused, (std::set<std::string>{"NA / NA", "PWM Always"}));
}

TEST_F(RoundTrip, TextThatIsNotReadWholeIsRefusedWithNothingWritten)
{
    const std::string board = Board("board.txt", Background());
    const std::string longName = std::string(60, 'x') + "\xC3\xBC";
    const struct {
        std::vector<std::string> args;
        std::string line;  // the one line on standard error; empty: taken
        Lines writes;
    } cases[] = {
        {{"set", "ｐｗｍ-frequency=2"},
         "set: no field '\\xef\\xbd\\x90\\xef\\xbd\\x97\\xef\\xbd\\x8d-frequency': a field name is "
         "printable ASCII, and byte 1 ('\\xef') is not",
         {}},
        {{"set", "vboost-ｍａｘｉｍｕｍ=5"}, "and byte 8 ('\\xef') is not", {}},
        {{"set", "ｐｈａｓｅ-ｓｈｉｆｔ-mode=3"}, "printable ASCII", {}},
        {{"get", "pwm\tfrequency"}, "get: no field 'pwm\\tfrequency'", {}},
        {{"set", longName + "=1"},
         std::string("'").append(40, 'x').append(
             "'...: a field name is printable ASCII, and byte 61 ('\\xc3') is not"),
         {}},
        {{"set", "brightness=2 55"}, "set: '2 55' has blanks inside; a number for Brightness", {}},
        {{"set", "brightness=1 2"}, "'1 2' has blanks inside", {}},
        {{"set", "brightness=0x 1 2"}, "'0x 1 2' has blanks inside", {}},
        {{"set", "brightness=1\r0"}, "'1\\r0' has blanks inside", {}},
        {{"set", "current-scale=0 11"}, "'0 11' has blanks inside", {}},
        {{"set", "brightness=10h"}, "'10h' is not a number for Brightness", {}},
        {{"set", "brightness=１"}, "'\\xef\\xbc\\x91' is not a number for Brightness", {}},
        {{"set", "brightness= 255 \t"}, "", {"W 00 FF ok"}},
        {{"set", "current-scale=011"}, "", {"W A1 BB ok"}},
        {{"set", "current-scale= 20MA "}, "", {"W A1 BB ok"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        const int status = Run(board, c.args);
        if (c.line.empty()) {
            EXPECT_EQ(status, 0) << ctl.err;
        } else {
            EXPECT_EQ(status, 2);
            EXPECT_EQ(ctl.ErrLines().size(), 1u) << ctl.err;
            EXPECT_NE(ctl.err.find(c.line), std::string::npos) << ctl.err;
        }
        EXPECT_EQ(ctl.WriteLines("t"), c.writes);
    }
}

}  // namespace
