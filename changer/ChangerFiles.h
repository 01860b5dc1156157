#pragma once

#include <QCoreApplication>
#include <QString>
#include <functional>

#include "changer/ChangerSettings.h"
#include "changer/ChangerState.h"

namespace vistrel {

// What a file held, or the defaults, and why it was not used; empty when it was, or when there
// was no file yet.
template <typename Contents>
struct Loaded {
    Contents contents;
    QString failure;
};

// The settings the viewer's dialog writes and the agent follows, in
// $XDG_CONFIG_HOME/vistrel/background.
class SettingsFile {
    Q_DECLARE_TR_FUNCTIONS(SettingsFile)

  public:
    // The user's own file.
    SettingsFile();
    explicit SettingsFile(QString path) : path(std::move(path)) {}

    const QString& Path() const { return path; }
    // A damaged file gives the defaults with the reason, and is replaced by the next Save.
    Loaded<ChangerSettings> Load() const;
    // Replaces the file whole; returns why it could not, or an empty string.
    QString Save(const ChangerSettings& settings) const;

  private:
    QString path;
};

// What the changer has done, in $XDG_STATE_HOME/vistrel/background-state. The agent and the
// verbs run without it may change it at the same time, so every change is made under a lock,
// to what the file holds at that moment.
class StateFile {
    Q_DECLARE_TR_FUNCTIONS(StateFile)

  public:
    using Change = std::function<void(ChangerState&)>;

    // The user's own file; a fresh state starts the series of `now`.
    explicit StateFile(WallTime now);
    StateFile(QString path, WallTime now) : path(std::move(path)), now(now) {}

    const QString& Path() const { return path; }
    // A missing file is a fresh state; a damaged one is a fresh state with the reason.
    Loaded<ChangerState> Load() const;
    struct Updated {
        ChangerState state;
        // Why what the file held was not used; the file is replaced all the same, so a damaged
        // one is reported once.
        QString damage;
        // Why the change could not be made; the file is as it was.
        QString failure;
    };

    // Applies `change` to what the file holds now (a fresh state in place of a damaged one) and
    // replaces it with the result.
    Updated Update(const Change& change) const;

  private:
    QString path;
    WallTime now;
};

// The XDG autostart entry that starts `vistrel-background run` when the user logs in, in
// $XDG_CONFIG_HOME/autostart/.
class AutostartEntry {
    Q_DECLARE_TR_FUNCTIONS(AutostartEntry)

  public:
    AutostartEntry();
    explicit AutostartEntry(QString path) : path(std::move(path)) {}

    const QString& Path() const { return path; }
    bool Exists() const;
    // Writes the entry to start `program` (an absolute path, or a name found in PATH). Returns
    // why it could not, or an empty string.
    QString Write(const QString& program) const;
    // Returns why it could not be removed, or an empty string; no entry is nothing to remove.
    QString Remove() const;

  private:
    QString path;
};

}  // namespace vistrel
