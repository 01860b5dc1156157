#include "tests/links/DesktopSandbox.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTest>

namespace vistrel {
namespace {

constexpr int RecordingTimeoutMs = 5000;

}  // namespace

DesktopSandbox::DesktopSandbox() {
    const QDir dir(root.path());
    valid = root.isValid() && dir.mkpath("data/applications") && dir.mkpath("config") &&
            dir.mkpath("home");
    // Written to a side file and renamed, so that a finished recording appears all at once.
    const QByteArray recorder = "#!/bin/sh\nout='" + Path("recorded").toUtf8() +
                                "'\n"
                                "for argument in \"$@\"; do printf '%s\\0' \"$argument\"; done "
                                "> \"$out.part\"\n"
                                "mv \"$out.part\" \"$out\"\n";
    valid = valid && WriteFile("recorder", recorder, true) &&
            WriteFile("cannot-start", "#!/nonexistent/interpreter\n", true);
}

void DesktopSandbox::SetRecorderDefault(const QString& mimeType, const QString& execArguments,
                                        const QString& listedTypes, bool needsTerminal) {
    AddDefault(mimeType, '"' + Path("recorder") + "\" " + execArguments,
               listedTypes.isEmpty() ? mimeType : listedTypes, needsTerminal);
}

void DesktopSandbox::SetBrokenDefault(const QString& mimeType) {
    AddDefault(mimeType, '"' + Path("cannot-start") + "\" %u", mimeType, false);
}

void DesktopSandbox::DeclareSubclass(const QString& type, const QString& parent) {
    valid = valid && QDir(root.path()).mkpath("data/mime") &&
            WriteFile("data/mime/subclasses", type.toUtf8() + ' ' + parent.toUtf8() + '\n');
}

void DesktopSandbox::AddDefault(const QString& mimeType, const QString& exec,
                                const QString& listedTypes, bool needsTerminal) {
    const QString entry = QStringLiteral("handler-%1.desktop").arg(defaults.size());
    defaults.insert(mimeType, entry);
    valid = valid && WriteFile("data/applications/" + entry,
                               "[Desktop Entry]\nType=Application\nName=Handler\nExec=" +
                                   exec.toUtf8() + "\nMimeType=" + listedTypes.toUtf8() +
                                   ";\nTerminal=" + (needsTerminal ? "true" : "false") + "\n");
    QByteArray list = "[Default Applications]\n";
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it) {
        list += it.key().toUtf8() + '=' + it.value().toUtf8() + '\n';
    }
    valid = valid && WriteFile("config/mimeapps.list", list);
}

QProcessEnvironment DesktopSandbox::Environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", Path("home"));
    environment.insert("XDG_DATA_HOME", Path("data"));
    environment.insert("XDG_DATA_DIRS", Path("data"));
    environment.insert("XDG_CONFIG_HOME", Path("config"));
    environment.insert("XDG_CONFIG_DIRS", Path("config"));
    environment.insert("GIO_USE_VFS", "local");
    environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + Path("no-bus"));
    for (const char* name : {"XDG_CURRENT_DESKTOP", "DISPLAY", "WAYLAND_DISPLAY"}) {
        environment.remove(name);
    }
    return environment;
}

void DesktopSandbox::ApplyToThisProcess() const {
    const QProcessEnvironment environment = Environment();
    for (const char* name : {"XDG_CURRENT_DESKTOP", "DISPLAY", "WAYLAND_DISPLAY"}) {
        qunsetenv(name);
    }
    for (const QString& name : environment.keys()) {
        qputenv(name.toLocal8Bit().constData(), environment.value(name).toLocal8Bit());
    }
}

bool DesktopSandbox::WaitForRecording() const {
    const QDeadlineTimer deadline(RecordingTimeoutMs);
    while (!QFile::exists(Path("recorded"))) {
        if (deadline.hasExpired()) {
            return false;
        }
        QTest::qWait(10);
    }
    return true;
}

QStringList DesktopSandbox::RecordedArguments() const {
    QFile recording(Path("recorded"));
    if (!recording.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringList arguments;
    for (const QByteArray& argument : recording.readAll().split('\0')) {
        arguments << QString::fromUtf8(argument);
    }
    arguments.removeLast();  // after the terminator of the last argument
    return arguments;
}

void DesktopSandbox::ForgetRecording() const {
    QFile::remove(Path("recorded"));
}

QString DesktopSandbox::InjectionMarker() const {
    return Path("injected");
}

QString DesktopSandbox::Path(const QString& name) const {
    return root.filePath(name);
}

bool DesktopSandbox::WriteFile(const QString& name, const QByteArray& contents, bool executable) {
    QFile file(Path(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(contents) != contents.size()) {
        return false;
    }
    return !executable ||
           file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeUser);
}

}  // namespace vistrel
