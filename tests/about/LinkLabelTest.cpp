#include <QDialog>
#include <QEnterEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>

#include "about/LinkLabel.h"
#include "tests/about/LinkFakes.h"
#include "tests/about/NextWindow.h"

namespace vistrel {

// A dialog with one link label, bound to fakes.
struct LinkFixture {
    explicit LinkFixture(const QString& text,
                         Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop) {
        dialog.resize(300, 100);
        QFont dialogFont = dialog.font();
        dialogFont.setPointSize(10);
        dialog.setFont(dialogFont);
        label->setGeometry(10, 20, 200, 16);
        label->setAlignment(alignment);
        label->setText(text);
        label->UseServices(opener, reporter, reporter);
    }

    QColor TextColour() const { return label->palette().color(QPalette::WindowText); }

    void Click() { QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(2, 2)); }

    QDialog dialog;
    LinkLabel* label = new LinkLabel(&dialog);
    FakeLinkOpener opener;
    FakeErrorReporter reporter;
};

class LinkLabelTest : public QObject {
    Q_OBJECT

  private:
    static void Enter(QWidget* widget) {
        QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QCoreApplication::sendEvent(widget, &event);
    }
    static void Leave(QWidget* widget) {
        QEvent event(QEvent::Leave);
        QCoreApplication::sendEvent(widget, &event);
    }

    static QColor HoverColour() { return QGuiApplication::palette().color(QPalette::Highlight); }

  private slots:
    void bindingFillsTargetOrText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("shownText");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("no target takes the text") << "vistrel@example.org"
                                                  << ""
                                                  << "vistrel@example.org"
                                                  << "vistrel@example.org";
        QTest::newRow("no text shows the target") << ""
                                                  << "http://vistrel.example.org/"
                                                  << "http://vistrel.example.org/"
                                                  << "http://vistrel.example.org/";
        QTest::newRow("both kept") << "Homepage"
                                   << "http://vistrel.example.org/"
                                   << "Homepage"
                                   << "http://vistrel.example.org/";
    }

    void bindingFillsTargetOrText() {
        QFETCH(QString, text);
        QFETCH(QString, target);
        QFETCH(QString, shownText);
        QFETCH(QString, tooltip);
        LinkFixture link(text);
        link.label->SetLinkUrl(target);
        QVERIFY(link.label->toolTip().isEmpty());

        link.label->Bind();
        QCOMPARE(link.label->text(), shownText);
        QCOMPARE(link.label->toolTip(), tooltip);
        link.Click();
        QCOMPARE(link.opener.opened, std::vector<std::string>{tooltip.toStdString()});
    }

    void setLinkUrlChangesTheTooltipNotTheText() {
        LinkFixture link("vistrel@example.org");
        link.label->Bind();
        const QRect fitted = link.label->geometry();

        link.label->SetLinkUrl("mailto:vistrel@example.org");
        QCOMPARE(link.label->text(), QString("vistrel@example.org"));
        QCOMPARE(link.label->toolTip(), QString("mailto:vistrel@example.org"));
        QCOMPARE(link.label->geometry(), fitted);
    }

    void bindingUnderlinesTheFontAndFitsTheText_data() {
        QTest::addColumn<Qt::Alignment>("alignment");
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::addColumn<bool>("keepsRightEdge");
        QTest::newRow("left") << Qt::Alignment(Qt::AlignLeft | Qt::AlignTop) << Qt::LeftToRight
                              << false;
        QTest::newRow("right") << Qt::Alignment(Qt::AlignRight | Qt::AlignTop) << Qt::LeftToRight
                               << true;
        QTest::newRow("leading, right to left")
            << Qt::Alignment(Qt::AlignLeading | Qt::AlignTop) << Qt::RightToLeft << true;
    }

    void bindingUnderlinesTheFontAndFitsTheText() {
        QFETCH(Qt::Alignment, alignment);
        QFETCH(Qt::LayoutDirection, direction);
        QFETCH(bool, keepsRightEdge);
        LinkFixture link("vistrel@example.org", alignment);
        link.label->setLayoutDirection(direction);
        const QRect before = link.label->geometry();
        const QFont dialogFont = link.dialog.font();

        link.label->Bind();
        QVERIFY(link.label->font().underline());
        QCOMPARE(link.label->font().family(), dialogFont.family());
        QCOMPARE(link.label->font().pointSize(), dialogFont.pointSize());

        QFont underlined = dialogFont;
        underlined.setUnderline(true);
        const QFontMetrics metrics(underlined);
        const QRect after = link.label->geometry();
        QCOMPARE(after.size(),
                 QSize(metrics.horizontalAdvance("vistrel@example.org"), metrics.height()));
        QCOMPARE(after.top(), before.top());
        if (keepsRightEdge) {
            QCOMPARE(after.right(), before.right());
        } else {
            QCOMPARE(after.left(), before.left());
        }
    }

    void boundLabelShowsTheHandCursor() {
        LinkFixture link("vistrel@example.org");
        QVERIFY(!link.label->testAttribute(Qt::WA_SetCursor));
        link.label->Bind();
        QCOMPARE(link.label->cursor().shape(), Qt::PointingHandCursor);
    }

    void hoverRepaintsAtOnceInTheHoverColour() {
        LinkFixture link("vistrel@example.org");
        link.label->Bind();
        link.dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&link.dialog));
        QCOMPARE(link.TextColour(), QColor(0, 0, 238));

        int paints = 0;
        PaintCounter counter(paints);
        link.label->installEventFilter(&counter);
        Enter(link.label);
        QCOMPARE(paints, 1);
        QCOMPARE(link.TextColour(), HoverColour());
        Leave(link.label);
        QCOMPARE(paints, 2);
        QCOMPARE(link.TextColour(), QColor(0, 0, 238));
    }

    void successfulClickMarksVisited() {
        LinkFixture link("vistrel@example.org");
        link.label->Bind();
        link.label->SetLinkUrl("mailto:vistrel@example.org");

        Enter(link.label);
        link.Click();
        QCOMPARE(link.opener.opened, std::vector<std::string>{"mailto:vistrel@example.org"});
        QVERIFY(link.reporter.told.isEmpty());
        QCOMPARE(link.TextColour(), HoverColour());
        Leave(link.label);
        QCOMPARE(link.TextColour(), QColor(85, 26, 139));
    }

    void failedClickBeepsExplainsAndClearsVisited_data() {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("explanation");
        QTest::newRow("no association")
            << int(NoAssociation)
            << "There is no application associated\nwith the given filename extension.";
        QTest::newRow("file not found") << int(FileNotFound) << "The specified file was not found.";
        QTest::newRow("unknown") << 12 << "Unknown Error (12) occurred.";
    }

    void failedClickBeepsExplainsAndClearsVisited() {
        QFETCH(int, result);
        QFETCH(QString, explanation);
        LinkFixture link("vistrel@example.org");
        link.label->Bind();
        link.Click();
        QCOMPARE(link.TextColour(), QColor(85, 26, 139));

        link.opener.result = result;
        link.Click();
        QCOMPARE(link.reporter.told,
                 QStringList({"(beep)", "Unable to open hyperlink:\n\n" + explanation}));
        QCOMPARE(link.TextColour(), QColor(0, 0, 238));

        link.opener.result = Launched;
        link.Click();
        QCOMPARE(link.opener.opened.size(), 3u);
        QCOMPARE(link.TextColour(), QColor(85, 26, 139));
    }

    // Space and Enter on a focused link do what a click does, success and failure alike.
    void keysOpenTheLinkAsAClickDoes_data() {
        QTest::addColumn<bool>("bound");
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("told");
        QTest::addColumn<QColor>("colour");  // invalid: the colour stays as it was
        const QColor visited(85, 26, 139), unvisited(0, 0, 238);
        const QStringList none;
        const QStringList failure{"(beep)",
                                  "Unable to open hyperlink:\n\nThe specified file was not found."};
        const Qt::KeyboardModifiers plain = Qt::NoModifier;
        QTest::newRow("Space") << true << int{Qt::Key_Space} << plain << int{Launched} << none
                               << visited;
        QTest::newRow("Return") << true << int{Qt::Key_Return} << plain << int{Launched} << none
                                << visited;
        QTest::newRow("keypad Enter")
            << true << int{Qt::Key_Enter} << Qt::KeyboardModifiers(Qt::KeypadModifier)
            << int{Launched} << none << visited;
        QTest::newRow("Space, failing")
            << true << int{Qt::Key_Space} << plain << int{FileNotFound} << failure << unvisited;
        QTest::newRow("Ctrl+Return")
            << true << int{Qt::Key_Return} << Qt::KeyboardModifiers(Qt::ControlModifier) << -1
            << none << unvisited;
        QTest::newRow("a letter") << true << int{Qt::Key_A} << plain << -1 << none << unvisited;
        QTest::newRow("not bound")
            << false << int{Qt::Key_Space} << plain << -1 << none << QColor();
    }

    void keysOpenTheLinkAsAClickDoes() {
        QFETCH(bool, bound);
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, result);
        QFETCH(QStringList, told);
        QFETCH(QColor, colour);
        LinkFixture link("vistrel@example.org");
        const QColor before = link.TextColour();
        if (bound) {
            link.label->Bind();
        }
        link.opener.result = result < 0 ? Launched : result;
        QTest::keyClick(link.label, static_cast<Qt::Key>(key), modifiers);
        QCOMPARE(link.opener.opened.size(), result < 0 ? 0u : 1u);
        QCOMPARE(link.reporter.told, told);
        QCOMPARE(link.TextColour(), colour.isValid() ? colour : before);
    }

    // Reached by Tab only, so that a click leaves the focus where it was; focused, it is framed.
    void boundLabelTakesTabFocusAndShowsAFrame() {
        LinkFixture link("vistrel@example.org");
        QCOMPARE(link.label->focusPolicy(), Qt::NoFocus);
        link.label->Bind();
        QCOMPARE(link.label->focusPolicy(), Qt::TabFocus);
        link.dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&link.dialog));
        // The window gave it the focus, as its only focusable control.
        link.label->clearFocus();
        const QImage unfocused = link.label->grab().toImage();
        link.label->setFocus(Qt::TabFocusReason);
        QVERIFY(link.label->hasFocus());
        QVERIFY(link.label->grab().toImage() != unfocused);
        link.label->clearFocus();
        QCOMPARE(link.label->grab().toImage(), unfocused);
    }

    void onlyALeftClickOverABoundLabelOpens_data() {
        QTest::addColumn<bool>("bound");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QPoint>("release");
        QTest::addColumn<bool>("opens");
        QTest::newRow("left click") << true << Qt::LeftButton << QPoint(2, 2) << true;
        QTest::newRow("right click") << true << Qt::RightButton << QPoint(2, 2) << false;
        QTest::newRow("released outside") << true << Qt::LeftButton << QPoint(-5, 2) << false;
        QTest::newRow("not bound") << false << Qt::LeftButton << QPoint(2, 2) << false;
    }

    void onlyALeftClickOverABoundLabelOpens() {
        QFETCH(bool, bound);
        QFETCH(Qt::MouseButton, button);
        QFETCH(QPoint, release);
        QFETCH(bool, opens);
        LinkFixture link("vistrel@example.org");
        if (bound) {
            link.label->Bind();
        }
        QTest::mousePress(link.label, button, {}, QPoint(2, 2));
        QTest::mouseRelease(link.label, button, {}, release);
        QCOMPARE(link.opener.opened.size(), opens ? 1u : 0u);
    }

    // Mouse events in the order the window system delivers them: p press, r release, d the
    // second press of a double click.
    void eachClickOpensOnceAndADoubleClickOnce_data() {
        QTest::addColumn<QString>("events");
        QTest::addColumn<int>("opens");
        QTest::newRow("click") << "pr" << 1;
        QTest::newRow("double click") << "prdr" << 1;
        QTest::newRow("two slow clicks") << "prpr" << 2;
        QTest::newRow("double click, then a click") << "prdrpr" << 2;
        QTest::newRow("double click begun elsewhere") << "dr" << 0;
    }

    void eachClickOpensOnceAndADoubleClickOnce() {
        QFETCH(QString, events);
        QFETCH(int, opens);
        LinkFixture link("vistrel@example.org");
        link.label->Bind();
        const QPoint at(2, 2);
        for (const QChar event : events) {
            if (event == 'p') {
                QTest::mousePress(link.label, Qt::LeftButton, {}, at);
            } else if (event == 'r') {
                QTest::mouseRelease(link.label, Qt::LeftButton, {}, at);
            } else {
                QMouseEvent doubleClick(QEvent::MouseButtonDblClick, at,
                                        link.label->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                                        Qt::NoModifier);
                QCoreApplication::sendEvent(link.label, &doubleClick);
            }
        }
        QCOMPARE(int(link.opener.opened.size()), opens);
    }

    void desktopReporterShowsAWarningOverTheActiveWindow() {
        QDialog owner;
        owner.show();
        QVERIFY(QTest::qWaitForWindowActive(&owner));
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QWidget* parent = nullptr;
        HandleNextWindow<QMessageBox>([&](QMessageBox* box) {
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            parent = box->parentWidget();
            box->accept();
        });
        DesktopErrorReporter().ShowError(
            "Unable to open hyperlink:\n\nThe DDE transaction failed.");
        QCOMPARE(title, QFileInfo(QCoreApplication::applicationFilePath()).baseName());
        QCOMPARE(text, QString("Unable to open hyperlink:\n\nThe DDE transaction failed."));
        QCOMPARE(icon, QMessageBox::Warning);
        QCOMPARE(parent, &owner);
    }

  private:
    class PaintCounter : public QObject {
      public:
        explicit PaintCounter(int& count) : paints(count) {}
        bool eventFilter(QObject*, QEvent* event) override {
            paints += event->type() == QEvent::Paint;
            return false;
        }

      private:
        int& paints;
    };
};

}  // namespace vistrel

QTEST_MAIN(vistrel::LinkLabelTest)
#include "LinkLabelTest.moc"
