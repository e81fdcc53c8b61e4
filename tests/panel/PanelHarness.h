#pragma once

#include "EvalDlg.h"
#include "ScriptedAdapter.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <utility>

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// The status text after a start-up whose every access succeeded.
inline constexpr const char* kReady = "Initialization Complete";

class CDropDownList;
class CTrackSlider;
class QSlider;

// Where a click lands on the slider's handle, leaving its position as it is.
QPoint SliderHandleCenter(QSlider& slider);

// Given a chip (a scripted adapter), starts the panel as the program does and
// lets a test operate its controls as a user would: mouse clicks, choices in
// the opened lists, slider releases and typing, finding every control by its
// ID.
class PanelTest : public ::testing::Test {
protected:
    ScriptedAdapter chip;
    // The start-up's calls on the adapter, before StartPanel forgot them.
    std::vector<std::string> startupCalls;
    // What the panel is told it starts on, for its Adapter list.
    AdapterStart adapterStart;

    // Starts the panel on `chip` (or with no adapter), then forgets the
    // start-up's register traffic so that tests see only what they cause.
    void StartPanel();
    void StartPanelWithoutAdapter();
    void StartPanelOn(TvxAdapter* adapter);
    // Gives the chip the burn mark, so that the start-up writes nothing.
    void MarkChipConfigured() { chip.regs[0x72] = 0x80; }
    // Starts on a configured chip whose registers hold these values.
    void StartOnConfiguredChip(std::initializer_list<std::pair<uint8_t, uint8_t>> values = {});
    void TearDown() override;
    // Clicks "Readback All" and forgets the records before it.
    void ReadbackAll();

    CEvalDlg& Panel() { return *m_panel; }
    QWidget* Control(int id) const;
    CDropDownList* List(int id) const;
    CTrackSlider* Slider(int id) const;

    void Click(int id);
    void ChooseEntry(int id, int index);
    // Puts the slider at position without an event (as keys would), then
    // clicks its handle: the release the panel acts on.
    void ReleaseSliderAt(int id, int position);
    void Type(int id, const QString& text);
    void ClearText(int id);
    // Writes a register through Manual Control.
    void WriteByHand(const QString& reg, const QString& data);

    QString Text(int id) const;
    // The text of reg's box in the readback grid.
    QString BoxText(uint8_t reg) const;
    // What a control shows: a list's text, a slider's position, or
    // "ticked" / "unticked".
    QString Shown(int id) const;
    bool Ticked(int id) const;
    QString ListText(int id) const;
    int SelectedEntry(int id) const;
    std::string Writes() const { return chip.WriteLog(); }

private:
    void Start(TvxAdapter* adapter);

    std::unique_ptr<ScopedAdapter> m_adapter;
    std::unique_ptr<CEvalDlg> m_panel;
};
