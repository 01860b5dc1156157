#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "desktop/BackgroundChannel.h"
#include "desktop/BackgroundRequest.h"

namespace vistrel {

class BackgroundImages;

enum class BackgroundResult {
    Set,
    // The user said no to the desktop's question: nothing to report.
    Cancelled,
    Failed,
    // No way to hand it over: the file is saved for the user to set.
    SavedOnly,
};

// Sets a picture as the desktop's background (or its lock screen's) on every monitor: each
// monitor's image written to the backgrounds folder as the first channel the desktop offers asks
// for them, then handed to it. Never waits: the answer comes as Finished, at most `answerTime`
// later unless the desktop has taken the images and asks the user first, who may take as long
// as they like. Once a new background is set, Vistrel's earlier ones are removed; any failure
// leaves every monitor's old one.
class DesktopBackground : public QObject {
    Q_OBJECT

  public:
    using Channels = std::vector<std::unique_ptr<BackgroundChannel>>;
    using ChannelSource = std::function<Channels(const BackgroundRequest&)>;

    static constexpr std::chrono::milliseconds AnswerTime{10000};

    // The channels come from `source` afresh for every background.
    explicit DesktopBackground(QObject* parent, ChannelSource source = SystemChannels,
                               std::chrono::milliseconds answerTime = AnswerTime);
    ~DesktopBackground() override;

    // Starts setting the background. Returns false, doing nothing, while an earlier one is
    // still under way (the user may still be answering the desktop's question about it).
    bool Set(const BackgroundRequest& request);

    // The channels of the desktop this program runs on.
    static Channels SystemChannels(const BackgroundRequest& request);

  signals:
    // `message` is for the user: empty when set or cancelled.
    void Finished(vistrel::BackgroundResult result, const QString& message);

  private:
    void TryNext();
    void SaveOnly();
    void OnChannelFinished(BackgroundChannel::Outcome outcome, const QString& reason);
    void TimedOut();
    void Finish(BackgroundResult result, const QString& message);
    void DropCurrent();

    ChannelSource source;
    std::unique_ptr<BackgroundImages> images;
    std::deque<std::unique_ptr<BackgroundChannel>> waiting;
    std::unique_ptr<BackgroundChannel> current;
    QTimer deadline;
    bool busy = false;
};

}  // namespace vistrel
