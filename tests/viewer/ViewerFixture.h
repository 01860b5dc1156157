#pragma once

#include <QPushButton>
#include <QTest>
#include <QTimerEvent>
#include <memory>

#include "tests/viewer/ViewerTestSupport.h"
#include "userfiles/Favourites.h"
#include "viewer/ScenePicture.h"
#include "viewer/ViewerDialog.h"

namespace vistrel::test {

// What the tests that drive a whole viewer share: one viewer with stand-in services and the
// user's favourites, closed after each test.
class ViewerFixture : public QObject {
  public:
    static constexpr std::int64_t Clock = 1765432109;
    static constexpr QSize PictureSize{570, 206};

  protected:
    // Opens a viewer on screen and lets it paint its first scene.
    void Open(std::int64_t clock = Clock) {
        services = std::make_unique<FakeViewerServices>(clock);
        favourites = std::make_unique<Favourites>();
        dialog = std::make_unique<ViewerDialog>(*services, *favourites);
        Compose();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QCoreApplication::sendPostedEvents();
    }

    void Close() {
        Decompose();
        dialog.reset();
        favourites.reset();
        services.reset();
    }

    // What a test adds around the viewer before it shows, and takes away before it goes.
    virtual void Compose() {}
    virtual void Decompose() {}

    template <typename Widget>
    Widget* Control(const char* name) const {
        return FindControl<Widget>(*dialog, name);
    }
    ScenePicture* Picture() const { return Control<ScenePicture>("picture"); }

    void Press(const char* button) {
        QTest::mouseClick(Control<QPushButton>(button), Qt::LeftButton);
    }

    // A tick of the slide-show timer, as the event loop would deliver it, and the Next it posts.
    void Tick() {
        QTimerEvent tick(dialog->TimerId());
        QCoreApplication::sendEvent(dialog.get(), &tick);
        QCoreApplication::sendPostedEvents();
    }

    std::unique_ptr<FakeViewerServices> services;
    std::unique_ptr<Favourites> favourites;
    std::unique_ptr<ViewerDialog> dialog;
};

}  // namespace vistrel::test
