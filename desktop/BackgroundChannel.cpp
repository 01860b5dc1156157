#include "desktop/BackgroundChannel.h"

namespace vistrel {

void BackgroundChannel::FinishLater(Outcome outcome, const QString& reason) {
    QMetaObject::invokeMethod(
        this, [this, outcome, reason] { emit Finished(outcome, reason); }, Qt::QueuedConnection);
}

}  // namespace vistrel
