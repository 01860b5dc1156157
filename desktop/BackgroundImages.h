#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "desktop/BackgroundFolder.h"
#include "desktop/BackgroundRequest.h"

namespace vistrel {

struct BackgroundImageJob;

// The image files of one background request, in the backgrounds folder, as each way of handing
// them to the desktop asks for them: one per monitor, one spanning all, or the one of the
// window's monitor. They are painted and written on worker threads, so the program never waits;
// a file is replaced only by a complete one. A failure is reported once, as Failed, with the
// message for the user, and no file of it is handed on.
class BackgroundImages : public QObject {
    Q_OBJECT

  public:
    // The files, in the order they were asked for.
    using Written = std::function<void(const std::vector<UserFolder>& files)>;

    BackgroundImages(BackgroundRequest request, QObject* parent);
    ~BackgroundImages() override;

    const BackgroundRequest& Request() const { return request; }

    // One file for each of `monitors` (those the request names, or the desktop's own account of
    // them), what that monitor shows; monitors that show the same share one. `then` is called
    // once all are written, unless `receiver` has gone by then.
    void WriteEach(const std::vector<NamedMonitor>& monitors, QObject* receiver, Written then);
    // One file laid out like all the request's monitors, for desktops that span one image over
    // them (see SpannedImage). With a single monitor, that monitor's own file.
    void WriteSpanned(QObject* receiver, Written then);
    // The window's monitor's file, for desktops that take one image for all.
    void WriteWindowMonitor(QObject* receiver, Written then);

    // Every file written so far, which the desktop may now be showing.
    const std::vector<UserFolder>& AllWritten() const { return written; }

    // Once the request is over: files still being written are handed to nobody.
    void Abandon() { abandoned = true; }

  signals:
    void Failed(const QString& message);

  private:
    void Write(std::vector<BackgroundImageJob> jobs, std::vector<UserFolder> files,
               QObject* receiver, Written then);
    // The job's file, whose path the job then writes to.
    UserFolder FileOf(BackgroundImageJob& job) const;

    const BackgroundRequest request;
    const BackgroundFolder folder{};
    std::vector<UserFolder> written;
    bool abandoned = false;
};

}  // namespace vistrel
