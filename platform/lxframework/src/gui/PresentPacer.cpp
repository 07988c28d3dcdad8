#include "PresentPacer.h"
#include "TestHooks.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <thread>

namespace lx {

namespace {
    using std::chrono::nanoseconds;

    struct Pacing {
        std::optional<bool> on;
        test::PacingClock now;
        test::PacingSleep sleep;
    };

    Pacing& Settings()
    {
        static Pacing pacing;
        return pacing;
    }

    bool PacingByDefault() { return QGuiApplication::platformName() != QLatin1String("offscreen"); }

    nanoseconds Now()
    {
        if (Settings().now)
            return Settings().now();
        return std::chrono::steady_clock::now().time_since_epoch();
    }

    void Sleep(nanoseconds duration)
    {
        if (Settings().sleep)
            Settings().sleep(duration);
        else
            std::this_thread::sleep_for(duration);
    }

    nanoseconds RefreshPeriod(const QWidget& widget)
    {
        const QScreen* screen = widget.screen();
        const double rate = screen ? screen->refreshRate() : 0.0;
        // Some window systems report nothing, or nonsense, for the rate.
        const double hertz = rate >= 1.0 ? rate : FallbackRefreshRate;
        return std::chrono::duration_cast<nanoseconds>(std::chrono::duration<double>(1.0 / hertz));
    }
}

void PresentPacer::BeforePresent(const QWidget& widget)
{
    if (!PresentPacing())
        return;
    const nanoseconds now = Now();
    if (mLastPresent) {
        const nanoseconds periodEnd = *mLastPresent + RefreshPeriod(widget);
        if (now < periodEnd) {
            Sleep(periodEnd - now);
            // The next period starts where this one ends, as the display's
            // refreshes do, however late the sleep wakes.
            mLastPresent = periodEnd;
            return;
        }
    }
    mLastPresent = now;
}

bool PresentPacing()
{
    Pacing& pacing = Settings();
    if (!pacing.on)
        pacing.on = PacingByDefault();
    return *pacing.on;
}

namespace test {

    void SetPresentPacing(bool on) { Settings().on = on; }

    void SetPacingClock(PacingClock now, PacingSleep sleep)
    {
        Settings().now = std::move(now);
        Settings().sleep = std::move(sleep);
    }

}

}
