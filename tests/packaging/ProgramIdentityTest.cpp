#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMessageBox>
#include <QTest>

#include "app/ViewerApp.h"
#include "res/ProgramIdentity.h"

using vistrel::ViewerApp;

namespace {

QHash<QString, QString> ReadDesktopEntry(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    QHash<QString, QString> entry;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0) {
            entry.insert(line.left(equals), line.mid(equals + 1));
        }
    }
    return entry;
}

}  // namespace

// The running program must carry the names its installed files use, or desktops show it as an
// unknown window with a generic icon.
class ProgramIdentityTest : public QObject {
    Q_OBJECT

  private slots:
    void theDesktopEntryIsNamedByTheWindowsDesktopFileName() {
        QCOMPARE(ViewerApp::desktopFileName() + QStringLiteral(".desktop"),
                 QFileInfo(QStringLiteral(DESKTOP_ENTRY_PATH)).fileName());
    }

    // Wayland desktops match a window to its entry by the desktop file name, X11 ones by the
    // window's class, which is the program file's name; the icons are installed under the id.
    void theDesktopEntryNamesTheWindow_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("Icon") << "Icon" << ViewerApp::desktopFileName();
        QTest::newRow("StartupWMClass") << "StartupWMClass" << QStringLiteral(PROGRAM_FILE_NAME);
        QTest::newRow("Exec") << "Exec" << QStringLiteral(PROGRAM_FILE_NAME);
    }

    void theDesktopEntryNamesTheWindow() {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QCOMPARE(ReadDesktopEntry(QStringLiteral(DESKTOP_ENTRY_PATH)).value(key), value);
    }

    void everyWindowCarriesEveryIconSize_data() {
        QTest::addColumn<int>("side");
        for (const int side : vistrel::ProgramIconSides) {
            QTest::addRow("%d px", side) << side;
        }
    }

    void everyWindowCarriesEveryIconSize() {
        QFETCH(int, side);
        const QMessageBox box;
        const QIcon icon = box.windowIcon();
        QVERIFY(icon.availableSizes().contains(QSize(side, side)));
        QCOMPARE(icon.pixmap(QSize(side, side), 1.0).size(), QSize(side, side));
    }
};

int main(int argc, char** argv) {
    ViewerApp app(argc, argv);
    ProgramIdentityTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ProgramIdentityTest.moc"
