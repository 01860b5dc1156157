#include "desktop/DesktopBackground.h"

#include "desktop/BackgroundChannels.h"
#include "desktop/BackgroundImages.h"

namespace vistrel {

DesktopBackground::DesktopBackground(QObject* parent, ChannelSource source,
                                     std::chrono::milliseconds answerTime)
    : QObject(parent), source(std::move(source)) {
    deadline.setSingleShot(true);
    deadline.setInterval(answerTime);
    connect(&deadline, &QTimer::timeout, this, &DesktopBackground::TimedOut);
}

DesktopBackground::~DesktopBackground() = default;

DesktopBackground::Channels DesktopBackground::SystemChannels(const BackgroundRequest& request) {
    return BackgroundChannels(qEnvironmentVariable("XDG_CURRENT_DESKTOP"), request.place,
                              request.monitors.size());
}

bool DesktopBackground::Set(const BackgroundRequest& request) {
    if (busy) {
        return false;
    }
    busy = true;
    if (request.monitors.empty()) {
        Finish(BackgroundResult::Failed, tr("There is no monitor to set the background of."));
        return true;
    }
    images = std::make_unique<BackgroundImages>(request, nullptr);
    connect(images.get(), &BackgroundImages::Failed, this,
            [this](const QString& message) { Finish(BackgroundResult::Failed, message); });
    Channels channels = source(request);
    waiting.assign(std::make_move_iterator(channels.begin()),
                   std::make_move_iterator(channels.end()));
    deadline.start();
    TryNext();
    return true;
}

void DesktopBackground::TryNext() {
    if (waiting.empty()) {
        SaveOnly();
        return;
    }
    DropCurrent();
    current = std::move(waiting.front());
    waiting.pop_front();
    connect(current.get(), &BackgroundChannel::Finished, this,
            &DesktopBackground::OnChannelFinished);
    // A channel that keeps the time itself may wait for the user, who has no deadline.
    connect(current.get(), &BackgroundChannel::HandedOver, this, [this] { deadline.stop(); });
    current->Hand(*images, QDeadlineTimer(deadline.remainingTime()));
}

// No way reaches this desktop: the window's monitor's image is left for the user to choose.
void DesktopBackground::SaveOnly() {
    DropCurrent();
    images->WriteWindowMonitor(this, [this](const std::vector<UserFolder>& files) {
        const QString text =
            images->Request().place == BackgroundPlace::LockScreen
                ? tr("This desktop offers programs no way to set its lock screen background. "
                     "The picture is saved as %1: you can choose it in the desktop's own "
                     "settings.")
                : tr("This desktop offers programs no way to set its background. The picture is "
                     "saved as %1: you can choose it in the desktop's own settings.");
        Finish(BackgroundResult::SavedOnly, text.arg(files.front().DisplayName()));
    });
}

void DesktopBackground::OnChannelFinished(BackgroundChannel::Outcome outcome,
                                          const QString& reason) {
    switch (outcome) {
        case BackgroundChannel::Outcome::Unavailable:
            TryNext();
            return;
        case BackgroundChannel::Outcome::Set:
            BackgroundFolder().RemoveAllBut(images->AllWritten());
            Finish(BackgroundResult::Set, {});
            return;
        case BackgroundChannel::Outcome::Cancelled:
            Finish(BackgroundResult::Cancelled, {});
            return;
        case BackgroundChannel::Outcome::Failed:
            Finish(BackgroundResult::Failed,
                   tr("The desktop background could not be set: %1").arg(reason));
            return;
        case BackgroundChannel::Outcome::NoAnswer:
            TimedOut();
            return;
    }
}

void DesktopBackground::TimedOut() {
    Finish(BackgroundResult::Failed,
           tr("The desktop background could not be set: the desktop did not answer within %1 "
              "seconds.")
               .arg((deadline.interval() + 999) / 1000));
}

void DesktopBackground::Finish(BackgroundResult result, const QString& message) {
    deadline.stop();
    DropCurrent();
    waiting.clear();
    if (images) {
        // Its files may still be being written for a channel that has gone: none is handed on.
        images->Abandon();
        images.release()->deleteLater();
    }
    busy = false;
    emit Finished(result, message);
}

// The channel may be in the middle of emitting its answer: it goes once that is over, and no
// later answer of it arrives here.
void DesktopBackground::DropCurrent() {
    if (current) {
        current->disconnect(this);
        current.release()->deleteLater();
    }
}

}  // namespace vistrel
