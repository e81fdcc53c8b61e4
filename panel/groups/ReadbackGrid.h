#pragma once

#include "ControlUses.h"
#include "EvalDlg.h"

#include <cstdint>
#include <span>

// The readback grid: one read-only box per register the full readback reads.
struct GridBox {
    uint8_t reg;
    int id;
    QString CEvalDlg::*text;
};

// In the register map's read order.
std::span<const GridBox> GridBoxes();
// nullptr when the control is no box of the grid.
const GridBox* GridBoxOfControl(int id);
void AddGridUses(std::vector<ControlUse>& uses);
