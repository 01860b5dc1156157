#include "desktop/BackgroundChannel.h"

namespace vistrel {

void BackgroundChannel::FinishLater(Outcome outcome, const QString& reason) {
    QMetaObject::invokeMethod(
        this, [this, outcome, reason] { emit Finished(outcome, reason); }, Qt::QueuedConnection);
}

QString BackgroundChannel::PathTextFailure(const UserFolder& image) {
    if (image.IsUtf8()) {
        return {};
    }
    return tr("the desktop's settings take a path as UTF-8 text, and %1 is not UTF-8")
        .arg(image.DisplayName());
}

}  // namespace vistrel
