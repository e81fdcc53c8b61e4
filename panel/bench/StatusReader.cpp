#include "StatusReader.h"

#include "BusTurns.h"
#include "DeviceLink.h"
#include "RegisterMap.h"

#include <chrono>

namespace {

// How often the reader looks again while an action has the bus: actions
// are short, but one may wait for the user (a file dialog).
constexpr std::chrono::milliseconds kTurnLookMs{2};

}  // namespace

CStatusReader::CStatusReader(Done done) : m_done(std::move(done)) {}

CStatusReader::~CStatusReader() { Stop(); }

void CStatusReader::Request()
{
    {
        const std::lock_guard lock(m_mutex);
        m_requested = true;
    }
    if (!m_thread.joinable())
        m_thread = std::jthread([this](std::stop_token stop) { Run(stop); });
    else
        m_wake.notify_one();
}

void CStatusReader::Stop()
{
    if (!m_thread.joinable()) return;
    m_thread.request_stop();
    m_thread.join();
    m_thread = {};
    const std::lock_guard lock(m_mutex);
    m_requested = false;
}

void CStatusReader::Run(std::stop_token stop)
{
    std::unique_lock lock(m_mutex);
    while (m_wake.wait(lock, stop, [this] { return m_requested; }) && !stop.stop_requested()) {
        m_requested = false;
        lock.unlock();
        BusTurns::Hold bus;
        while (!(bus = PanelBusTurns().TryForRead())) {
            if (stop.stop_requested()) return;
            std::this_thread::sleep_for(kTurnLookMs);
        }
        const Result result = ReadOnce();
        bus.unlock();
        m_done(result);
        lock.lock();
    }
}

// As an action would: the bus is tried once, whatever the last run left.
CStatusReader::Result CStatusReader::ReadOnce()
{
    Result result;
    result.actionsBefore = PanelBusTurns().ActionsStarted();
    LinkClearStuck();
    uint8_t value = 0;
    if (RegRead(chip::kChipAddress, chip::kStatusRegister, value) == 0)
        result.value = value;
    else
        result.cause = LinkAccessFailure();
    return result;
}
