#include "changer/LimitedRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <cerrno>

namespace vistrel {
namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(LimitedRead)
};

}  // namespace

ReadResult ReadLimited(const QString& path, qint64 limit) {
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return {};
        }
        return {std::nullopt, qt_error_string(errno)};
    }
    QFile file;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !file.open(fd, QIODevice::ReadOnly, QFile::AutoCloseHandle)) {
        const QString reason = qt_error_string(errno);
        close(fd);
        return {std::nullopt, reason};
    }
    if (!S_ISREG(info.st_mode)) {
        return {std::nullopt, Texts::tr("it is not a plain file")};
    }
    // One byte more than allowed tells a file that is too large, or grew while it was read.
    const QByteArray bytes = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError) {
        return {std::nullopt, file.errorString()};
    }
    if (bytes.size() > limit) {
        return {std::nullopt, Texts::tr("it is larger than %n bytes", nullptr, int(limit))};
    }
    return {bytes, {}};
}

}  // namespace vistrel
