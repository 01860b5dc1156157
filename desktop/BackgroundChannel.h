#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "userfiles/UserFolder.h"

namespace vistrel {

class BackgroundImages;

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

    // Starts handing the request's images over, asking `images` for the files this way takes;
    // the desktop is to reply by `replyBy`. Finished follows exactly once, never from within
    // this call, so the caller can always connect first and wait; or none, should `images`
    // report a failure first.
    virtual void Hand(BackgroundImages& images, QDeadlineTimer replyBy) = 0;

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

    // Runs a desktop's settings tool without waiting for it, and hands its output to `then`
    // should it succeed; should it not start or fail, Finished says so.
    void RunTool(const QString& program, const QStringList& arguments,
                 std::function<void(const QByteArray&)> then);
    // Runs it once for each list of arguments in turn, the next once the last has succeeded,
    // then calls `then`.
    void RunEach(const QString& program, std::vector<QStringList> calls,
                 std::function<void()> then);
};

}  // namespace vistrel
