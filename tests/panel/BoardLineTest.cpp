// What the panel shows of the board itself: which board it talks to, and the
// status flags that tell of a fault.
#include "PanelHarness.h"

#include "AdapterList.h"
#include "AdapterMenu.h"
#include "BoardLine.h"
#include "ControlIds.h"
#include "FailureLook.h"
#include "FakeSysfs.h"

#include <QLabel>
#include <QTemporaryDir>

#include <algorithm>

namespace {

class BoardLine : public PanelTest {
protected:
    QString Line() { return Panel().findChild<QLabel*>(QString::number(CBoardLine::kId))->text(); }
    // Chooses the Adapter list's entry as its menu command does.
    void ChooseAdapter(const std::string& text)
    {
        const std::vector<AdapterListEntry> entries = ListAdapters(sysfs.SysClassDir());
        const auto entry = std::ranges::find(entries, text, &AdapterListEntry::text);
        ASSERT_NE(entry, entries.end()) << text;
        Panel().OnSysCommand(CAdapterMenu::kIdmFirstAdapter + 0x10 * unsigned(entry - entries.begin()));
    }

    QTemporaryDir dir;
    FakeSysfs sysfs{dir.filePath("sysfs").toStdString()};
    FakeI2cDevSys bus;  // behind the bus the Adapter list opens
};

TEST_F(BoardLine, NamesTheBoardAndFollowsTheAdapterList)
{
    sysfs.AddBus(7, "CP2112 SMBus Bridge on hidraw0", FakeSysfs::kUsbParent);
    bus.registers[0x72] = 0x80;
    adapterStart.setting = "sim";
    adapterStart.options.sysClassDir = sysfs.SysClassDir();
    adapterStart.options.systemCalls = [&] { return std::make_unique<SharedI2cDevSys>(bus); };
    StartPanel();
    EXPECT_EQ(Line(), "Simulated board");

    ChooseAdapter("No Adapter");
    EXPECT_EQ(Panel().StatusText(), "USB Initialization Error");
    EXPECT_EQ(Line(), "No adapter");
    ChooseAdapter("/dev/i2c-7: CP2112 SMBus Bridge on hidraw0");
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete");
    EXPECT_EQ(Line(), "/dev/i2c-7 (CP2112 SMBus Bridge)");
}

TEST_F(BoardLine, EachSettingIsNamedAsTheBoardItOpens)
{
    sysfs.AddBus(7, "CP2112 SMBus Bridge on hidraw0", FakeSysfs::kUsbParent);
    sysfs.AddBus(0, "SMBus I801 adapter at efa0", FakeSysfs::kPciParent);
    const struct {
        const char* setting;
        const char* name;
    } cases[] = {
        {"", "Simulated board"},
        {"sim", "Simulated board"},
        {"sim:/home/bench/boards/e08.txt", "Simulated board from e08.txt"},
        {"none", "No adapter"},
        {"/dev/i2c-7", "/dev/i2c-7 (CP2112 SMBus Bridge)"},
        {"/dev/i2c-0", "/dev/i2c-0 (SMBus I801 adapter at efa0)"},
        {"/dev/i2c-3", "/dev/i2c-3"},
        {"i2c:cp2112", "/dev/i2c-7 (CP2112 SMBus Bridge)"},
        {"i2c:FT260", "i2c:FT260 (not found)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BoardName(c.setting, sysfs.SysClassDir()), c.name) << c.setting;
}

// Red pixels in the control's picture: the failure colour's text.
int FailurePixels(QWidget* control)
{
    const QImage image = control->grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() > 140 && c.green() < 100 && c.blue() < 100;
        }
    return count;
}

TEST_F(BoardLine, ASetFaultFlagAndAClearedOkFlagAreDrawnAsFaults)
{
    const int flags[] = {idc::kOverVoltage, idc::kVrefOk, idc::kOverCurrent, idc::kVboostOk};
    const struct {
        uint8_t status;
        bool fault[4];
        const char* description[4];
    } cases[] = {
        {0x18, {true, true, false, false}, {"Over Voltage: fault", "VRef OK cleared: fault", "", ""}},
        {0x30, {false, false, false, false}, {"", "", "", ""}},
    };
    StartPanelWithoutAdapter();
    EXPECT_EQ(FailurePixels(Control(idc::kVrefOk)), 0) << "02 never read: nothing to tell";
    TearDown();

    MarkChipConfigured();
    StartPanel();
    for (const auto& c : cases) {
        chip.regs[0x02] = c.status;
        ReadbackAll();
        for (size_t i = 0; i < std::size(flags); ++i) {
            SCOPED_TRACE(QString::asprintf("02 = %02X, flag %d", c.status, flags[i]).toStdString());
            QWidget* flag = Control(flags[i]);
            EXPECT_EQ(FailurePixels(flag) > 20, c.fault[i]);
            EXPECT_EQ(flag->palette().color(QPalette::WindowText) == kFailureColour, c.fault[i]);
            EXPECT_EQ(flag->accessibleDescription(), c.description[i]);
        }
    }
}

}  // namespace
