#pragma once

class QString;

namespace vistrel {

// Tells the user that a link could not be opened.
class LinkErrorReporter {
  public:
    virtual ~LinkErrorReporter() = default;

    virtual void ShowError(const QString& message) = 0;
};

// A warning box owned by the active window and titled with the application's name.
LinkErrorReporter& DesktopErrorReporter();

}  // namespace vistrel
