#include <dirent.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "userfiles/UserFolder.h"

using vistrel::BaseFolder;
using vistrel::UserFolder;

namespace {

bool IsFolder(const QByteArray& path) {
    struct stat info {};
    return stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The names in a folder, as bytes: QDir would spell a name that is not UTF-8 otherwise.
QByteArrayList Entries(const QByteArray& folder) {
    QByteArrayList names;
    if (DIR* listing = opendir(folder.constData())) {
        while (const dirent* entry = readdir(listing)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..") {
                names.append(name);
            }
        }
        closedir(listing);
    }
    return names;
}

// Sets the variables for one test, and takes them back after it.
class Environment {
  public:
    void Set(const char* name, const QByteArray& value) {
        saved.emplace_back(name, qgetenv(name), qEnvironmentVariableIsSet(name));
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    ~Environment() {
        for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
            const auto& [name, value, wasSet] = *it;
            wasSet ? qputenv(name, value) : qunsetenv(name);
        }
    }

  private:
    std::vector<std::tuple<const char*, QByteArray, bool>> saved;
};

}  // namespace

class UserFolderTest : public QObject {
    Q_OBJECT

  private slots:
    void theBaseFoldersFollowTheRules_data() {
        QTest::addColumn<int>("base");
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<QByteArray>("expected");
        const auto data = static_cast<int>(BaseFolder::Data);
        const auto config = static_cast<int>(BaseFolder::Config);
        const auto state = static_cast<int>(BaseFolder::State);
        QTest::newRow("data, set") << data << QByteArray("/x/data") << QByteArray("/x/data/v/f");
        QTest::newRow("data, unset")
            << data << QByteArray() << QByteArray("/h %2/.local/share/v/f");
        QTest::newRow("data, empty")
            << data << QByteArray("") << QByteArray("/h %2/.local/share/v/f");
        QTest::newRow("data, relative: ignored")
            << data << QByteArray("rel") << QByteArray("/h %2/.local/share/v/f");
        QTest::newRow("config, relative: ignored")
            << config << QByteArray("./conf") << QByteArray("/h %2/.config/v/f");
        QTest::newRow("state, unset")
            << state << QByteArray() << QByteArray("/h %2/.local/state/v/f");
        QTest::newRow("state, set") << state << QByteArray("/s") << QByteArray("/s/v/f");
    }

    void theBaseFoldersFollowTheRules() {
        QFETCH(int, base);
        QFETCH(QByteArray, variable);
        QFETCH(QByteArray, expected);
        const char* names[] = {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME"};
        Environment environment;
        environment.Set("HOME", "/h %2");
        for (const char* name : names) {
            environment.Set(name, QByteArray());
        }
        environment.Set(names[base], variable);
        const UserFolder folder = UserFolder::Of(static_cast<BaseFolder>(base), "v/f");
        QCOMPARE(folder.Bytes(), expected);
        QCOMPARE(folder.FilePath(), QString::fromUtf8(expected));
    }

    // Qt spells a name that is not UTF-8 with U+FFFD, which is another folder: the file must
    // land in the real one, and its URI name the real bytes.
    void aHomeThatIsNotUtf8IsTheRealFolder_data() {
        QTest::addColumn<bool>("homeExists");
        QTest::addColumn<bool>("remadeMeanwhile");
        QTest::newRow("an existing home") << true << false;
        QTest::newRow("a home not made yet") << false << false;
        QTest::newRow("a home removed and made anew after its first use") << true << true;
    }

    void aHomeThatIsNotUtf8IsTheRealFolder() {
        QFETCH(bool, homeExists);
        QFETCH(bool, remadeMeanwhile);
        QTemporaryDir scratch;
        const QByteArray home = QFile::encodeName(scratch.path()) + "/caf\xe9";
        if (homeExists) {
            QCOMPARE(mkdir(home.constData(), 0700), 0);
        }
        Environment environment;
        environment.Set("HOME", home);
        environment.Set("XDG_DATA_HOME", QByteArray());
        const UserFolder file = UserFolder::Of(BaseFolder::Data, "vistrel/favourites");
        QCOMPARE(file.Bytes(), home + "/.local/share/vistrel/favourites");
        QCOMPARE(file.Uri(), "file://" + QFile::encodeName(scratch.path()) +
                                 "/caf%E9/.local/share/vistrel/favourites");

        if (remadeMeanwhile) {
            QVERIFY(!file.FilePath().isEmpty());
            const QByteArray away = QFile::encodeName(scratch.path()) + "/away";
            QCOMPARE(rename(home.constData(), away.constData()), 0);
            QCOMPARE(mkdir(home.constData(), 0700), 0);
            QCOMPARE(rmdir(away.constData()), 0);
        }
        const QString path = file.FilePath();
        QVERIFY(!path.isEmpty());
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile written(path);
        QVERIFY(written.open(QIODevice::WriteOnly) && written.write("7\n") == 2);
        written.close();
        struct stat info {};
        QCOMPARE(stat(file.Bytes().constData(), &info), 0);
        QCOMPARE(info.st_size, 2);
        QCOMPARE(Entries(QFile::encodeName(scratch.path())), QByteArrayList{"caf\xe9"});
        QVERIFY(IsFolder(home));
    }
};

QTEST_GUILESS_MAIN(UserFolderTest)
#include "UserFolderTest.moc"
