#include "Watch.h"

#include "Errors.h"
#include "RegisterMap.h"

#include <pybind11/pybind11.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <stdexcept>

namespace py = pybind11;

namespace {

// Sleeps with the interpreter's lock let go; a signal (Ctrl+C) wakes it to
// run the handler, whose exception ends the wait.
void SleepUntil(std::chrono::steady_clock::time_point until)
{
    using namespace std::chrono;
    for (auto now = steady_clock::now(); now < until; now = steady_clock::now()) {
        const nanoseconds left = until - now;
        const timespec wait{time_t(duration_cast<seconds>(left).count()),
                            long((left % seconds(1)).count())};
        int slept = 0;
        {
            py::gil_scoped_release release;
            slept = nanosleep(&wait, nullptr);
        }
        if (slept != 0 && errno == EINTR && PyErr_CheckSignals() != 0)
            throw py::error_already_set();
    }
}

double SecondsSinceEpoch()
{
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

std::vector<chip::FieldCondition> ConditionsOf(const std::vector<chip::FieldText>& texts)
{
    for (const chip::FieldText& text : texts)
        if (const chip::FieldLookup lookup = chip::LookUpField(text.name); !lookup.field)
            throw UnknownName(lookup.error);
    chip::ConditionReading reading = chip::ReadConditions(texts);
    if (!reading.error.empty()) throw std::invalid_argument(reading.error);
    return std::move(reading.conditions);
}

ChipWatch::ChipWatch(std::shared_ptr<ChipSession> chip, double intervalS,
                     std::optional<double> timeoutS, std::vector<chip::FieldCondition> until)
    : m_chip(std::move(chip)),
      m_interval(std::chrono::duration_cast<Clock::duration>(
          std::chrono::duration<double>(intervalS))),
      m_until(std::move(until)),
      m_regs(chip::ConditionRegisters(m_until))
{
    if (timeoutS) m_timeout = std::chrono::duration<double>(*timeoutS);
    if (m_regs.empty()) m_regs.push_back(chip::kStatusRegister);
}

std::optional<WatchSample> ChipWatch::Next()
{
    if (m_busy) throw std::invalid_argument("this watch is being read by another thread");
    m_busy = true;
    const struct Done {
        bool& busy;
        ~Done() { busy = false; }
    } done{m_busy};
    return Step();
}

std::optional<WatchSample> ChipWatch::Step()
{
    if (m_pending.empty()) {
        if (m_over) return std::nullopt;
        if (!m_started) {
            m_started = true;
            m_next = Clock::now();
            if (m_timeout) m_end = m_next + std::chrono::duration_cast<Clock::duration>(*m_timeout);
        } else if (!Pause()) {
            return std::nullopt;
        }
        ReadRound();
        m_over = !m_until.empty() && chip::ConditionsHold(m_until, m_last);
    }
    WatchSample sample = std::move(m_pending.front());
    m_pending.pop_front();
    return sample;
}

bool ChipWatch::Pause()
{
    const Clock::time_point now = Clock::now();
    if (m_end && now >= *m_end) {
        m_over = true;
        if (!m_until.empty()) RaiseTimeout();
        return false;
    }
    m_next = std::max(m_next + m_interval, now);
    if (m_end) m_next = std::min(m_next, *m_end);
    SleepUntil(m_next);
    return true;
}

void ChipWatch::ReadRound()
{
    py::gil_scoped_release release;
    m_lastFailure.clear();
    const ChipSession::ActionLock action = m_chip->Begin();
    for (const uint8_t reg : m_regs) {
        WatchSample sample{0, reg, std::nullopt, {}};
        try {
            sample.value = m_chip->ReadOnce(reg);
            m_last[reg] = *sample.value;
        } catch (const BusFailure& failure) {
            m_last.erase(reg);
            m_lastFailure = failure.what();
        }
        sample.time = SecondsSinceEpoch();
        if (const chip::RegisterInfo* info = chip::FindRegister(reg); info && sample.value)
            for (const chip::FieldInfo& field : info->fields)
                sample.fields.emplace_back(field.name, chip::FieldValue(field, *sample.value));
        m_pending.push_back(std::move(sample));
    }
    m_chip->End();
}

void ChipWatch::RaiseTimeout() const
{
    char within[48];
    std::snprintf(within, sizeof within, "within %g s", m_timeout->count());
    std::string message = chip::NotSeenText(m_until, m_last, within);
    if (!m_lastFailure.empty()) message += " (" + m_lastFailure + ")";
    PyErr_SetString(PyExc_TimeoutError, message.c_str());
    throw py::error_already_set();
}
