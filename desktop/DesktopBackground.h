#pragma once

#include <QObject>
#include <QSize>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "desktop/BackgroundChannel.h"
#include "desktop/BackgroundFolder.h"

namespace vistrel {

struct SceneBitmap;

enum class BackgroundResult {
    Set,
    // The user said no to the desktop's question: nothing to report.
    Cancelled,
    Failed,
    // No way to hand it over: the file is saved for the user to set.
    SavedOnly,
};

// Sets the picture on show as the desktop background: exactly what the full screen shows on
// that screen, written to the backgrounds folder, then handed to the first channel the desktop
// offers. Never waits: the answer comes as Finished, at most `answerTime` later unless the
// desktop has taken the image and asks the user first, who may take as long as they like. Once a
// new background is set, Vistrel's earlier ones are removed; any failure leaves the old one.
class DesktopBackground : public QObject {
    Q_OBJECT

  public:
    using Channels = std::vector<std::unique_ptr<BackgroundChannel>>;
    using ChannelSource = std::function<Channels()>;

    static constexpr std::chrono::milliseconds AnswerTime{10000};

    // The channels come from `source` afresh for every background.
    explicit DesktopBackground(QObject* parent, ChannelSource source = SystemChannels,
                               std::chrono::milliseconds answerTime = AnswerTime);
    ~DesktopBackground() override;

    // Starts setting the background of a screen of `devicePixels` to the bitmap's picture, of
    // scene seed `seed`. Returns false, doing nothing, while an earlier one is still under way
    // (the user may still be answering the desktop's question about it).
    bool Set(const SceneBitmap& shown, std::uint32_t seed, QSize devicePixels);

    // The channels of the desktop this program runs on.
    static Channels SystemChannels();

  signals:
    // `message` is for the user: empty when set or cancelled.
    void Finished(vistrel::BackgroundResult result, const QString& message);

  private:
    void TryNext();
    void OnChannelFinished(BackgroundChannel::Outcome outcome, const QString& reason);
    void TimedOut();
    void Finish(BackgroundResult result, const QString& message);
    void DropCurrent();

    ChannelSource source;
    BackgroundFolder folder;
    std::deque<std::unique_ptr<BackgroundChannel>> waiting;
    std::unique_ptr<BackgroundChannel> current;
    QTimer deadline;
    std::optional<UserFolder> file;
    bool busy = false;
};

}  // namespace vistrel
