#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QString>

#include "userfiles/UserFolder.h"

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
        // The desktop did not reply in the time it was given.
        NoAnswer,
    };

    using QObject::QObject;

    // Starts handing the image file over; the desktop is to reply by `replyBy`. Finished
    // follows exactly once, never from within this call, so the caller can always connect first
    // and wait.
    virtual void Hand(const UserFolder& image, QDeadlineTimer replyBy) = 0;

  signals:
    // The image has gone to the desktop, and the channel keeps the time from here on: it waits
    // for the reply until `replyBy`, then, should the desktop ask the user first, for as long as
    // the user takes.
    void HandedOver();
    // `reason` says why it failed, in a few words that follow "could not be set: ".
    void Finished(vistrel::BackgroundChannel::Outcome outcome, const QString& reason);

  protected:
    // Emits Finished from the event loop, for a channel that knows the answer at once.
    void FinishLater(Outcome outcome, const QString& reason = {});

    // Why settings that take a path as text cannot be given the image's (its path is not UTF-8,
    // and as text it would name another file), or an empty string.
    static QString PathTextFailure(const UserFolder& image);
};

}  // namespace vistrel
