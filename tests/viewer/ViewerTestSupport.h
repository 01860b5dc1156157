#pragma once

#include <QWidget>
#include <cstdint>

#include "tests/support/ScreenImages.h"
#include "viewer/ViewerServices.h"

namespace vistrel::test {

// Counts beeps and serves a fixed clock reading.
class FakeViewerServices final : public ViewerServices {
  public:
    explicit FakeViewerServices(std::int64_t clockSeconds) : clockSeconds(clockSeconds) {}

    void Beep() override { ++beeps; }
    std::int64_t ClockSeconds() override {
        ++clockReadings;
        return clockSeconds;
    }

    int beeps = 0;
    int clockReadings = 0;

  private:
    std::int64_t clockSeconds;
};

// The window's child of that type and object name. A missing one ends the run: no test of the
// window can go on without it.
template <typename Widget>
Widget* FindControl(const QWidget& window, const char* name) {
    auto* control = window.findChild<Widget*>(QLatin1String(name));
    if (!control) {
        qFatal("no control named %s", name);
    }
    return control;
}

}  // namespace vistrel::test
