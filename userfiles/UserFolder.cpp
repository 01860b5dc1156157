#include "userfiles/UserFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QStringDecoder>
#include <cerrno>
#include <map>

namespace vistrel {
namespace {

struct BaseFolderRule {
    const char* variable;
    const char* underHome;
};

BaseFolderRule RuleOf(BaseFolder base) {
    switch (base) {
        case BaseFolder::Data:
            return {"XDG_DATA_HOME", "/.local/share"};
        case BaseFolder::Config:
            return {"XDG_CONFIG_HOME", "/.config"};
        case BaseFolder::State:
            return {"XDG_STATE_HOME", "/.local/state"};
    }
    return {"XDG_DATA_HOME", "/.local/share"};
}

bool IsUtf8Text(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

bool IsFolder(const QByteArray& path) {
    struct stat info {};
    return stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Whether the descriptor still holds the folder that the path names now.
bool StillNames(int fd, const QByteArray& path) {
    struct stat held {};
    struct stat named {};
    return fstat(fd, &held) == 0 && stat(path.constData(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// The descriptors of folders with names Qt cannot spell, opened once each and closed with the
// process.
class HeldFolders {
  public:
    ~HeldFolders() {
        for (const auto& [path, fd] : descriptors) {
            close(fd);
        }
    }

    // "/proc/self/fd/N" for the folder, or empty when it cannot be opened.
    QString Reach(const QByteArray& folder) {
        const QMutexLocker guard(&lock);
        auto held = descriptors.find(folder);
        // A folder removed or replaced since is opened anew.
        if (held != descriptors.end() && !StillNames(held->second, folder)) {
            close(held->second);
            descriptors.erase(held);
            held = descriptors.end();
        }
        if (held == descriptors.end()) {
            const int fd = open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            if (fd < 0) {
                return {};
            }
            held = descriptors.emplace(folder, fd).first;
        }
        return QStringLiteral("/proc/self/fd/") + QString::number(held->second);
    }

  private:
    QMutex lock;
    std::map<QByteArray, int> descriptors;
};

HeldFolders& Held() {
    static HeldFolders folders;
    return folders;
}

}  // namespace

UserFolder UserFolder::Of(BaseFolder base, const QString& relative) {
    const BaseFolderRule rule = RuleOf(base);
    QByteArray folder = qgetenv(rule.variable);
    if (!folder.startsWith('/')) {
        folder = qgetenv("HOME");
        if (!folder.startsWith('/')) {
            folder = QFile::encodeName(QDir::homePath());
        }
        folder += rule.underHome;
    }
    if (!relative.isEmpty()) {
        folder += '/' + relative.toUtf8();
    }
    return UserFolder(folder);
}

UserFolder UserFolder::Below(const QString& name) const {
    return UserFolder(bytes + '/' + name.toUtf8());
}

bool UserFolder::IsUtf8() const {
    return IsUtf8Text(bytes);
}

QString UserFolder::FilePath() const {
    if (IsUtf8()) {
        return QString::fromUtf8(bytes);
    }
    // The deepest folder of the path that exists, and the rest below it.
    qsizetype split = bytes.size();
    while (split > 0 && !IsFolder(bytes.left(split))) {
        split = bytes.lastIndexOf('/', split - 1);
    }
    QByteArray existing = split > 0 ? bytes.left(split) : QByteArray("/");
    QByteArray rest = bytes.mid(split);
    // Folders whose names Qt cannot spell are made here, one by one, until the rest is UTF-8.
    while (!IsUtf8Text(rest)) {
        const qsizetype next = rest.indexOf('/', 1);
        const QByteArray component = next < 0 ? rest : rest.left(next);
        const QByteArray made = existing == "/" ? component : existing + component;
        if (mkdir(made.constData(), 0700) != 0 && errno != EEXIST) {
            return {};
        }
        existing = made;
        rest = next < 0 ? QByteArray() : rest.mid(next);
    }
    const QString reached = Held().Reach(existing);
    return reached.isEmpty() ? QString() : reached + QString::fromUtf8(rest);
}

QByteArray UserFolder::Uri() const {
    // The characters a path keeps unescaped in a URI, as QUrl writes a local file's.
    return "file://" + bytes.toPercentEncoding("/!$&'()*+,;=:@");
}

QString UserFolder::DisplayName() const {
    return QDir::toNativeSeparators(QFile::decodeName(bytes));
}

}  // namespace vistrel
