#pragma once

#include <chrono>
#include <optional>

class QWidget;

namespace lx {

// A window flush on the platform the system was written for waited for the
// display's next refresh, so frames drawn back to back (the steps of a slide)
// were each seen. A view's presents keep that pace: one that comes less than a
// refresh period after the view's previous one sleeps for the rest of the
// period. Sleeping dispatches no events, so no input runs in between.
class PresentPacer {
public:
    // Waits as needed before `widget` puts a frame on screen, by the refresh
    // rate of its screen (60 Hz where the screen gives none).
    void BeforePresent(const QWidget& widget);

private:
    std::optional<std::chrono::nanoseconds> mLastPresent;
};

constexpr double FallbackRefreshRate = 60.0;

// Pacing is on, except on Qt's offscreen platform, where nobody watches and
// tests must not slow down; tests and benchmarks override that through their
// hooks.
bool PresentPacing();

}
