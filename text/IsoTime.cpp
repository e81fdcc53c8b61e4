#include "IsoTime.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

void IsoClock::Append(std::string& out, int64_t ms)
{
    using namespace std::chrono;
    constexpr int64_t kQuarterMs = 15 * 60 * 1000;
    const int64_t quarter = ms >= 0 ? ms / kQuarterMs : (ms + 1) / kQuarterMs - 1;
    if (quarter != m_quarter) {
        m_quarter = quarter;
        const time_t start = time_t(quarter * (kQuarterMs / 1000));
        tm local{};
        m_offsetS = localtime_r(&start, &local) ? local.tm_gmtoff : 0;
    }
    const sys_time<milliseconds> local{milliseconds(ms + int64_t(m_offsetS) * 1000)};
    const sys_days day = floor<days>(local);
    const year_month_day date{day};
    const hh_mm_ss time{local - day};
    const long offsetMinutes = std::labs(m_offsetS) / 60;
    char text[48];
    const int length =
        std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03d%c%02ld:%02ld",
                      int(date.year()), unsigned(date.month()), unsigned(date.day()),
                      int(time.hours().count()), int(time.minutes().count()),
                      int(time.seconds().count()), int(time.subseconds().count()),
                      m_offsetS < 0 ? '-' : '+', offsetMinutes / 60, offsetMinutes % 60);
    out.append(text, size_t(length));
}

std::string IsoClock::Text(int64_t ms)
{
    std::string text;
    Append(text, ms);
    return text;
}

int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}
