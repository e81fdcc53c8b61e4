// The panel's own cost: a full readback and push on the simulated board.
// BM_Readback minus BM_ReadbackAdapterCalls is what the panel adds to the
// 26 register reads.
#include "DeviceLink.h"
#include "EvalDlg.h"
#include "HexText.h"
#include "RegisterMap.h"
#include "Shadows.h"
#include "SimBoard.h"
#include "TvxAdapter.h"

#include <benchmark/benchmark.h>

namespace {

// A started panel on a freshly programmed simulated board.
struct StartedPanel {
    SimBoard board;
    CEvalDlg panel;

    StartedPanel()
    {
        tvxInstallAdapter(&board);
        LinkResetSession();
        ResetShadowsToProgramStart();
        panel.OnInitDialog();
    }
    ~StartedPanel() { tvxInstallAdapter(nullptr); }
};

void BM_Readback(benchmark::State& state)
{
    StartedPanel p;
    for (auto _ : state) p.panel.OnReadbackAll();
}
BENCHMARK(BM_Readback)->Unit(benchmark::kMicrosecond);

// Every readback changes four registers, so their boxes are marked and
// unmarked by turns: the worst case of the change marks.
void BM_ReadbackMarkingChanges(benchmark::State& state)
{
    StartedPanel p;
    int round = 0;
    for (auto _ : state) {
        ++round;
        for (uint8_t reg : {0x00, 0x03, 0xA5, 0xAF})
            p.board.Poke(reg, round % 3 == 0 ? 0x11 : 0x22);
        p.panel.OnReadbackAll();
    }
}
BENCHMARK(BM_ReadbackMarkingChanges)->Unit(benchmark::kMicrosecond);

void BM_ReadbackAdapterCalls(benchmark::State& state)
{
    StartedPanel p;
    for (auto _ : state) {
        for (uint8_t reg : chip::ReadbackRegisters()) {
            uint8_t value = 0;
            benchmark::DoNotOptimize(RegRead(chip::kChipAddress, reg, value));
        }
    }
}
BENCHMARK(BM_ReadbackAdapterCalls)->Unit(benchmark::kMicrosecond);

void BM_PushUnchanged(benchmark::State& state)
{
    StartedPanel p;
    for (auto _ : state) p.panel.push();
}
BENCHMARK(BM_PushUnchanged)->Unit(benchmark::kMicrosecond);

// Every text, check and radio field differs from its control each time.
void BM_PushAllChanged(benchmark::State& state)
{
    StartedPanel p;
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++round;
        const QString text = HexText(unsigned(round & 0xFF));
        for (QString* field : {&p.panel.m_strReg00, &p.panel.m_strReg01, &p.panel.m_strReg02,
                               &p.panel.m_strRegA0, &p.panel.m_strRegA1, &p.panel.m_strRegA5,
                               &p.panel.m_strTarget, &p.panel.m_strData})
            *field = text;
        p.panel.m_bLed1 = p.panel.m_bTsd = p.panel.m_bSsEn = round & 1;
        p.panel.m_nVboostRange = round & 1;
        state.ResumeTiming();
        p.panel.push();
    }
}
BENCHMARK(BM_PushAllChanged)->Unit(benchmark::kMicrosecond);

// One action of each register group, as the user triggers it.
void BM_Actions(benchmark::State& state)
{
    StartedPanel p;
    for (auto _ : state) {
        p.panel.OnBrightnessReleased();
        p.panel.OnLed3();
        p.panel.OnCurrentReleased();
        p.panel.OnUpdateA2();
        p.panel.OnPwmFreqChanged();
        p.panel.OnVboostReleased();
        p.panel.OnManualRead();
    }
}
BENCHMARK(BM_Actions)->Unit(benchmark::kMicrosecond);

void BM_Load(benchmark::State& state)
{
    StartedPanel p;
    for (auto _ : state) p.panel.OnLoad();
}
BENCHMARK(BM_Load)->Unit(benchmark::kMicrosecond);

}  // namespace
