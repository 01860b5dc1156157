#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/Files.h"
#include "tests/support/Limits.h"
#include "userfiles/Favourites.h"
#include "userfiles/FavouritesFile.h"

using vistrel::FavouritesFile;
using vistrel::test::FileSizeCap;
using vistrel::test::ReadFile;

namespace {

using Seeds = std::vector<std::uint32_t>;

// A byte string with its NULs, which QByteArray(const char*) would stop at.
template <std::size_t N>
QByteArray Bytes(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

bool WriteFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

}  // namespace

class FavouritesFileTest : public QObject {
    Q_OBJECT

  private slots:
    // Marks are "+seed", unmarks "-seed", made by a second writer of the same file when written
    // "b+seed"; "=text" is a line the user adds by hand. A null file is one that does not exist
    // yet.
    void changesKeepEveryForeignLine_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<Seeds>("seedsRead");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<Seeds>("seedsAfter");
        QTest::newRow("the first mark creates the file and its folder")
            << QByteArray() << QStringList{"+5"} << Seeds{} << QByteArray("5\n") << Seeds{5};
        QTest::newRow("comments, blanks and prose stay where they were")
            << QByteArray("# my lakes\n\n12\nnot a seed\n 7 \n") << QStringList{"+3", "-12"}
            << Seeds{7, 12} << QByteArray("# my lakes\n\nnot a seed\n 7 \n3\n") << Seeds{3, 7};
        QTest::newRow("a seed listed twice counts once, and goes at once")
            << QByteArray("9\n4\n9\n") << QStringList{"-9"} << Seeds{4, 9} << QByteArray("4\n")
            << Seeds{4};
        QTest::newRow("damage and numbers out of range are not seeds")
            << Bytes("32768\n-1\n0x10\n123456\n\xff\xfe\x00\n00042\n4 2\n") << QStringList{"+1"}
            << Seeds{42} << Bytes("32768\n-1\n0x10\n123456\n\xff\xfe\x00\n00042\n4 2\n1\n")
            << Seeds{1, 42};
        QTest::newRow("a last line without a newline")
            << QByteArray("8") << QStringList{"+2"} << Seeds{8} << QByteArray("8\n2\n")
            << Seeds{2, 8};
        QTest::newRow("Windows line ends") << QByteArray("5\r\n# c\r\n") << QStringList{"+6", "-5"}
                                           << Seeds{5} << QByteArray("# c\r\n6\n") << Seeds{6};
        QTest::newRow("seed 0 and the largest seed")
            << QByteArray("0\n") << QStringList{"+32767", "-0"} << Seeds{0} << QByteArray("32767\n")
            << Seeds{32767};
        QTest::newRow("a byte-order mark hides no seed") << QByteArray(
                                                                "\xEF\xBB\xBF"
                                                                "16780\n")
                                                         << QStringList{"+1"} << Seeds{16780}
                                                         << QByteArray(
                                                                "\xEF\xBB\xBF"
                                                                "16780\n1\n")
                                                         << Seeds{1, 16780};
        QTest::newRow("zeros, blanks and a carriage return: unmarking removes every spelling")
            << QByteArray("000044\n46\r\n 48 \n44\n\t0044\r\n") << QStringList{"-44"}
            << Seeds{44, 46, 48} << QByteArray("46\r\n 48 \n") << Seeds{46, 48};
        QTest::newRow("a second writer's marks and a hand edit meanwhile all stay")
            << QByteArray() << QStringList{"+16780", "b+16783", "=# by hand", "+22631", "b-16780"}
            << Seeds{} << QByteArray("16783\n# by hand\n22631\n") << Seeds{16783, 22631};
        QTest::newRow("unmarking the last one leaves an empty file")
            << QByteArray("1\n") << QStringList{"-1"} << Seeds{1} << QByteArray("") << Seeds{};
    }

    void changesKeepEveryForeignLine() {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, changes);
        QFETCH(Seeds, seedsRead);
        QFETCH(QByteArray, after);
        QFETCH(Seeds, seedsAfter);
        QTemporaryDir home;
        const QString path = home.filePath(QStringLiteral("vistrel/favourites"));
        if (!before.isNull()) {
            QVERIFY(QDir(home.path()).mkdir(QStringLiteral("vistrel")));
            QVERIFY(WriteFile(path, before));
        }

        FavouritesFile favourites(path);
        FavouritesFile second(path);
        QCOMPARE(favourites.Load(), QString());
        QCOMPARE(second.Load(), QString());
        QCOMPARE(favourites.Seeds(), seedsRead);
        for (QString change : changes) {
            if (change.startsWith(QLatin1Char('='))) {
                QVERIFY(WriteFile(path, ReadFile(path) + change.mid(1).toUtf8() + '\n'));
                continue;
            }
            FavouritesFile& writer = change.startsWith(QLatin1Char('b')) ? second : favourites;
            change.remove(QLatin1Char('b'));
            const bool mark = change.startsWith(QLatin1Char('+'));
            QCOMPARE(writer.SetFavourite(change.mid(1).toUInt(), mark), QString());
        }
        QCOMPARE(favourites.Refresh(), QString());

        QCOMPARE(ReadFile(path), after);
        QCOMPARE(favourites.Seeds(), seedsAfter);
        for (const std::uint32_t seed : seedsAfter) {
            QVERIFY(favourites.Contains(seed));
        }
        FavouritesFile reread(path);
        QCOMPARE(reread.Load(), QString());
        QCOMPARE(reread.Seeds(), seedsAfter);
        QCOMPARE(QDir(home.filePath(QStringLiteral("vistrel"))).entryList(QDir::Files),
                 QStringList{QStringLiteral("favourites")});
    }

    // Another viewer replaces the file; an editor writes it in place, twice, or makes it anew.
    void changesByOthersAreSeen() {
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
        vistrel::Favourites favourites;
        QSignalSpy changed(&favourites, &vistrel::Favourites::Changed);
        const QString path = home.filePath(QStringLiteral("vistrel/favourites"));
        FavouritesFile other(path);
        QCOMPARE(other.Load(), QString());
        QCOMPARE(other.SetFavourite(16783, true), QString());
        QTRY_VERIFY(favourites.Contains(16783));
        QVERIFY(WriteFile(path, "16783\n22631\n"));
        QTRY_VERIFY(favourites.Contains(22631));
        QVERIFY(WriteFile(path, "22631\n"));
        QTRY_VERIFY(!favourites.Contains(16783));
        QVERIFY(QFile::remove(path));
        QVERIFY(WriteFile(path, "5\n"));
        QTRY_COMPARE(favourites.Seeds(), Seeds{5});
        QVERIFY(changed.count() >= 4);
        qunsetenv("XDG_DATA_HOME");
    }

    void aChangeThatChangesNothingWritesNothing() {
        QTemporaryDir home;
        const QString path = home.filePath(QStringLiteral("favourites"));
        FavouritesFile favourites(path);
        QCOMPARE(favourites.Load(), QString());
        QCOMPARE(favourites.SetFavourite(3, false), QString());
        QCOMPARE(favourites.SetFavourite(32768, true), QString());
        QVERIFY(!QFile::exists(path));
        QVERIFY(!favourites.Contains(32768));
    }

    void aFailedWriteLeavesTheOldFile() {
        QTemporaryDir home;
        const QString path = home.filePath(QStringLiteral("favourites"));
        QVERIFY(WriteFile(path, "# keep\n1\n"));
        FavouritesFile favourites(path);
        QCOMPARE(favourites.Load(), QString());
        {
            const FileSizeCap full(4);
            QVERIFY(!favourites.SetFavourite(2, true).isEmpty());
        }
        QCOMPARE(ReadFile(path), QByteArray("# keep\n1\n"));
        QCOMPARE(QDir(home.path()).entryList(QDir::Files), QStringList{"favourites"});
        QVERIFY(favourites.Contains(2));

        QCOMPARE(favourites.SetFavourite(3, true), QString());
        QCOMPARE(ReadFile(path), QByteArray("# keep\n1\n2\n3\n"));
    }

    void aFolderThatCannotBeMadeIsReported() {
        QTemporaryDir home;
        QVERIFY(WriteFile(home.filePath(QStringLiteral("plain")), "a file"));
        FavouritesFile favourites(home.filePath(QStringLiteral("plain/vistrel/favourites")));
        QCOMPARE(favourites.Load(), QString());
        QVERIFY(!favourites.SetFavourite(7, true).isEmpty());
        QVERIFY(favourites.Contains(7));
        QCOMPARE(ReadFile(home.filePath(QStringLiteral("plain"))), QByteArray("a file"));
    }

    // Being root, the test cannot take read permission away: a folder in the file's place, or a
    // file the kernel refuses to read, stands in for it. Nothing but a plain file of a sensible
    // size is read at all: a FIFO would hang the start, a device or a huge file eat the memory.
    void aFileThatCannotBeReadIsNeverWritten_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("a folder") << QStringLiteral("folder");
        QTest::newRow("a file that fails to read") << QStringLiteral("/proc/self/mem");
        QTest::newRow("a FIFO") << QStringLiteral("fifo");
        QTest::newRow("a link to /dev/zero") << QStringLiteral("zero");
        QTest::newRow("a file over 4 MB") << QStringLiteral("large");
    }

    void aFileThatCannotBeReadIsNeverWritten() {
        QFETCH(QString, path);
        QTemporaryDir home;
        const QString made = home.filePath(QStringLiteral("favourites"));
        if (path == QLatin1String("folder")) {
            QVERIFY(QDir(home.path()).mkdir(QStringLiteral("favourites")));
            QVERIFY(QDir(made).mkdir(QStringLiteral("inside")));
        } else if (path == QLatin1String("fifo")) {
            QCOMPARE(mkfifo(QFile::encodeName(made).constData(), 0600), 0);
        } else if (path == QLatin1String("zero")) {
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), made));
        } else if (path == QLatin1String("large")) {
            QFile large(made);
            QVERIFY(large.open(QIODevice::WriteOnly) && large.write("1\n") == 2);
            QVERIFY(large.resize(FavouritesFile::LargestFile + 1));
        }
        if (!path.startsWith(QLatin1Char('/'))) {
            path = made;
        }
        struct stat before {};
        QCOMPARE(lstat(QFile::encodeName(path).constData(), &before), 0);
        FavouritesFile favourites(path);
        QVERIFY(!favourites.Load().isEmpty());
        QVERIFY(!favourites.SetFavourite(7, true).isEmpty());
        QVERIFY(favourites.Contains(7));
        struct stat after {};
        QCOMPARE(lstat(QFile::encodeName(path).constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_size, before.st_size);
    }
};

QTEST_GUILESS_MAIN(FavouritesFileTest)
#include "FavouritesFileTest.moc"
