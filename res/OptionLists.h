#pragma once

#include <span>

// The entries of the panel's drop-down lists, in list order.
struct OptionList {
    int controlId;
    std::span<const char* const> entries;
};

// The register fields' lists show the field's value names (chip/ValueNames.h).
extern const std::span<const OptionList> kOptionLists;
