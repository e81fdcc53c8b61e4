#pragma once

#include <cstdint>

// The adapter library operations the device link is built on.
int tvxFindControllers();
int tvxGetSerialNumber(int index, char* serial);
int tvxOpen(char* serial);
int tvxFirmwareVersion_Read(int handle, unsigned char* buffer, int size);
int tvxI2C_Control(int handle, int a, int b, int c);
int tvxGPIO_WriteControl(int handle, int v1, int v2, int v3, int v4, int v5, int v6, int v7,
                         int v8, int v9, int v10, int v11, int v12, int v13);
int tvxPower_WriteControl(int handle, int a, int b);
int tvxI2C_RegisterRead(int handle, uint16_t address, uint8_t reg);
int tvxI2C_RegisterWrite(int handle, uint16_t address, uint8_t reg, uint8_t value);
