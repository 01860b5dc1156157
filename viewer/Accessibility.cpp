#include "viewer/Accessibility.h"

#include "about/AccessibleClickable.h"
#include "viewer/ScenePicture.h"

namespace vistrel {
namespace {

QAccessibleInterface* PictureAccessibleFactory(const QString&, QObject* object) {
    if (auto* picture = qobject_cast<ScenePicture*>(object)) {
        return new AccessiblePicture(picture);
    }
    return nullptr;
}

}  // namespace

AccessiblePicture::AccessiblePicture(ScenePicture* picture)
    : QAccessibleWidget(picture, QAccessible::Graphic) {}

QString AccessiblePicture::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Description) {
        return widget()->accessibleDescription();
    }
    return QAccessibleWidget::text(kind);
}

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(PictureAccessibleFactory);
        QAccessible::installFactory(AboutAccessibleFactory);
        return true;
    }();
    static_cast<void>(installed);
}

}  // namespace vistrel
