#include "ControlIds.h"
#include "DialogTemplate.h"

namespace {

constexpr AccessibleDescription kDescriptions[] = {
    {idc::kReg00, "Read only: shows register 00"},
    {idc::kReg01, "Read only: shows register 01"},
    {idc::kReg02, "Read only: shows register 02"},
    {idc::kReg03, "Read only: shows register 03"},
    {idc::kReg04, "Read only: shows register 04"},
    {idc::kReg05, "Read only: shows register 05"},
    {idc::kReg06, "Read only: shows register 06"},
    {idc::kRegA0, "Read only: shows register A0"},
    {idc::kRegA1, "Read only: shows register A1"},
    {idc::kRegA2, "Read only: shows register A2"},
    {idc::kRegA3, "Read only: shows register A3"},
    {idc::kRegA4, "Read only: shows register A4"},
    {idc::kRegA5, "Read only: shows register A5"},
    {idc::kRegA6, "Read only: shows register A6"},
    {idc::kRegA7, "Read only: shows register A7"},
    {idc::kRegA8, "Read only: shows register A8"},
    {idc::kRegA9, "Read only: shows register A9"},
    {idc::kRegAA, "Read only: shows register AA"},
    {idc::kRegAB, "Read only: shows register AB"},
    {idc::kRegAC, "Read only: shows register AC"},
    {idc::kRegAD, "Read only: shows register AD"},
    {idc::kRegAE, "Read only: shows register AE"},
    {idc::kRegAF, "Read only: shows register AF"},
    {idc::kReg98, "Read only: shows register 98"},
    {idc::kReg9E, "Read only: shows register 9E"},
    {idc::kReg72, "Read only: shows register 72"},
    {idc::kBrightnessPct, "Read only: shows the brightness of register 00 in percent"},
    {idc::kVboostCode, "Read only: shows the Vboost code of register A6 (bits 5-0)"},
};

}  // namespace

constinit const std::span<const AccessibleDescription> kAccessibleDescriptions{kDescriptions};
