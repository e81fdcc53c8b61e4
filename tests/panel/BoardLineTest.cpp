// What the panel shows of the board itself: which board it talks to, and the
// status flags that tell of a fault.
#include "PanelHarness.h"

#include "AdapterMenu.h"
#include "BoardLine.h"
#include "ControlIds.h"
#include "FakeSysfs.h"

#include <QLabel>
#include <QTemporaryDir>

namespace {

TEST_F(PanelTest, TheBoardLineNamesTheBoardAndFollowsTheAdapterList)
{
    QTemporaryDir dir;
    const FakeSysfs sysfs(dir.filePath("sysfs").toStdString());
    adapterStart.options.sysClassDir = sysfs.SysClassDir();  // no bus: "No Adapter" is the third
    StartPanel();
    auto* line = Panel().findChild<QLabel*>(QString::number(CBoardLine::kId));
    EXPECT_EQ(line->text(), "Simulated board");
    Panel().OnSysCommand(CAdapterMenu::kIdmFirstAdapter + 0x10 * 2);
    EXPECT_EQ(Panel().StatusText(), "USB Initialization Error");
    EXPECT_EQ(line->text(), "No adapter");

    sysfs.AddBus(7, "CP2112 SMBus Bridge on hidraw0", FakeSysfs::kUsbParent);
    const struct {
        const char* setting;
        const char* name;
    } settings[] = {
        {"sim:/home/bench/boards/e08.txt", "Simulated board from e08.txt"},
        {"i2c:cp2112", "/dev/i2c-7 (CP2112 SMBus Bridge)"},
        {"/dev/i2c-3", "/dev/i2c-3"},
    };
    for (const auto& s : settings) EXPECT_EQ(BoardName(s.setting, sysfs.SysClassDir()), s.name) << s.setting;
}

// 02 = 18: VBoost OK and Over Voltage set, VRef OK and Over Current cleared.
TEST_F(PanelTest, ASetFaultFlagAndAClearedOkFlagAreDrawnAsFaults)
{
    StartOnConfiguredChip({{0x02, 0x18}});
    const struct {
        int flag;
        const char* description;
    } flags[] = {{idc::kOverVoltage, "Over Voltage: fault"}, {idc::kVrefOk, "VRef OK cleared: fault"},
                 {idc::kOverCurrent, ""}, {idc::kVboostOk, ""}};
    for (const auto& f : flags) {
        const QImage image = Control(f.flag)->grab().toImage();
        int red = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                red += c.red() > 140 && c.green() < 100 && c.blue() < 100;
            }
        EXPECT_EQ(red > 20, *f.description != '\0') << f.flag;
        EXPECT_EQ(Control(f.flag)->accessibleDescription(), f.description);
    }
}

}  // namespace
