#include "changer/ChangerFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include "changer/LimitedRead.h"
#include "userfiles/ReplaceFile.h"
#include "userfiles/UserFolder.h"

namespace vistrel {
namespace {

// Far above what the files hold (a state of a full round of favourites is about 200 kB); a
// larger file is damage, not read, so a mistake cannot eat the memory.
constexpr qint64 LargestFile = 512 * 1024;
// How long a change waits for another process's change to the state.
constexpr int LockWaitMilliseconds = 5000;

QString MakeFolderFor(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        return QCoreApplication::translate("ChangerFiles", "the folder %1 could not be created")
            .arg(QDir::toNativeSeparators(folder));
    }
    return {};
}

QString ReplaceWith(const QString& path, const QByteArray& text) {
    if (QString failure = MakeFolderFor(path); !failure.isEmpty()) {
        return failure;
    }
    return ReplaceFile(path, text);
}

// The file's contents as `parse` reads them, or `fallback` with the reason.
template <typename Contents, typename Parse>
Loaded<Contents> LoadFile(const QString& path, Contents fallback, const Parse& parse) {
    const ReadResult read = ReadLimited(path, LargestFile);
    if (!read.failure.isEmpty()) {
        return {std::move(fallback), read.failure};
    }
    if (!read.bytes) {
        return {std::move(fallback), {}};
    }
    if (auto contents = parse(*read.bytes)) {
        return {std::move(*contents), {}};
    }
    return {std::move(fallback),
            QCoreApplication::translate("ChangerFiles", "it is damaged, so it starts afresh")};
}

// One argument of a desktop entry's Exec: quoted, with the quoting rule's escapes, then the
// backslashes of those escaped again by the rule for every string value, and '%' doubled.
QString ExecArgument(const QString& argument) {
    QString quoted;
    for (const QChar c : argument) {
        if (c == u'\\') {
            quoted += QStringLiteral("\\\\\\\\");
        } else if (c == u'"' || c == u'`' || c == u'$') {
            quoted += QStringLiteral("\\\\") + c;
        } else {
            quoted += c == u'%' ? QStringLiteral("%%") : QString(c);
        }
    }
    return u'"' + quoted + u'"';
}

QString PathIn(BaseFolder base, const QString& relative) {
    return UserFolder::Of(base, relative).FilePath();
}

}  // namespace

SettingsFile::SettingsFile()
    : path(PathIn(BaseFolder::Config, QStringLiteral("vistrel/background"))) {}

Loaded<ChangerSettings> SettingsFile::Load() const {
    return LoadFile(path, ChangerSettings{}, ParseSettings);
}

QString SettingsFile::Save(const ChangerSettings& settings) const {
    return ReplaceWith(path, SettingsText(settings));
}

StateFile::StateFile(WallTime now)
    : path(PathIn(BaseFolder::State, QStringLiteral("vistrel/background-state"))), now(now) {}

Loaded<ChangerState> StateFile::Load() const {
    return LoadFile(path, FreshState(now), ParseState);
}

StateFile::Updated StateFile::Update(const Change& change) const {
    if (QString failure = MakeFolderFor(path); !failure.isEmpty()) {
        return {Load().contents, {}, failure};
    }
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(LockWaitMilliseconds)) {
        return {Load().contents, {}, tr("another program kept the file locked")};
    }
    Loaded<ChangerState> loaded = Load();
    Updated updated{loaded.contents, loaded.failure, {}};
    change(updated.state);
    updated.failure = ReplaceFile(path, StateText(updated.state));
    if (!updated.failure.isEmpty()) {
        updated.state = std::move(loaded.contents);
    }
    return updated;
}

AutostartEntry::AutostartEntry()
    : path(PathIn(BaseFolder::Config, QStringLiteral("autostart/vistrel-background.desktop"))) {}

bool AutostartEntry::Exists() const {
    return QFileInfo::exists(path);
}

QString AutostartEntry::Write(const QString& program) const {
    const QByteArray entry =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Vistrel background\n"
        "Comment=" +
        tr("Changes the desktop background to a Vistrel landscape on a schedule").toUtf8() +
        "\n"
        "Exec=" +
        ExecArgument(program).toUtf8() +
        " run\n"
        "NoDisplay=true\n"
        "X-GNOME-Autostart-enabled=true\n";
    return ReplaceWith(path, entry);
}

QString AutostartEntry::Remove() const {
    QFile file(path);
    if (!file.exists() || file.remove()) {
        return {};
    }
    return file.errorString();
}

}  // namespace vistrel
