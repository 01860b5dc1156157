#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "scene/MonitorLayout.h"

namespace vistrel {

// Which of the desktop's backgrounds a picture is for.
enum class BackgroundPlace { Desktop, LockScreen };

// A monitor with the name the display server gives it ("HDMI-1"), which desktops that keep a
// background per monitor go by.
struct NamedMonitor {
    QString name;
    Monitor monitor;
};

// One background to set: a scene seed's picture on every monitor, each at its own exact fit or
// all of them sharing one picture.
struct BackgroundRequest {
    std::uint32_t seed = 0;
    Spread spread = Spread::EachMonitor;
    BackgroundPlace place = BackgroundPlace::Desktop;
    std::vector<NamedMonitor> monitors;
    // The monitor that a desktop taking one image for all of them gets the fit of: the one the
    // program's window is on.
    std::size_t windowMonitor = 0;
};

}  // namespace vistrel
