#pragma once

#include <QMap>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace vistrel {

// A private desktop for opening links: its own XDG data and config directories, home and
// mimeapps.list, with handlers that record the arguments they are started with.
class DesktopSandbox {
  public:
    DesktopSandbox();

    bool IsValid() const { return valid; }

    // Makes a recorder the default handler of mimeType (a MIME type such as text/html or
    // x-scheme-handler/http); its desktop entry runs the recorder with execArguments and lists
    // listedTypes (mimeType when empty) as the types it handles.
    void SetRecorderDefault(const QString& mimeType, const QString& execArguments,
                            const QString& listedTypes = {}, bool needsTerminal = false);
    // Tells the desktop's MIME database that type is a kind of parent (as text/html is a kind of
    // text/plain).
    void DeclareSubclass(const QString& type, const QString& parent);
    // Makes a handler whose program exists but cannot be started the default of mimeType.
    void SetBrokenDefault(const QString& mimeType);

    // The environment under which GIO sees only this desktop and needs no session bus.
    QProcessEnvironment Environment() const;
    void ApplyToThisProcess() const;

    // Whether the recorder has finished a run, waiting a few seconds at most for it.
    bool WaitForRecording() const;
    QStringList RecordedArguments() const;
    void ForgetRecording() const;

    // A path that a target can try to create by smuggling in shell commands.
    QString InjectionMarker() const;

  private:
    QString Path(const QString& name) const;
    void AddDefault(const QString& mimeType, const QString& exec, const QString& listedTypes,
                    bool needsTerminal);
    bool WriteFile(const QString& name, const QByteArray& contents, bool executable = false);

    QTemporaryDir root;
    QMap<QString, QString> defaults;
    bool valid = false;
};

}  // namespace vistrel
