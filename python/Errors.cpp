#include "Errors.h"

#include "HexInput.h"

#include <cctype>

BusFailure::BusFailure(uint8_t reg, std::string cause)
    : ModuleFailure("register " + HexByteText(reg) + ": " + cause), reg(reg),
      cause(std::move(cause))
{ }

MismatchFailure::MismatchFailure(uint8_t reg, uint8_t wrote, uint8_t read, std::string fields)
    : BusFailure(reg,
                 "wrote " + HexByteText(wrote) + " and it reads back " + HexByteText(read) +
                     (fields.empty() ? "" : " (" + fields + ")")),
      wrote(wrote), read(read)
{ }

namespace {

// N from "N: what", 0 when rest does not start with a line number.
int LineNumber(std::string_view rest)
{
    size_t digits = 0;
    while (digits < rest.size() && std::isdigit(static_cast<unsigned char>(rest[digits]))) ++digits;
    if (digits == 0 || digits > 9 || digits >= rest.size() || rest[digits] != ':') return 0;
    return std::stoi(std::string(rest.substr(0, digits)));
}

}  // namespace

DumpFailure::DumpFailure(std::string file, const std::string& message)
    : ModuleFailure(message), file(std::move(file))
{
    const std::string prefix = this->file + ":";
    if (message.starts_with(prefix))
        line = LineNumber(std::string_view(message).substr(prefix.size()));
}
