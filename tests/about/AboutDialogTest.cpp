#include <QFontMetrics>
#include <QPushButton>
#include <QTest>

#include "about/AboutDialog.h"
#include "about/LinkLabel.h"
#include "tests/about/LinkFakes.h"
#include "tests/about/NextWindow.h"

namespace vistrel {

class AboutDialogTest : public QObject {
    Q_OBJECT

  private:
    template <typename Widget = QLabel>
    static Widget* Child(const AboutDialog& dialog, const char* name) {
        auto* child = dialog.findChild<Widget*>(name);
        if (child == nullptr) {
            qWarning() << "no" << name;
        }
        return child;
    }

  private:
    // The links' beeps; no test here clicks a link.
    FakeErrorReporter desktop;

  private slots:
    void showsNameVersionAndCaption() {
        AboutDialog dialog(desktop);
        QCOMPARE(dialog.windowTitle(), QString("About Vistrel"));
        QLabel* version = Child(dialog, "versionLine");
        QVERIFY(version);
        QCOMPARE(version->text(), QString("Vistrel for Win 9x & NT Version 1.00"));
        QCOMPARE(version->textFormat(), Qt::PlainText);
        QLabel* icon = Child(dialog, "programIcon");
        QVERIFY(icon);
        QCOMPARE(icon->pixmap().size(), QSize(32, 32));
        QCOMPARE(icon->pos(), QPoint(14, 116));
    }

    void captionsAreRightAlignedAgainstTheirValues_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("captionText");
        QTest::newRow("author") << "authorCaption"
                                << "authorName"
                                << "Author:";
        QTest::newRow("email") << "emailCaption"
                               << "mailLink"
                               << "Email:";
        QTest::newRow("homepage") << "homepageCaption"
                                  << "webLink"
                                  << "Homepage:";
    }

    void captionsAreRightAlignedAgainstTheirValues() {
        QFETCH(QString, caption);
        QFETCH(QString, value);
        QFETCH(QString, captionText);
        AboutDialog dialog(desktop);
        QLabel* captionLabel = Child(dialog, caption.toLatin1());
        QLabel* valueLabel = Child(dialog, value.toLatin1());
        QVERIFY(captionLabel && valueLabel);
        QCOMPARE(captionLabel->text(), captionText);
        QVERIFY(captionLabel->alignment() & Qt::AlignRight);
        QCOMPARE(captionLabel->geometry().x() + captionLabel->width(), 138);
        QCOMPARE(valueLabel->x(), 142);
        QCOMPARE(valueLabel->y(), captionLabel->y());
    }

    void contactLinesAreLinksToWhatTheyShow() {
        AboutDialog dialog(desktop);
        auto* mail = Child<LinkLabel>(dialog, "mailLink");
        auto* web = Child<LinkLabel>(dialog, "webLink");
        QVERIFY(mail && web);
        QCOMPARE(mail->toolTip(), "mailto:" + mail->text());
        QVERIFY(mail->text().endsWith("@example.org"));
        QCOMPARE(web->toolTip(), web->text());
        QVERIFY(web->text().startsWith("http://"));
        for (LinkLabel* link : {mail, web}) {
            const QFontMetrics metrics(link->font());
            QVERIFY(link->font().underline());
            QCOMPARE(link->size(),
                     QSize(metrics.horizontalAdvance(link->text()), metrics.height()));
            QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        }
        QCOMPARE(mail->pos(), QPoint(142, 60));
        QCOMPARE(web->pos(), QPoint(142, 80));

        QLabel* author = Child(dialog, "authorName");
        QVERIFY(author);
        QCOMPARE(author->text(), QString("Vistrel developers"));
        QVERIFY(!qobject_cast<LinkLabel*>(author));
        QVERIFY(author->toolTip().isEmpty());
    }

    void everyTextFitsItsLine() {
        AboutDialog dialog(desktop);
        const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
        QCOMPARE(labels.size(), 10);
        for (const QLabel* label : labels) {
            if (label->text().isEmpty()) {
                continue;
            }
            const QFontMetrics metrics(label->font());
            QVERIFY2(label->width() >= metrics.horizontalAdvance(label->text()) &&
                         label->height() >= metrics.height(),
                     qPrintable(label->objectName()));
            QVERIFY2(dialog.rect().contains(label->geometry()), qPrintable(label->objectName()));
        }
    }

    // Both links can be reached and opened without a mouse: Tab goes e-mail, homepage, OK and
    // round again, while the box opens on OK, its default button.
    void tabReachesTheLinksBeforeOk() {
        AboutDialog dialog(desktop);
        auto* ok = Child<QPushButton>(dialog, "okButton");
        QVERIFY(ok);
        QCOMPARE(ok->text(), QString("OK"));
        QVERIFY(ok->isDefault());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.focusWidget(), ok);
        QStringList reached;
        for (int press = 0; press < 3; ++press) {
            QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
            reached << dialog.focusWidget()->objectName();
        }
        QCOMPARE(reached, QStringList({"mailLink", "webLink", "okButton"}));
    }

    // Enter on a focused link opens it and leaves the box open; it does not press OK.
    void enterOnALinkOpensItAndKeepsTheBox() {
        AboutDialog dialog(desktop);
        FakeLinkOpener opener;
        for (const char* name : {"mailLink", "webLink"}) {
            Child<LinkLabel>(dialog, name)->UseServices(opener, desktop, desktop);
        }
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        for (const char* name : {"mailLink", "webLink"}) {
            Child<LinkLabel>(dialog, name)->setFocus(Qt::TabFocusReason);
            QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
        }
        QCOMPARE(opener.opened, std::vector<std::string>(
                                    {"mailto:vistrel@example.org", "http://vistrel.example.org/"}));
        QVERIFY(dialog.isVisible());
    }

    void endsWithOneForOkAndTwoForEscape_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("result");
        QTest::newRow("OK button") << "ok" << 1;
        QTest::newRow("Enter") << "enter" << 1;
        QTest::newRow("Escape") << "escape" << 2;
        QTest::newRow("close box") << "close" << 2;
    }

    void endsWithOneForOkAndTwoForEscape() {
        QFETCH(QString, action);
        QFETCH(int, result);
        AboutDialog dialog(desktop);
        bool focusOnOk = false;
        HandleNextWindow<AboutDialog>([&](AboutDialog* shown) {
            auto* ok = shown->findChild<QPushButton*>("okButton");
            focusOnOk = QTest::qWaitForWindowActive(shown) && shown->focusWidget() == ok;
            if (action == "ok") {
                QTest::mouseClick(ok, Qt::LeftButton);
            } else if (action == "enter") {
                QTest::keyClick(shown, Qt::Key_Return);
            } else if (action == "escape") {
                QTest::keyClick(shown, Qt::Key_Escape);
            } else {
                shown->close();
            }
        });
        QCOMPARE(dialog.exec(), result);
        QVERIFY(focusOnOk);
    }
};

}  // namespace vistrel

QTEST_MAIN(vistrel::AboutDialogTest)
#include "AboutDialogTest.moc"
