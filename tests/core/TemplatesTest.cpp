#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "DialogTemplate.h"
#include "OptionLists.h"
#include "Strings.h"

namespace {

const ControlTemplate* findControl(const DialogTemplate& dlg, int id) {
    auto it = std::ranges::find(dlg.controls, id, &ControlTemplate::id);
    return it == dlg.controls.end() ? nullptr : &*it;
}

const OptionList* findList(int id) {
    auto it = std::ranges::find(kOptionLists, id, &OptionList::controlId);
    return it == kOptionLists.end() ? nullptr : &*it;
}

const char* accessibleName(int id) {
    auto it = std::ranges::find(kAccessibleNames, id, &AccessibleName::id);
    return it == kAccessibleNames.end() ? nullptr : it->name;
}

// The readback grid: register number and the ID of its box.
constexpr std::pair<int, int> kGrid[] = {
    {0x00, 1006}, {0x01, 1040}, {0x02, 1041}, {0x03, 1042}, {0x04, 1043},
    {0x05, 1045}, {0x06, 1048}, {0xA0, 1053}, {0xA1, 1007}, {0xA2, 1055},
    {0xA3, 1065}, {0xA4, 1058}, {0xA5, 1059}, {0xA6, 1060}, {0xA7, 1061},
    {0xA8, 1062}, {0xA9, 1063}, {0xAA, 1064}, {0xAB, 1079}, {0xAC, 1080},
    {0xAD, 1081}, {0xAE, 1082}, {0xAF, 1083}, {0x98, 1130}, {0x9E, 1142},
    {0x72, 1129},
};

TEST(PanelTemplate, HeaderAndControlCounts) {
    EXPECT_EQ(kPanelTemplate.id, 102);
    EXPECT_STREQ(kPanelTemplate.title, "ZR5130SQ Evaluation Software");
    EXPECT_EQ(kPanelTemplate.cx, 575);
    EXPECT_EQ(kPanelTemplate.cy, 435);
    EXPECT_EQ(kPanelTemplate.fontPoints, 8);

    std::map<ControlKind, int> withoutId;
    int withId = 0;
    for (const auto& c : kPanelTemplate.controls) {
        if (c.id == kNoControlId)
            ++withoutId[c.kind];
        else
            ++withId;
    }
    EXPECT_EQ(kPanelTemplate.controls.size(), 148u);
    EXPECT_EQ(withId, 94);
    EXPECT_EQ(withoutId[ControlKind::Label], 39);
    EXPECT_EQ(withoutId[ControlKind::GroupBox], 14);
    EXPECT_EQ(withoutId[ControlKind::Bitmap], 1);
    EXPECT_EQ(withoutId.size(), 3u) << "only labels, frames and the logo lack an ID";
}

TEST(PanelTemplate, IdsUniqueAndExitFirst) {
    const auto& first = kPanelTemplate.controls.front();
    EXPECT_EQ(first.id, 2);
    EXPECT_EQ(first.kind, ControlKind::PushButton);
    EXPECT_STREQ(first.caption, "Exit");

    std::set<int> ids;
    for (const auto& c : kPanelTemplate.controls)
        if (c.id != kNoControlId) {
            EXPECT_TRUE(ids.insert(c.id).second) << "duplicate ID " << c.id;
        }
}

TEST(PanelTemplate, RectanglesInsideWindow) {
    for (const DialogTemplate* dlg : {&kPanelTemplate, &kAboutTemplate}) {
        for (const auto& c : dlg->controls) {
            SCOPED_TRACE(std::string(c.caption) + " id " + std::to_string(c.id));
            EXPECT_GT(c.cx, 0);
            EXPECT_GT(c.cy, 0);
            EXPECT_GE(c.x, 0);
            EXPECT_GE(c.y, 0);
            EXPECT_LE(c.x + c.cx, dlg->cx);
            // A list's height includes its opened drop-down, which may hang
            // below the window; only its field must lie inside.
            if (c.kind == ControlKind::ComboBox)
                EXPECT_LE(c.y + 14, dlg->cy);
            else
                EXPECT_LE(c.y + c.cy, dlg->cy);
        }
    }
}

TEST(PanelTemplate, StylesFollowKind) {
    const std::map<ControlKind, uint32_t> styles = {
        {ControlKind::PushButton, kWsTabStop},
        {ControlKind::CheckBox, kWsTabStop},
        {ControlKind::ComboBox, kWsTabStop | kWsVScroll},
        {ControlKind::Slider, kTbsBoth | kTbsNoTicks | kWsTabStop},
        {ControlKind::Edit, kWsBorder | kEsAutoHScroll | kWsTabStop},
        {ControlKind::ReadOnlyEdit, kEsReadOnly | kEsAutoHScroll | kWsTabStop},
        {ControlKind::Label, kSsLeft | kWsGroup},
    };
    for (const auto& c : kPanelTemplate.controls) {
        if (!styles.contains(c.kind))
            continue;
        uint32_t expected = styles.at(c.kind);
        if (c.id == 1049 || c.id == 1050 || c.id == 1070)  // short lists
            expected &= ~uint32_t{kWsVScroll};
        EXPECT_EQ(c.style, expected) << c.id << ' ' << c.caption;
    }
    // Each radio pair is a group of its own.
    for (auto [firstId, secondId] : {std::pair{1140, 1141}, std::pair{1132, 1133}}) {
        const auto* first = findControl(kPanelTemplate, firstId);
        const auto* second = findControl(kPanelTemplate, secondId);
        ASSERT_TRUE(first && second);
        EXPECT_EQ(first->kind, ControlKind::RadioButton);
        EXPECT_EQ(second->kind, ControlKind::RadioButton);
        EXPECT_EQ(first->style, uint32_t{kWsGroup});
        EXPECT_EQ(second->style, 0u);
    }
}

TEST(PanelTemplate, CaptionsWithExactSpacing) {
    std::set<std::string> captions;
    for (const auto& c : kPanelTemplate.controls)
        captions.insert(c.caption);
    for (const char* text : {"Current Value   Config Registers A0 and A1",
                             "Vboost    Config Registers A6,  A9, and AA", "72h = ",
                             "-> Apply 6V to VLDO ->", "Status Register Addr 02 (Read Only)"})
        EXPECT_TRUE(captions.contains(text)) << '"' << text << '"';
    const auto* version = findControl(kPanelTemplate, 1056);
    const auto* status = findControl(kPanelTemplate, 1057);
    ASSERT_TRUE(version && status);
    EXPECT_EQ(version->kind, ControlKind::Label);
    EXPECT_STREQ(version->caption, "Version");
    EXPECT_EQ(status->kind, ControlKind::Label);
    EXPECT_STREQ(status->caption, "Status");
}

TEST(PanelTemplate, ReadbackGridBoxesAndNames) {
    for (auto [reg, id] : kGrid) {
        const auto* box = findControl(kPanelTemplate, id);
        ASSERT_NE(box, nullptr) << id;
        EXPECT_EQ(box->kind, ControlKind::ReadOnlyEdit) << id;
        char expected[16];
        std::snprintf(expected, sizeof expected, "Register %02X", reg);
        const char* name = accessibleName(id);
        ASSERT_NE(name, nullptr) << id;
        EXPECT_STREQ(name, expected) << id;
    }
}

TEST(AccessibleNames, ReferToControlsAndTellThemApart) {
    std::set<int> ids;
    for (const auto& n : kAccessibleNames) {
        EXPECT_NE(findControl(kPanelTemplate, n.id), nullptr) << n.id;
        EXPECT_TRUE(ids.insert(n.id).second) << "named twice: " << n.id;
        EXPECT_STRNE(n.name, "") << n.id;
    }
    // Controls without a caption need a name; buttons and check boxes that
    // share a caption ("UVLO", "PWM", "Enable", "Update") must not share it.
    std::set<std::string> buttonNames;
    for (const auto& c : kPanelTemplate.controls) {
        const char* name = accessibleName(c.id);
        switch (c.kind) {
        case ControlKind::ComboBox:
        case ControlKind::Slider:
        case ControlKind::Edit:
        case ControlKind::ReadOnlyEdit:
            EXPECT_NE(name, nullptr) << c.id;
            break;
        case ControlKind::PushButton:
        case ControlKind::CheckBox:
            EXPECT_TRUE(buttonNames.insert(name ? name : c.caption).second)
                << "ambiguous name for " << c.id;
            break;
        default:
            break;
        }
    }
    EXPECT_STREQ(accessibleName(1111), "UVLO Enable");
    EXPECT_STREQ(accessibleName(1105), "DRV3 Enable");
    EXPECT_STREQ(accessibleName(1039), "LED 1");
    EXPECT_STREQ(accessibleName(1126), "Update A3");
}

TEST(OptionLists, EntryCountsAndPlacement) {
    const std::map<int, size_t> counts = {
        {1119, 3},  {1046, 4}, {1127, 4}, {1128, 4}, {1050, 4},
        {1049, 4},  {1070, 8}, {1125, 8}, {1121, 8}, {1114, 8},
        {1123, 12}, {1122, 16}, {1134, 16},
    };
    ASSERT_EQ(kOptionLists.size(), counts.size());
    for (const auto& list : kOptionLists) {
        SCOPED_TRACE(list.controlId);
        ASSERT_TRUE(counts.contains(list.controlId));
        EXPECT_EQ(list.entries.size(), counts.at(list.controlId));
        const auto* c = findControl(kPanelTemplate, list.controlId);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->kind, ControlKind::ComboBox);
    }
    EXPECT_EQ(std::ranges::count(kPanelTemplate.controls, ControlKind::ComboBox,
                                 &ControlTemplate::kind),
              13);
    EXPECT_STREQ(findList(1123)->entries.back(), "PWM Always");
    EXPECT_STREQ(findList(1123)->entries[10], "PWM Below 50%");
}

TEST(OptionLists, VboostMaximumHasTwoIdenticalFirstEntries) {
    const auto entries = findList(1114)->entries;
    EXPECT_STREQ(entries[0], "NA / NA");
    EXPECT_STREQ(entries[1], "NA / NA");
    EXPECT_EQ(std::ranges::count(entries, std::string("NA / NA")), 2);
}

TEST(OptionLists, ConfigColumnsSpacedExactly) {
    const auto entries = findList(1134)->entries;
    ASSERT_EQ(entries.size(), 16u);
    const std::map<int, std::pair<const char*, const char*>> given = {
        {0, {"5", "34.5V"}}, {8, {"4", "34.5V"}}, {9, {"6", "34.5V"}}};
    for (int i = 0; i < 16; ++i) {
        auto [strings, vmax] = given.contains(i) ? given.at(i) : std::pair{"x", "xx"};
        char expected[32];
        std::snprintf(expected, sizeof expected, "E%02d   %s%s%s", i, strings,
                      i < 10 ? "     " : "   ", vmax);
        EXPECT_STREQ(entries[i], expected) << i;
    }
}

TEST(AboutTemplate, Layout) {
    EXPECT_EQ(kAboutTemplate.id, 100);
    EXPECT_STREQ(kAboutTemplate.title, "About ZR5130");
    EXPECT_EQ(kAboutTemplate.cx, 235);
    EXPECT_EQ(kAboutTemplate.cy, 55);
    ASSERT_EQ(kAboutTemplate.controls.size(), 3u);
    const auto* ok = findControl(kAboutTemplate, 1);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->kind, ControlKind::DefPushButton);
    EXPECT_STREQ(ok->caption, "OK");
    EXPECT_EQ(std::ranges::count(kAboutTemplate.controls, ControlKind::Icon,
                                 &ControlTemplate::kind),
              1);
}

TEST(Strings, AboutEntryAndUnknownIds) {
    EXPECT_STREQ(LoadResString(kIdsAboutBox), "&About ZR5130A...");
    EXPECT_STREQ(LoadResString(0), "");
    EXPECT_STREQ(LoadResString(102), "");
}

}  // namespace
