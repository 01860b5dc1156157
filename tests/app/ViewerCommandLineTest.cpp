#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/ViewerApp.h"
#include "scene/Picture.h"
#include "tests/support/Process.h"
#include "viewer/ViewerDialog.h"

using vistrel::ViewerApp;
using vistrel::ViewerCommand;
using vistrel::ViewerDialog;
using Mode = ViewerCommand::Mode;
using Args = std::vector<std::string>;

Q_DECLARE_METATYPE(Args)
Q_DECLARE_METATYPE(std::optional<std::uint32_t>)

class ViewerCommandLineTest : public QObject {
    Q_OBJECT

  public:
    explicit ViewerCommandLineTest(ViewerApp& app) : app(app) {}

  private:
    ViewerApp& app;

  private slots:
    void commandLines_data() {
        QTest::addColumn<Args>("args");
        QTest::addColumn<int>("mode");
        QTest::addColumn<std::optional<std::uint32_t>>("seed");
        QTest::addColumn<QString>("error");
        const std::optional<std::uint32_t> none;
        QTest::newRow("nothing") << Args{} << int(Mode::Show) << none << "";
        QTest::newRow("a seed") << Args{"--seed", "1234"} << int(Mode::Show)
                                << std::optional<std::uint32_t>(1234) << "";
        QTest::newRow("the last seed, joined")
            << Args{"--seed=32767"} << int(Mode::Show) << std::optional<std::uint32_t>(32767) << "";
        QTest::newRow("help ends the line")
            << Args{"-h", "--bogus"} << int(Mode::Help) << none << "";
        QTest::newRow("version") << Args{"--version"} << int(Mode::Version) << none << "";
        QTest::newRow("seed out of range")
            << Args{"--seed", "32768"} << 0 << none
            << "--seed takes a whole number from 0 to 32767, not '32768'";
        QTest::newRow("seed not a number")
            << Args{"--seed", "-1"} << 0 << none
            << "--seed takes a whole number from 0 to 32767, not '-1'";
        QTest::newRow("seed without a value")
            << Args{"--seed"} << 0 << none << "--seed needs a value";
        QTest::newRow("unknown") << Args{"--sed", "1"} << 0 << none
                                 << "unknown option '--sed' (see --help)";
        QTest::newRow("a file name")
            << Args{"picture.png"} << 0 << none << "unknown option 'picture.png' (see --help)";
    }
    void commandLines() {
        QFETCH(Args, args);
        QFETCH(int, mode);
        QFETCH(std::optional<std::uint32_t>, seed);
        QFETCH(QString, error);
        const vistrel::ViewerParseResult parsed = ViewerApp::ParseCommandLine(args);
        QCOMPARE(QString::fromStdString(parsed.error), error);
        QCOMPARE(parsed.command.has_value(), error.isEmpty());
        if (parsed.command) {
            QCOMPARE(int(parsed.command->mode), mode);
            QCOMPARE(parsed.command->seed, seed);
        }
    }

    // Without a display the application could not even be made.
    void helpAndVersionNeedNoDisplay_data() {
        QTest::addColumn<Args>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("help") << Args{"--help"} << 0 << "usage: vistrel [--seed N]\n"
                              << "";
        QTest::newRow("version") << Args{"--version"} << 0 << "vistrel " VISTREL_VERSION "\n"
                                 << "";
        QTest::newRow("bad option") << Args{"--seed", "x"} << 2 << ""
                                    << "vistrel: --seed takes a whole number from 0 to 32767, "
                                       "not 'x'\n";
    }
    void helpAndVersionNeedNoDisplay() {
        QFETCH(Args, args);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        Args argv{VISTREL_PROGRAM};
        argv.insert(argv.end(), args.begin(), args.end());
        const vistrel::test::ProcessResult result = vistrel::test::Run(
            {.argv = argv,
             .environment = {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}}});
        QCOMPARE(result.status, status);
        QVERIFY2(QString::fromStdString(result.out).startsWith(out), result.out.c_str());
        QCOMPARE(QString::fromStdString(result.err), err);
    }

    void opensOnTheSeedAndGoesOnWithTheSeries() {
        constexpr std::uint32_t Seed = 20000;
        std::uint32_t shownFirst = 0;
        std::uint32_t sceneFirst = 0;
        std::uint32_t shownAfterNext = 0;
        std::uint32_t expectedAfterNext = 0;
        QTimer::singleShot(0, [&] {
            ViewerDialog* viewer = nullptr;
            for (QWidget* window : QApplication::topLevelWidgets()) {
                viewer = viewer ? viewer : qobject_cast<ViewerDialog*>(window);
            }
            if (viewer == nullptr) {
                return;
            }
            if (!QTest::qWaitFor([viewer] { return viewer->ShownSeed() == Seed; })) {
                viewer->close();
                return;
            }
            // Nothing else comes after the seed.
            QTest::qWait(100);
            shownFirst = viewer->ShownSeed();
            sceneFirst = viewer->SceneIndex();
            QTest::keyClick(viewer, Qt::Key_Return);
            if (QTest::qWaitFor([viewer] { return viewer->SceneIndex() == 2; })) {
                shownAfterNext = viewer->ShownSeed();
            }
            expectedAfterNext = vistrel::SeedOfScene(viewer->RunSeed(), 2);
            viewer->close();
        });
        QCOMPARE(app.Run(Seed), EXIT_SUCCESS);
        QCOMPARE(shownFirst, Seed);
        QCOMPARE(sceneFirst, 1u);
        QCOMPARE(shownAfterNext, expectedAfterNext);
    }
};

int main(int argc, char** argv) {
    QTemporaryDir userConfig;
    qputenv("XDG_CONFIG_HOME", userConfig.path().toLocal8Bit());
    ViewerApp app(argc, argv);
    ViewerCommandLineTest test(app);
    return QTest::qExec(&test, argc, argv);
}

#include "ViewerCommandLineTest.moc"
