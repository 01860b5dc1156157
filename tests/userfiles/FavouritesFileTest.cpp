#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/Limits.h"
#include "userfiles/FavouritesFile.h"

using vistrel::FavouritesFile;
using vistrel::test::FileSizeCap;

namespace {

using Seeds = std::vector<std::uint32_t>;

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

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
    // Marks are "+seed", unmarks "-seed". A null file is one that does not exist yet.
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
        QCOMPARE(favourites.Load(), QString());
        QCOMPARE(favourites.Seeds(), seedsRead);
        for (const QString& change : changes) {
            const bool mark = change.startsWith(QLatin1Char('+'));
            QCOMPARE(favourites.SetFavourite(change.mid(1).toUInt(), mark), QString());
        }

        QCOMPARE(Contents(path), after);
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
        QCOMPARE(Contents(path), QByteArray("# keep\n1\n"));
        QCOMPARE(QDir(home.path()).entryList(QDir::Files), QStringList{"favourites"});
        QVERIFY(favourites.Contains(2));

        QCOMPARE(favourites.SetFavourite(3, true), QString());
        QCOMPARE(Contents(path), QByteArray("# keep\n1\n2\n3\n"));
    }

    void aFolderThatCannotBeMadeIsReported() {
        QTemporaryDir home;
        QVERIFY(WriteFile(home.filePath(QStringLiteral("plain")), "a file"));
        FavouritesFile favourites(home.filePath(QStringLiteral("plain/vistrel/favourites")));
        QCOMPARE(favourites.Load(), QString());
        QVERIFY(!favourites.SetFavourite(7, true).isEmpty());
        QVERIFY(favourites.Contains(7));
        QCOMPARE(Contents(home.filePath(QStringLiteral("plain"))), QByteArray("a file"));
    }

    // Being root, the test cannot take read permission away: a folder in the file's place, or a
    // file the kernel refuses to read, stands in for it.
    void aFileThatCannotBeReadIsNeverWritten_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("a folder") << QString();
        QTest::newRow("a file that fails to read") << QStringLiteral("/proc/self/mem");
    }

    void aFileThatCannotBeReadIsNeverWritten() {
        QFETCH(QString, path);
        QTemporaryDir home;
        if (path.isEmpty()) {
            path = home.filePath(QStringLiteral("favourites"));
            QVERIFY(QDir(home.path()).mkdir(QStringLiteral("favourites")));
            QVERIFY(QDir(path).mkdir(QStringLiteral("inside")));
        }
        FavouritesFile favourites(path);
        QVERIFY(!favourites.Load().isEmpty());
        QVERIFY(!favourites.SetFavourite(7, true).isEmpty());
        QVERIFY(favourites.Contains(7));
        QVERIFY(QFileInfo(path).isDir() || path.startsWith(QLatin1String("/proc")));
    }
};

QTEST_GUILESS_MAIN(FavouritesFileTest)
#include "FavouritesFileTest.moc"
