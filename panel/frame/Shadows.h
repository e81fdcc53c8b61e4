#pragma once

#include <array>
#include <cstdint>

// Program-wide copies of some registers as the panel last set them, used by
// actions that change only part of a register without reading it. Each
// starts from the value the start-up gives it, not from the chip (g_reg16
// has all six LEDs on before anything was written), and follows what the
// actions write, whether the chip took it or not; Load sets g_reg01 too.
extern uint8_t g_reg01;               // register 0x01
extern uint8_t g_reg16;               // register 0x16 (LED enables)
extern uint8_t g_regA1;               // register 0xA1
extern uint8_t g_currentScale;        // register 0xA1's Current Scale, also as last read
extern uint8_t g_brightnessPos;       // brightness slider position at the last release
extern uint8_t g_brightnessWritten;   // last value the slider wrote to register 0x00

// Back to the values they have when the program starts.
void ResetShadowsToProgramStart();

// A list's selected index -> the value written into its register field.
inline constexpr std::array<unsigned, 16> kListValue = {0, 1, 2,  3,  4,  5,  6,  7,
                                                        8, 9, 10, 11, 12, 13, 14, 15};
