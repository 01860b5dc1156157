#pragma once

#include <QStringList>
#include <string>
#include <vector>

#include "about/Beeper.h"
#include "about/LinkErrorReporter.h"
#include "links/LaunchResult.h"
#include "links/LinkOpener.h"

namespace vistrel {

// Opens nothing: records the targets and answers with a chosen result.
class FakeLinkOpener final : public LinkOpener {
  public:
    int OpenLink(const std::string& target) override {
        opened.push_back(target);
        return result;
    }

    int result = Launched;
    std::vector<std::string> opened;
};

// Records beeps and messages in the order they come.
class FakeErrorReporter final : public LinkErrorReporter, public Beeper {
  public:
    void Beep() override { told << QStringLiteral("(beep)"); }
    void ShowError(const QString& message) override { told << message; }

    QStringList told;
};

}  // namespace vistrel
