#include "desktop/DesktopBackground.h"

#include "desktop/BackgroundChannels.h"
#include "images/PictureFile.h"
#include "scene/SceneBitmap.h"
#include "scene/ScreenFit.h"

namespace vistrel {

DesktopBackground::DesktopBackground(QObject* parent, ChannelSource source,
                                     std::chrono::milliseconds answerTime)
    : QObject(parent), source(std::move(source)) {
    deadline.setSingleShot(true);
    deadline.setInterval(answerTime);
    connect(&deadline, &QTimer::timeout, this, &DesktopBackground::TimedOut);
}

DesktopBackground::~DesktopBackground() = default;

DesktopBackground::Channels DesktopBackground::SystemChannels() {
    return BackgroundChannels(qEnvironmentVariable("XDG_CURRENT_DESKTOP"));
}

bool DesktopBackground::Set(const SceneBitmap& shown, std::uint32_t seed, QSize devicePixels) {
    if (busy) {
        return false;
    }
    const SceneBitmap image =
        ShowOnScreen(FramePixels(shown), devicePixels.width(), devicePixels.height());
    if (image.pixels.empty()) {
        emit Finished(BackgroundResult::Failed,
                      tr("There is not enough memory for a background of %1 \u00d7 %2 pixels.")
                          .arg(devicePixels.width())
                          .arg(devicePixels.height()));
        return true;
    }
    file = folder.FileFor(seed, devicePixels);
    if (const QString failure = folder.Write(image, *file); !failure.isEmpty()) {
        emit Finished(
            BackgroundResult::Failed,
            tr("The background could not be saved as %1: %2").arg(file->DisplayName(), failure));
        return true;
    }
    busy = true;
    Channels channels = source();
    waiting.assign(std::make_move_iterator(channels.begin()),
                   std::make_move_iterator(channels.end()));
    deadline.start();
    TryNext();
    return true;
}

void DesktopBackground::TryNext() {
    if (waiting.empty()) {
        Finish(BackgroundResult::SavedOnly,
               tr("This desktop offers programs no way to set its background. The picture is "
                  "saved as %1: you can choose it in the desktop's own settings.")
                   .arg(file->DisplayName()));
        return;
    }
    DropCurrent();
    current = std::move(waiting.front());
    waiting.pop_front();
    connect(current.get(), &BackgroundChannel::Finished, this,
            &DesktopBackground::OnChannelFinished);
    // A channel that keeps the time itself may wait for the user, who has no deadline.
    connect(current.get(), &BackgroundChannel::HandedOver, this, [this] { deadline.stop(); });
    current->Hand(*file, QDeadlineTimer(deadline.remainingTime()));
}

void DesktopBackground::OnChannelFinished(BackgroundChannel::Outcome outcome,
                                          const QString& reason) {
    switch (outcome) {
        case BackgroundChannel::Outcome::Unavailable:
            TryNext();
            return;
        case BackgroundChannel::Outcome::Set:
            folder.RemoveAllBut(*file);
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
