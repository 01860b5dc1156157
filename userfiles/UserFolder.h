#pragma once

#include <QByteArray>
#include <QString>

namespace vistrel {

// The user's base folders, as the XDG base directory rules define them.
enum class BaseFolder { Data, Config, State };

// A folder or file below one of the user's base folders. The environment names these in bytes,
// and a name that is not UTF-8 (a home of "/tmp/caf\xe9") is kept byte for byte, so that every
// file lands inside the real folder and never in a look-alike beside it.
class UserFolder {
  public:
    // $XDG_DATA_HOME, $XDG_CONFIG_HOME or $XDG_STATE_HOME when it holds an absolute path, else
    // ~/.local/share, ~/.config or ~/.local/state (the rules ignore a relative value), and below
    // it `relative`, a UTF-8 path of the program's own such as "vistrel/favourites".
    static UserFolder Of(BaseFolder base, const QString& relative = {});

    // `name` inside this folder, a UTF-8 path of the program's own.
    UserFolder Below(const QString& name) const;

    // The path exactly as the environment spells it.
    const QByteArray& Bytes() const { return bytes; }
    // Whether the path is UTF-8, so that settings taking a path as text can name it.
    bool IsUtf8() const;
    // A name Qt's file classes reach the path by. That is the path itself when it is UTF-8; else
    // it goes through a descriptor of its deepest existing folder, held open for as long as that
    // folder is the one of that name, and any folders of it below that whose names are not UTF-8
    // are made (mode 0700) first. Empty when none of that can be had.
    QString FilePath() const;
    // Its file: URI, percent-encoded from the bytes.
    QByteArray Uri() const;
    // The path as the user reads it in a message.
    QString DisplayName() const;

  private:
    explicit UserFolder(QByteArray bytes) : bytes(std::move(bytes)) {}

    QByteArray bytes;
};

}  // namespace vistrel
