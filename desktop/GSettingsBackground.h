#pragma once

#include "desktop/BackgroundChannel.h"

namespace vistrel {

// Where a GNOME-like desktop keeps its background in GSettings.
struct BackgroundSchema {
    const char* id;
    // The key that takes the image: a file:// URI, or a plain path when `takesPath`.
    const char* imageKey;
    bool takesPath;
    // Set too where the schema has it: the image for the dark style.
    const char* darkImageKey;
};

// GNOME, Unity, Budgie and Pantheon; Cinnamon; MATE.
inline constexpr BackgroundSchema GnomeBackground{"org.gnome.desktop.background", "picture-uri",
                                                  false, "picture-uri-dark"};
inline constexpr BackgroundSchema CinnamonBackground{"org.cinnamon.desktop.background",
                                                     "picture-uri", false, nullptr};
inline constexpr BackgroundSchema MateBackground{"org.mate.background", "picture-filename", true,
                                                 nullptr};

// Writes the image and how to show it into the desktop's background settings, all at once:
// one monitor's own image "centered", or with several monitors one image "spanned" over them,
// laid out so that each monitor's part is exact at its own scale (see SpannedImage). A schema
// that is not installed is a failure (GLib would end the program on it, so it is looked up first),
// and so is a path the schema takes as text that is not UTF-8.
class GSettingsBackground final : public BackgroundChannel {
    Q_OBJECT

  public:
    GSettingsBackground(const BackgroundSchema& schema, QObject* parent);

    void Hand(BackgroundImages& images, QDeadlineTimer replyBy) override;

  private:
    // Why it failed, or an empty string.
    QString Write(const UserFolder& image, const char* options);

    const BackgroundSchema schema;
};

}  // namespace vistrel
