#pragma once

#include <QStringList>
#include <vector>

#include "desktop/BackgroundChannel.h"

namespace vistrel {

// XFCE keeps a background for every monitor and workspace in its xfce4-desktop channel, under
// /backdrop/screen0/monitor<NAME>/workspace<N>/, each read from last-image and shown as
// image-style says. xfconf-query lists them; every monitor's get the file made for that monitor,
// centred, and a monitor that has none yet gets one for its first workspace. With one monitor,
// every background listed gets its file, whatever monitor name XFCE gave it. Runs without ever
// waiting for the program. Its arguments are text, so a path that is not UTF-8 is a failure.
class XfceBackground final : public BackgroundChannel {
    Q_OBJECT

  public:
    using BackgroundChannel::BackgroundChannel;

    void Hand(BackgroundImages& images, QDeadlineTimer replyBy) override;

  private:
    // The xfconf-query calls that set each monitor's background, from XFCE's list of
    // properties: the image first, then its style.
    std::vector<QStringList> Plan(const QString& listed,
                                  const std::vector<UserFolder>& files) const;
    void Query(const QStringList& arguments, std::function<void(const QByteArray&)> then);

    std::vector<QString> monitorNames;
};

}  // namespace vistrel
