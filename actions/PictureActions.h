#pragma once

#include <QCoreApplication>
#include <QKeySequence>
#include <QString>
#include <cstdint>
#include <optional>

#include "actions/ShortcutAction.h"

class QAction;
class QWidget;

namespace vistrel {

struct SceneBitmap;

// The actions on one picture that the viewer and the gallery offer, each with its text and key.
enum class PictureAction {
    Copy,
    Save,
    ShowSeed,
    Favourite,
    SetAsDesktopBackground,
    SetAcrossAllScreens,
    SetAsLockScreenBackground,
};

// What can be done with one picture, the same from the viewer and from the gallery.
class PictureActions {
    Q_DECLARE_TR_FUNCTIONS(PictureActions)

  public:
    static QString Text(PictureAction action);
    static QKeySequence Key(PictureAction action);
    // Adds the action to `window` (see AddShortcutAction), calling `handler`; Favourite is
    // checkable, checked while the picture is one.
    template <typename Window, typename Handler>
    static QAction* Add(Window* window, PictureAction action, Handler handler) {
        QAction* added = AddShortcutAction(window, Text(action), Key(action), handler);
        added->setCheckable(action == PictureAction::Favourite);
        return added;
    }

    // Puts the picture's frame on the clipboard, as an image and as text naming its seed.
    static void Copy(const SceneBitmap& bitmap, std::uint32_t seed);
    // Saves the picture's frame as a PNG enlarged `scale` times; a failure is shown in a message
    // box owned by `owner` and leaves no file behind. Returns whether the file was written.
    static bool Save(const SceneBitmap& bitmap, const QString& path, int scale, QWidget* owner);
    // Asks where and how large to save the picture, then saves it.
    static void AskWhereToSave(const SceneBitmap& bitmap, std::uint32_t seed, QWidget* owner);
    // Asks for a scene seed 0..32767, offering `offered`; none when the user cancels.
    static std::optional<std::uint32_t> AskForSeed(std::uint32_t offered, QWidget* owner);
};

}  // namespace vistrel
