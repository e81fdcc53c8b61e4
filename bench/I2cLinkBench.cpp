// Cost of one register read on the Linux bus path, layer by layer: the raw
// SMBus call, the LinuxI2cAdapter on top of it, and the device link on top of
// that. The system calls are a fake, so only our own overhead is measured.

#include "DeviceLink.h"
#include "LinuxI2cAdapter.h"
#include "RegisterMap.h"
#include "TvxAdapter.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cerrno>
#include <cstdint>

namespace {

// A bus with one chip whose registers read back their own number.
class BenchI2cDevSys : public I2cDevSys {
public:
    static constexpr int kFd = 3;

    BenchI2cDevSys()
    {
        for (size_t i = 0; i < m_registers.size(); ++i)
            m_registers[i] = static_cast<uint8_t>(i);
    }

    int StatNode(const std::string&, int& bus) override
    {
        bus = 0;
        return 0;
    }
    int ReadBusName(int, std::string& name) override
    {
        name = "bench bus";
        return 0;
    }
    int Open(const std::string&) override { return kFd; }
    void Close(int) override {}
    int IoctlValue(int, unsigned long, unsigned long) override { return 0; }
    int IoctlFuncs(int, unsigned long& funcs) override
    {
        funcs = I2C_FUNC_SMBUS_BYTE_DATA;
        return 0;
    }
    int IoctlSmbus(int, i2c_smbus_ioctl_data& args) override
    {
        if (args.read_write == I2C_SMBUS_READ)
            args.data->byte = m_registers[args.command];
        else
            m_registers[args.command] = args.data->byte;
        return 0;
    }
    // The bus offers byte data, so the adapter never asks for I2C_RDWR.
    int IoctlRdwr(int, i2c_rdwr_ioctl_data&) override { return -ENOTTY; }

private:
    std::array<uint8_t, 256> m_registers{};
};

constexpr uint16_t kChip = chip::kChipAddress;

void BM_SmbusReadDirect(benchmark::State& state)
{
    BenchI2cDevSys fake;
    // Hidden from the optimizer so the call stays virtual, as it is for the adapter.
    I2cDevSys* sys = &fake;
    benchmark::DoNotOptimize(sys);
    uint8_t reg = 0;
    for (auto _ : state) {
        i2c_smbus_data data{};
        i2c_smbus_ioctl_data args{
            .read_write = I2C_SMBUS_READ, .command = reg++, .size = I2C_SMBUS_BYTE_DATA, .data = &data};
        benchmark::DoNotOptimize(sys->IoctlSmbus(BenchI2cDevSys::kFd, args));
        benchmark::DoNotOptimize(data.byte);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SmbusReadDirect);

void BM_AdapterRegisterRead(benchmark::State& state)
{
    BenchI2cDevSys fake;
    LinuxI2cAdapter adapter("/dev/i2c-0", fake);
    const int handle = adapter.Open("bench bus");
    if (adapter.RegisterRead(handle, kChip, 0x00) != 0x00) {
        state.SkipWithError("the adapter does not read the fake bus");
        return;
    }
    uint8_t reg = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(adapter.RegisterRead(handle, kChip, reg++));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AdapterRegisterRead);

void BM_LinkRegRead(benchmark::State& state)
{
    BenchI2cDevSys fake;
    LinuxI2cAdapter adapter("/dev/i2c-0", fake);
    tvxInstallAdapter(&adapter);
    LinkResetSession();
    uint8_t rfw = 0;
    if (AdapterOpen(rfw) != kAdapterOk) {
        state.SkipWithError("the device link could not open the fake bus");
    } else {
        uint8_t reg = 0;
        uint8_t value = 0;
        for (auto _ : state) {
            benchmark::DoNotOptimize(RegRead(kChip, reg++, value));
            benchmark::DoNotOptimize(value);
        }
        state.SetItemsProcessed(state.iterations());
    }
    tvxInstallAdapter(nullptr);
    LinkResetSession();
}
BENCHMARK(BM_LinkRegRead);

}  // namespace
