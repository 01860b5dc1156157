#pragma once

#include "desktop/DesktopBackground.h"
#include "tools/vistrel-background/BackgroundSetter.h"

namespace vistrel {

// The background set through the desktop library, on the screens the application has now.
class DesktopSetter : public BackgroundSetter {
    Q_OBJECT

  public:
    explicit DesktopSetter(QObject* parent = nullptr);

    bool Set(std::uint32_t seed, Spread spread) override;

  private:
    DesktopBackground background;
};

}  // namespace vistrel
