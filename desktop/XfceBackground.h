#pragma once

#include <QStringList>
#include <functional>

#include "desktop/BackgroundChannel.h"

class QProcess;

namespace vistrel {

// XFCE keeps a background for every monitor and workspace in its xfce4-desktop channel, each
// read from a last-image property; xfconf-query lists them and sets each in turn. Runs without
// ever waiting for the program. Its arguments are text, so a path that is not UTF-8 is a failure.
class XfceBackground final : public BackgroundChannel {
    Q_OBJECT

  public:
    using BackgroundChannel::BackgroundChannel;

    void Hand(const UserFolder& image, QDeadlineTimer replyBy) override;

  private:
    // Runs xfconf-query on the desktop's channel and hands its output to `then` if it succeeds.
    void Query(const QStringList& arguments, std::function<void(const QByteArray&)> then);
    void SetNext();

    QString path;
    QStringList properties;
};

}  // namespace vistrel
