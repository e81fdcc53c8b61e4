#include "DialogTemplate.h"

namespace {

constexpr AccessibleDescription kDescriptions[] = {
    {1006, "Read only: shows register 00"},
    {1040, "Read only: shows register 01"},
    {1041, "Read only: shows register 02"},
    {1042, "Read only: shows register 03"},
    {1043, "Read only: shows register 04"},
    {1045, "Read only: shows register 05"},
    {1048, "Read only: shows register 06"},
    {1053, "Read only: shows register A0"},
    {1007, "Read only: shows register A1"},
    {1055, "Read only: shows register A2"},
    {1065, "Read only: shows register A3"},
    {1058, "Read only: shows register A4"},
    {1059, "Read only: shows register A5"},
    {1060, "Read only: shows register A6"},
    {1061, "Read only: shows register A7"},
    {1062, "Read only: shows register A8"},
    {1063, "Read only: shows register A9"},
    {1064, "Read only: shows register AA"},
    {1079, "Read only: shows register AB"},
    {1080, "Read only: shows register AC"},
    {1081, "Read only: shows register AD"},
    {1082, "Read only: shows register AE"},
    {1083, "Read only: shows register AF"},
    {1130, "Read only: shows register 98"},
    {1142, "Read only: shows register 9E"},
    {1129, "Read only: shows register 72"},
    {1117, "Read only: shows the brightness of register 00 in percent"},
    {1116, "Read only: shows the Vboost code of register A6 (bits 5-0)"},
};

}  // namespace

constinit const std::span<const AccessibleDescription> kAccessibleDescriptions{kDescriptions};
