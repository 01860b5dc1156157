// The real application object under the locale its test sets: the program's texts and Qt's own
// in Chinese for a Chinese locale, else in English. Argument 1 names the language expected.
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "about/AboutDialog.h"
#include "app/ViewerApp.h"
#include "tests/viewer/ViewerTestSupport.h"
#include "userfiles/Favourites.h"
#include "viewer/ViewerDialog.h"
#include "viewer/ViewerServices.h"

namespace vistrel {
class LanguageTest : public QObject {
    Q_OBJECT

  public:
    explicit LanguageTest(bool chinese) : chinese(chinese) {}

  private slots:
    void viewerSpeaksTheLanguage_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chineseText");
        QTest::newRow("Previous") << "previousButton"
                                  << "Previous" << QStringLiteral("上一张");
        QTest::newRow("Next") << "nextButton"
                              << "Next" << QStringLiteral("下一张");
        QTest::newRow("Auto") << "autoButton"
                              << "Auto" << QStringLiteral("自动");
        QTest::newRow("Stop") << "stopButton"
                              << "Stop" << QStringLiteral("停止");
        QTest::newRow("Interval") << "intervalLabel"
                                  << "Interval:" << QStringLiteral("间隔：");
        QTest::newRow("seconds") << "secondsLabel"
                                 << "seconds" << QStringLiteral("秒");
    }

    void viewerSpeaksTheLanguage() {
        QFETCH(QString, control);
        QFETCH(QString, english);
        QFETCH(QString, chineseText);
        test::FakeViewerServices services{1765432109};
        vistrel::Favourites favourites;
        ViewerDialog viewer(services, favourites);
        QCOMPARE(viewer.windowTitle(), QString("Vistrel"));
        const auto* widget = viewer.findChild<QWidget*>(control);
        QVERIFY(widget);
        const QString text = qobject_cast<const QPushButton*>(widget)
                                 ? qobject_cast<const QPushButton*>(widget)->text()
                                 : qobject_cast<const QLabel*>(widget)->text();
        QCOMPARE(text, chinese ? chineseText : english);
    }

    // The About box keeps its fixed layout: every translated line must fit where it stands.
    void aboutBoxSpeaksTheLanguageAndFits() {
        test::FakeViewerServices services{1765432109};
        AboutDialog about(services);
        QCOMPARE(about.windowTitle(), chinese ? QStringLiteral("关于Vistrel") : "About Vistrel");
        QCOMPARE(about.findChild<QPushButton*>("okButton")->text(),
                 chinese ? QStringLiteral("确定") : "OK");
        for (const QLabel* label : about.findChildren<QLabel*>()) {
            const QFontMetrics metrics(label->font());
            QVERIFY2(label->width() >= metrics.horizontalAdvance(label->text()),
                     qPrintable(label->objectName()));
        }
    }

    // Qt's own buttons come from Qt's translations, installed with the system's Qt.
    void qtDialogsSpeakTheLanguage() {
        QMessageBox box(QMessageBox::Question, "Vistrel", "?", QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Cancel)->text(),
                 chinese ? QStringLiteral("取消") : "Cancel");
    }

  private:
    bool chinese;
};

}  // namespace vistrel

int main(int argc, char** argv) {
    if (argc < 2) {
        qCritical("usage: %s zh_CN|en [Qt Test options]", argv[0]);
        return 2;
    }
    const bool chinese = qstrcmp(argv[1], "zh_CN") == 0;
    argv[1] = argv[0];
    --argc;
    ++argv;
    vistrel::ViewerApp app(argc, argv);
    vistrel::LanguageTest test(chinese);
    return QTest::qExec(&test, argc, argv);
}

#include "LanguageTest.moc"
