#include "Errors.h"

#include "HexInput.h"


BusFailure::BusFailure(uint8_t reg, std::string cause, int error)
    : ModuleFailure("register " + HexByteText(reg) + ": " + cause), reg(reg),
      cause(std::move(cause)), error(error)
{ }

MismatchFailure::MismatchFailure(uint8_t reg, uint8_t wrote, uint8_t read, std::string fields)
    : BusFailure(reg,
                 "wrote " + HexByteText(wrote) + " and it reads back " + HexByteText(read) +
                     (fields.empty() ? "" : " (" + fields + ")")),
      wrote(wrote), read(read)
{ }

DumpFailure::DumpFailure(std::string file, const std::string& message, int line)
    : ModuleFailure(message), file(std::move(file)), line(line)
{ }
