#pragma once

inline constexpr int kIdsAboutBox = 101;

// The text of string resource id, or "" when there is none.
const char* LoadResString(int id);
