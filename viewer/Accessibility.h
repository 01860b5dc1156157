#pragma once

#include <QAccessibleWidget>

namespace vistrel {

class ScenePicture;

// The picture as a screen reader sees it: an image, named for the scene on show. Its tooltip says
// the same as its name, so it gives no description, which would only repeat it.
class AccessiblePicture : public QAccessibleWidget {
  public:
    explicit AccessiblePicture(ScenePicture* picture);

    QString text(QAccessible::Text kind) const override;
};

// Gives screen readers the roles, names and actions of the program's own controls: the picture,
// the About icon and the links. Safe to run more than once; costs nothing while no screen reader
// is listening.
void InstallAccessibility();

}  // namespace vistrel
