#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTest>
#include <QWheelEvent>

#include "tests/viewer/ViewerTestSupport.h"
#include "userfiles/Favourites.h"
#include "viewer/ViewerDialog.h"

using vistrel::ViewerDialog;
using namespace vistrel::test;

namespace {

// The controls above the picture, left to right.
const char* const RowNames[] = {"previousButton", "nextButton",   "autoButton",   "stopButton",
                                "intervalLabel",  "intervalSpin", "secondsLabel", "aboutIcon"};

// Those whose text must fit.
const char* const TextNames[] = {"previousButton", "nextButton",   "autoButton",  "stopButton",
                                 "intervalLabel",  "intervalSpin", "secondsLabel"};

}  // namespace

class ViewerWindowTest : public QObject {
    Q_OBJECT

  private:
    FakeViewerServices services{1765432109};
    vistrel::Favourites favourites;
    std::unique_ptr<ViewerDialog> dialog;

    QWidget* Control(const char* name) const { return FindControl<QWidget>(*dialog, name); }
    QSpinBox* Interval() const { return qobject_cast<QSpinBox*>(Control("intervalSpin")); }

    void Open(int fontPointSize = 0) {
        dialog = std::make_unique<ViewerDialog>(services, favourites);
        if (fontPointSize > 0) {
            QFont font = dialog->font();
            font.setPointSize(fontPointSize);
            dialog->setFont(font);
        }
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QTRY_COMPARE(dialog->SceneIndex(), 1u);
    }

    QPoint SpinArrowCentre(QStyle::SubControl arrow) const {
        QStyleOptionSpinBox option;
        option.initFrom(Interval());
        option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
        option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
        return Interval()
            ->style()
            ->subControlRect(QStyle::CC_SpinBox, &option, arrow, Interval())
            .center();
    }

  private slots:
    void cleanup() { dialog.reset(); }

    void keepsTheArrangementAndClipsNothing_data() {
        QTest::addColumn<int>("pointSize");
        for (const int size : {7, 9, 12, 16, 24}) {
            QTest::addRow("%d pt", size) << size;
        }
    }

    void keepsTheArrangementAndClipsNothing() {
        QFETCH(int, pointSize);
        Open(pointSize);
        const QRect picture = Control("picture")->geometry();
        QCOMPARE(picture.size(), QSize(570, 206));
        QVERIFY(dialog->rect().contains(picture));
        QCOMPARE(picture.left(), Control("previousButton")->geometry().left());

        int nextFreeColumn = 0;
        for (const char* name : RowNames) {
            const QRect area = Control(name)->geometry();
            QVERIFY2(area.left() >= nextFreeColumn, name);
            QVERIFY2(area.bottom() < picture.top(), name);
            QVERIFY2(dialog->rect().contains(area), name);
            nextFreeColumn = area.right() + 1;
        }
        for (const char* name : TextNames) {
            const QWidget* control = Control(name);
            QVERIFY2(control->width() >= control->sizeHint().width(), name);
            QVERIFY2(control->height() >= control->sizeHint().height(), name);
            if (const auto* label = qobject_cast<const QLabel*>(control)) {
                QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <=
                             label->contentsRect().width(),
                         name);
            }
        }

        const QRect icon = Control("aboutIcon")->geometry();
        QCOMPARE(icon.size(), QSize(32, 32));
        QVERIFY(icon.top() <= Control("nextButton")->geometry().top());
        QCOMPARE(icon.right(), std::max(icon.right(), picture.right()));
        if (pointSize <= 9) {
            // The row fits above the picture: the window has the layout's classic size and the
            // icon ends where the picture does.
            QCOMPARE(dialog->size(), QSize(591, 267));
            QCOMPARE(icon.right(), picture.right());
        }
    }

    void theIntervalChangesOnlyByItsArrows_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("value");
        const QList<int> none;
        QTest::newRow("replacing the digit") << "\b7" << none << 2;
        QTest::newRow("deleting it") << "\b\b" << none << 2;
        QTest::newRow("up") << "" << QList<int>{Qt::Key_Up} << 3;
        QTest::newRow("down") << "" << QList<int>{Qt::Key_Down} << 1;
        QTest::newRow("not below 1") << "" << QList<int>{Qt::Key_Down, Qt::Key_Down} << 1;
        QTest::newRow("not above 10") << "" << QList<int>(12, Qt::Key_Up) << 10;
        QTest::newRow("up, then replacing the digit") << "\b5" << QList<int>{Qt::Key_Up} << 3;
        QTest::newRow("page up") << "" << QList<int>{Qt::Key_PageUp} << 2;
        QTest::newRow("page down") << "" << QList<int>{Qt::Key_PageDown} << 2;
    }

    void theIntervalChangesOnlyByItsArrows() {
        QFETCH(QString, typed);
        QFETCH(QList<int>, keys);
        QFETCH(int, value);
        Open();
        QCOMPARE(Interval()->minimum(), 1);
        QCOMPARE(Interval()->maximum(), 10);
        QCOMPARE(Interval()->value(), 2);
        for (const int key : keys) {
            QTest::keyClick(Interval(), static_cast<Qt::Key>(key));
        }
        // From the end of the text, where typing would take effect if it were allowed.
        QTest::keyClick(Interval(), Qt::Key_End);
        QTest::keyClicks(Interval(), typed);
        QTest::keyClick(Interval(), Qt::Key_Tab);
        QCOMPARE(Interval()->value(), value);
        QCOMPARE(Interval()->text(), QString::number(value));
    }

    void theMouseWheelDoesNotStepTheInterval() {
        Open();
        for (const int delta : {120, -120, 360}) {
            const QPointF centre = QRectF(Interval()->rect()).center();
            QWheelEvent wheel(centre, Interval()->mapToGlobal(centre), QPoint(), QPoint(0, delta),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(Interval(), &wheel);
            QCOMPARE(Interval()->value(), 2);
        }
    }

    void theIntervalArrowsStepIt_data() {
        QTest::addColumn<int>("arrow");
        QTest::addColumn<int>("value");
        QTest::newRow("up arrow") << int{QStyle::SC_SpinBoxUp} << 3;
        QTest::newRow("down arrow") << int{QStyle::SC_SpinBoxDown} << 1;
    }

    void theIntervalArrowsStepIt() {
        QFETCH(int, arrow);
        QFETCH(int, value);
        Open();
        QTest::mouseClick(Interval(), Qt::LeftButton, {},
                          SpinArrowCentre(static_cast<QStyle::SubControl>(arrow)));
        QCOMPARE(Interval()->value(), value);
    }

    void enterPressesTheFocusedButtonElseNext_data() {
        QTest::addColumn<QString>("focused");
        QTest::addColumn<quint32>("scene");
        QTest::newRow("at start-up") << QString() << quint32{2};
        QTest::newRow("the interval focused") << "intervalSpin" << quint32{2};
        QTest::newRow("Auto focused") << "autoButton" << quint32{1};
    }

    void enterPressesTheFocusedButtonElseNext() {
        QFETCH(QString, focused);
        QFETCH(quint32, scene);
        Open();
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        if (focused.isEmpty()) {
            QCOMPARE(dialog->focusWidget(), Control("nextButton"));
        } else {
            Control(qPrintable(focused))->setFocus();
        }
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
        QCOMPARE(dialog->SceneIndex(), scene);
        QCOMPARE(dialog->TimerId() != 0, focused == QLatin1String("autoButton"));
    }

    void escapeEndsTheDialog() {
        Open();
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int{QDialog::Rejected});
    }

    void carriesTheProgramIcon() {
        Open();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Vistrel"));
        const QList<QSize> sizes = dialog->windowIcon().availableSizes();
        for (const int side : {16, 32, 48, 256}) {
            QVERIFY2(sizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
        }
        const QPixmap icon = qobject_cast<QLabel*>(Control("aboutIcon"))->pixmap();
        QCOMPARE(icon.size(), QSize(32, 32));
    }
};

QTEST_MAIN(ViewerWindowTest)
#include "ViewerWindowTest.moc"
