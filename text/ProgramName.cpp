#include "ProgramName.h"

namespace {

const char* g_programName = "zr5130-eval";

}  // namespace

const char* LinkProgramName()
{
    return g_programName;
}

void LinkSetProgramName(const char* name)
{
    g_programName = name;
}
