#include "Shadows.h"

uint8_t g_reg01 = 0;
uint8_t g_reg16 = 0;
uint8_t g_regA1 = 0;
uint8_t g_currentScale = 0;
uint8_t g_brightnessPos = 0;
uint8_t g_brightnessWritten = 0;

void ResetShadowsToProgramStart()
{
    g_reg01 = g_reg16 = g_regA1 = g_currentScale = g_brightnessPos = g_brightnessWritten = 0;
}
