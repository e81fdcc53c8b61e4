#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "ControlIds.h"
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
    {0x00, idc::kReg00}, {0x01, idc::kReg01}, {0x02, idc::kReg02}, {0x03, idc::kReg03},
    {0x04, idc::kReg04}, {0x05, idc::kReg05}, {0x06, idc::kReg06}, {0xA0, idc::kRegA0},
    {0xA1, idc::kRegA1}, {0xA2, idc::kRegA2}, {0xA3, idc::kRegA3}, {0xA4, idc::kRegA4},
    {0xA5, idc::kRegA5}, {0xA6, idc::kRegA6}, {0xA7, idc::kRegA7}, {0xA8, idc::kRegA8},
    {0xA9, idc::kRegA9}, {0xAA, idc::kRegAA}, {0xAB, idc::kRegAB}, {0xAC, idc::kRegAC},
    {0xAD, idc::kRegAD}, {0xAE, idc::kRegAE}, {0xAF, idc::kRegAF}, {0x98, idc::kReg98},
    {0x9E, idc::kReg9E}, {0x72, idc::kReg72},
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
        if (c.id == idc::kCurrentLimit || c.id == idc::kPfmThreshold
            || c.id == idc::kCurrentScale)  // short lists
            expected &= ~uint32_t{kWsVScroll};
        EXPECT_EQ(c.style, expected) << c.id << ' ' << c.caption;
    }
    // Each radio pair is a group of its own.
    for (auto [firstId, secondId] : {std::pair{idc::kIboostLow, idc::kIboostHigh},
                                     std::pair{idc::kVboostLow, idc::kVboostHigh}}) {
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
    const auto* version = findControl(kPanelTemplate, idc::kVersionLine);
    const auto* status = findControl(kPanelTemplate, idc::kStatusLine);
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
    EXPECT_STREQ(accessibleName(idc::kUvloEnable), "UVLO Enable");
    EXPECT_STREQ(accessibleName(idc::kDrv3Enable), "DRV3 Enable");
    EXPECT_STREQ(accessibleName(idc::kLed1), "LED 1");
    EXPECT_STREQ(accessibleName(idc::kUpdateA3), "Update A3");
}

TEST(OptionLists, EntryCountsAndPlacement) {
    const std::map<int, size_t> counts = {
        {idc::kBoostFreq, 3},     {idc::kMode, 4},          {idc::kFilter, 4},
        {idc::kPwmHysteresis, 4}, {idc::kPfmThreshold, 4},  {idc::kCurrentLimit, 4},
        {idc::kCurrentScale, 8},  {idc::kPwmSlope, 8},      {idc::kPhaseShift, 8},
        {idc::kVboostMax, 8},     {idc::kDimThreshold, 12}, {idc::kPwmFreq, 16},
        {idc::kConfig, 16},
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
    EXPECT_STREQ(findList(idc::kDimThreshold)->entries.back(), "PWM Always");
    EXPECT_STREQ(findList(idc::kDimThreshold)->entries[10], "PWM Below 50%");
}

TEST(OptionLists, VboostMaximumHasTwoIdenticalFirstEntries) {
    const auto entries = findList(idc::kVboostMax)->entries;
    EXPECT_STREQ(entries[0], "NA / NA");
    EXPECT_STREQ(entries[1], "NA / NA");
    EXPECT_EQ(std::ranges::count(entries, std::string("NA / NA")), 2);
}

TEST(OptionLists, ConfigColumnsSpacedExactly) {
    const auto entries = findList(idc::kConfig)->entries;
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
