#include <QDialog>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QPointer>
#include <QRawFont>
#include <QTest>
#include <QTextLayout>
#include <QToolTip>

#include "about/AboutDialog.h"
#include "about/AboutIcon.h"
#include "tests/about/LinkFakes.h"
#include "tests/about/NextWindow.h"

namespace vistrel {

// A window like the viewer, with the icon in its corner.
struct ViewerFixture {
    ViewerFixture() {
        viewer.setWindowTitle("Vistrel");
        viewer.resize(788, 328);
        icon->setGeometry(734, 14, 40, 40);
    }

    FakeErrorReporter desktop;
    QDialog viewer;
    AboutIcon* icon = new AboutIcon(&viewer);
};

class AboutIconTest : public QObject {
    Q_OBJECT

  private slots:
    void tooltipNamesTheWindowAsItWasAtBinding() {
        ViewerFixture fixture;
        QVERIFY(fixture.icon->toolTip().isEmpty());
        fixture.icon->Bind(fixture.desktop);
        fixture.viewer.setWindowTitle("Renamed");
        QCOMPARE(fixture.icon->toolTip(), QStringLiteral("关于Vistrel"));
        QCOMPARE(fixture.icon->cursor().shape(), Qt::PointingHandCursor);
    }

    void tooltipCharactersHaveGlyphs() {
        QTextLayout layout(QStringLiteral("关于Vistrel"), QToolTip::font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        int glyphs = 0;
        for (const QGlyphRun& run : layout.glyphRuns()) {
            for (const quint32 glyph : run.glyphIndexes()) {
                QVERIFY2(glyph != 0, qPrintable(run.rawFont().familyName()));
                ++glyphs;
            }
        }
        QCOMPARE(glyphs, 9);
    }

    void clickOpensAFreshAboutBoxModallyOverTheWindow() {
        ViewerFixture fixture;
        fixture.icon->Bind(fixture.desktop);
        fixture.viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fixture.viewer));
        for (int opening = 0; opening < 2; ++opening) {
            QPointer<AboutDialog> opened;
            bool modal = false;
            QWidget* owner = nullptr;
            HandleNextWindow<AboutDialog>([&](AboutDialog* dialog) {
                opened = dialog;
                modal = QApplication::activeModalWidget() == dialog;
                owner = dialog->parentWidget();
                dialog->reject();
            });
            QTest::mouseClick(fixture.icon, Qt::LeftButton);
            QVERIFY(modal);
            QCOMPARE(owner, &fixture.viewer);
            QVERIFY2(opened.isNull(), "the About box outlived its click");
        }
    }

    void unboundIconIsPlain() {
        ViewerFixture fixture;
        bool opened = false;
        HandleNextWindow<AboutDialog>([&](AboutDialog* dialog) {
            opened = true;
            dialog->reject();
        });
        QTest::mouseClick(fixture.icon, Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!opened);
        QVERIFY(!fixture.icon->testAttribute(Qt::WA_SetCursor));
    }
};

}  // namespace vistrel

QTEST_MAIN(vistrel::AboutIconTest)
#include "AboutIconTest.moc"
