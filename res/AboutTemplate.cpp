#include "ControlIds.h"
#include "DialogTemplate.h"

namespace {

constexpr ControlTemplate kAboutControls[] = {
    {kNoControlId, ControlKind::Icon, "", 11, 17, 20, 20, 0},
    {kNoControlId, ControlKind::Label, "ZR5130 Version 1.0", 40, 10, 119, 8, kSsLeft | kWsGroup},
    {idc::kAboutOk, ControlKind::DefPushButton, "OK", 178, 7, 50, 16, kWsTabStop},
};

}  // namespace

constinit const DialogTemplate kAboutTemplate{100, "About ZR5130", 235, 55, 8, kAboutControls};
