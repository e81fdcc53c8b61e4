// Under --json a failed command still leaves one JSON document on standard
// output: its result with an "errors" member, or the error object.
#include "CtlRun.h"
#include "RegisterImage.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

using Lines = std::vector<std::string>;
using nlohmann::json;

class JsonFailure : public ::testing::Test {
protected:
    CtlRun ctl;

    // deaf.txt: a blank chip whose registers 01 and A5 do not answer;
    // blank.txt: the same chip answering throughout.
    std::string DeafBoard()
    {
        RegisterImage image;
        image.values.fill(0x00);
        image.values[0x01] = image.values[0xA5] = std::nullopt;
        ctl.WriteFile("deaf.txt", FormatRegisterImage(image));
        image.values.fill(0x00);
        ctl.WriteFile("blank.txt", FormatRegisterImage(image));
        return "sim:" + ctl.Path("deaf.txt");
    }
};

TEST_F(JsonFailure, AFailedCommandPrintsItsErrorObjectOrItsResultWithErrors)
{
    const std::string deaf = DeafBoard();
    const std::string noAnswer = "no answer from 0x2c on " + deaf;
    const json null = nullptr;
    const struct {
        Lines args;
        int status;
        json error;   // the error object's members; null: a result is printed
        json errors;  // the result's errors member; null: none
    } cases[] = {
        {{"--adapter", "none", "read", "02"},
         1,
         {{"message", "no adapter connected (--adapter is none); choose one with --adapter"},
          {"register", null},
          {"adapter", "none"},
          {"exit", 1}},
         null},
        {{"read", "zz"},
         2,
         {{"message", "read: register 'zz' is not a hex number (write it as A5, 0xA5 or a5h)"},
          {"register", null},
          {"adapter", null},
          {"exit", 2}},
         null},
        {{"--adapter", deaf, "load", "E08"},
         1,
         {{"message",
           "load: cannot read register 01 (brightness control): " + noAnswer +
               "; nothing was written"},
          {"register", "01"},
          {"adapter", deaf},
          {"exit", 1}},
         null},
        {{"--adapter", deaf, "get", "pwm-frequency"},
         1,
         null,
         json::array({{{"message", "get: register A5: " + noAnswer},
                       {"register", "A5"},
                       {"adapter", deaf}}})},
        {{"--adapter", deaf, "dump"},
         1,
         null,
         json::array({{{"message", "registers 01, A5: " + noAnswer},
                       {"register", "01"},
                       {"adapter", deaf}}})},
        // Dumps that differ end with status 1 and are no error.
        {{"diff", ctl.Path("deaf.txt"), ctl.Path("blank.txt")}, 1, null, null},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        Lines args = {"--json"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(ctl.Run(args), c.status);
        ASSERT_EQ(ctl.OutLines().size(), 1u) << ctl.out;
        const json out = json::parse(ctl.out);
        EXPECT_EQ(out.contains("error"), !c.error.is_null()) << ctl.out;
        if (!c.error.is_null()) {
            EXPECT_EQ(out, json({{"error", c.error}}));
            EXPECT_EQ(ctl.ErrLines(), Lines{"zr5130ctl: " + c.error["message"].get<std::string>()});
        }
        if (c.error.is_null() && c.errors.is_null()) {
            EXPECT_EQ(ctl.err, "");
        }
        EXPECT_EQ(out.contains("errors") ? out["errors"] : null, c.errors) << ctl.out;
    }
}

}  // namespace
