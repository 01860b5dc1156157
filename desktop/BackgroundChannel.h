#pragma once

#include <QObject>
#include <QString>

namespace vistrel {

// One way of handing a background image to the desktop: the portal, or a desktop's own
// settings. Tests stand in for it.
class BackgroundChannel : public QObject {
    Q_OBJECT

  public:
    enum class Outcome {
        Set,
        // The user said no; nothing to report.
        Cancelled,
        Failed,
        // This way is not there on this desktop: the next may be.
        Unavailable,
    };

    using QObject::QObject;

    // Starts handing the image file over. Finished follows exactly once, never from within
    // this call, so the caller can always connect first and wait.
    virtual void Hand(const QString& file) = 0;

  signals:
    // `reason` says why it failed, in a few words that follow "could not be set: ".
    void Finished(vistrel::BackgroundChannel::Outcome outcome, const QString& reason);

  protected:
    // Emits Finished from the event loop, for a channel that knows the answer at once.
    void FinishLater(Outcome outcome, const QString& reason = {});
};

}  // namespace vistrel
