#include "actions/BackgroundActions.h"

#include <QAction>
#include <QMessageBox>
#include <QWidget>

#include "actions/ChangeBackgroundDialog.h"
#include "actions/PictureActions.h"
#include "desktop/BackgroundChannels.h"
#include "desktop/DesktopBackground.h"
#include "desktop/ScreenMonitors.h"

namespace vistrel {

BackgroundActions::BackgroundActions(QWidget* window, ChosenSeed chosen, MessageOwner owner)
    : chosen(std::move(chosen)),
      owner(std::move(owner)),
      background(new DesktopBackground(window)) {
    const auto add = [this, window](PictureAction action, BackgroundPlace place, Spread spread) {
        actions.append(
            PictureActions::Add(window, action, [this, place, spread] { Set(place, spread); }));
    };
    add(PictureAction::SetAsDesktopBackground, BackgroundPlace::Desktop, Spread::EachMonitor);
    add(PictureAction::SetAcrossAllScreens, BackgroundPlace::Desktop, Spread::AcrossAll);
    add(PictureAction::SetAsLockScreenBackground, BackgroundPlace::LockScreen, Spread::EachMonitor);
    if (LockScreenShowsDesktopBackground(qEnvironmentVariable("XDG_CURRENT_DESKTOP"))) {
        actions.constLast()->setEnabled(false);
        actions.constLast()->setToolTip(
            tr("This desktop's lock screen shows the desktop background."));
    }
    actions.append(AddShortcutAction(window, tr("Change Background Automatically\u2026"),
                                     QKeySequence(), [this] {
                                         ChangeBackgroundDialog dialog(this->owner());
                                         dialog.exec();
                                     }));
    QObject::connect(background, &DesktopBackground::Finished, window,
                     [this](BackgroundResult result, const QString& message) {
                         if (message.isEmpty()) {
                             return;
                         }
                         auto* box = new QMessageBox(result == BackgroundResult::Failed
                                                         ? QMessageBox::Warning
                                                         : QMessageBox::Information,
                                                     QCoreApplication::applicationName(), message,
                                                     QMessageBox::Ok, this->owner());
                         box->setAttribute(Qt::WA_DeleteOnClose);
                         box->open();
                     });
}

void BackgroundActions::Set(BackgroundPlace place, Spread spread) {
    const std::optional<std::uint32_t> seed = chosen();
    if (!seed) {
        return;
    }
    background->Set({*seed, spread, place, ScreenMonitors(), ScreenIndex(owner()->screen())});
}

}  // namespace vistrel
