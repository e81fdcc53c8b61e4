#pragma once

#include <cstdint>
#include <span>

// Dialog layouts as data: every control with its ID, kind, caption,
// rectangle in dialog units of the template font and style bits.

enum class ControlKind {
    PushButton,
    DefPushButton,
    CheckBox,
    RadioButton,
    GroupBox,
    ComboBox,      // drop-down list with an editable field
    Slider,        // horizontal track bar
    Edit,          // the user types into it
    ReadOnlyEdit,  // shows text that actions set
    Label,
    Bitmap,        // the logo
    Icon,          // the panel icon
};

// Style bits, named after the window styles they stand for.
enum ControlStyle : uint32_t {
    kWsTabStop = 1u << 0,
    kWsGroup = 1u << 1,
    kWsVScroll = 1u << 2,      // opened list has a scroll bar
    kWsBorder = 1u << 3,
    kEsReadOnly = 1u << 4,
    kEsAutoHScroll = 1u << 5,
    kTbsNoTicks = 1u << 6,
    kTbsBoth = 1u << 7,
    kSsLeft = 1u << 8,
};

inline constexpr int kNoControlId = -1;  // labels, frames, pictures

struct ControlTemplate {
    int id;  // kNoControlId when the control has no ID of its own
    ControlKind kind;
    const char* caption;  // "" when the control shows none
    int x, y, cx, cy;     // dialog units
    uint32_t style;
};

struct DialogTemplate {
    int id;
    const char* title;
    int cx, cy;  // dialog units
    int fontPoints;
    std::span<const ControlTemplate> controls;  // in creation (and tab) order
};

extern const DialogTemplate kPanelTemplate;  // 102
extern const DialogTemplate kAboutTemplate;  // 100

// Accessible names for controls whose caption alone does not say what they
// are: lists and sliders named by their labels, check boxes completed by the
// label under them.
struct AccessibleName {
    int id;
    const char* name;
};
extern const std::span<const AccessibleName> kAccessibleNames;

// Descriptions for assistive tools, which take a read-only box for an
// editable one: each says that the box is read-only and what it shows.
struct AccessibleDescription {
    int id;
    const char* text;
};
extern const std::span<const AccessibleDescription> kAccessibleDescriptions;
