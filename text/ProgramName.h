#pragma once

// The name that starts the link's own lines on standard error, so that each
// program's messages carry its own name.
const char* LinkProgramName();
void LinkSetProgramName(const char* name);
