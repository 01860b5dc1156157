#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QTest>

#include "ProgramIdentity.h"
#include "ViewerApp.h"

using vistrel::ViewerApp;

// The running program must carry the names its installed files use, or desktops show it as an
// unknown window with a generic icon.
class ProgramIdentityTest : public QObject {
    Q_OBJECT

  private slots:
    void theWindowNamesTheInstalledDesktopEntry() {
        const QFileInfo entry(QStringLiteral(DESKTOP_ENTRY_PATH));
        QCOMPARE(ViewerApp::desktopFileName() + QStringLiteral(".desktop"), entry.fileName());

        QFile file(entry.filePath());
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const QString iconLine = QStringLiteral("Icon=") + ViewerApp::desktopFileName();
        QVERIFY(QString::fromUtf8(file.readAll()).split(u'\n').contains(iconLine));
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
        const QPixmap icon = box.windowIcon().pixmap(QSize(side, side), 1.0);
        QCOMPARE(icon.size(), QSize(side, side));
        QVERIFY(box.windowIcon().availableSizes().contains(QSize(side, side)));
    }
};

int main(int argc, char** argv) {
    ViewerApp app(argc, argv);
    ProgramIdentityTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ProgramIdentityTest.moc"
