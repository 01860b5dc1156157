#pragma once

#include <QCoreApplication>
#include <QString>
#include <cstdint>
#include <optional>

class QWidget;

namespace vistrel {

struct SceneBitmap;

// What can be done with one picture, the same from the viewer and from the gallery.
class PictureActions {
    Q_DECLARE_TR_FUNCTIONS(PictureActions)

  public:
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
