#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "actions/ChangeBackgroundDialog.h"
#include "tests/support/Files.h"

using vistrel::ChangeBackgroundDialog;
using vistrel::ChangerSettings;
using vistrel::Interval;
using vistrel::Source;
using vistrel::Spread;

class ChangeBackgroundDialogTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir home;
    QString agent;

    QString Config(const QString& name) const { return home.filePath("config/" + name); }

    void Choose(ChangeBackgroundDialog& dialog, const ChangerSettings& settings) {
        const auto boxes = dialog.findChildren<QComboBox*>();
        QCOMPARE(boxes.size(), 3);
        boxes[0]->setCurrentIndex(int(settings.interval));
        boxes[1]->setCurrentIndex(int(settings.source));
        boxes[2]->setCurrentIndex(int(settings.spread));
    }

  private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit());
        // No session bus: no agent to tell.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
        // Stands for the agent: says how it was started.
        agent = home.filePath("agent");
        QFile script(agent);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho \"$@\" > \"$0.started\"\n");
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    void onWritesTheEntryAndStartsTheAgentOffUndoesIt() {
        const ChangerSettings on{Interval::ThreeHours, Source::Favourites, Spread::AcrossAll};
        {
            ChangeBackgroundDialog dialog(nullptr, agent);
            QCOMPARE(dialog.Chosen(), ChangerSettings{});
            Choose(dialog, on);
            dialog.accept();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        const QByteArray entry =
            vistrel::test::ReadFile(Config("autostart/vistrel-background.desktop"));
        QVERIFY2(entry.contains("Exec=\"" + agent.toUtf8() + "\" run\n"), entry.constData());
        QTRY_COMPARE(vistrel::test::ReadFile(agent + ".started"), QByteArray("run\n"));
        {
            ChangeBackgroundDialog dialog(nullptr, agent);
            QCOMPARE(dialog.Chosen(), on);
            Choose(dialog, ChangerSettings{});
            dialog.accept();
        }
        QVERIFY(!QFile::exists(Config("autostart/vistrel-background.desktop")));
        QCOMPARE(vistrel::SettingsFile(Config("vistrel/background")).Load().contents,
                 ChangerSettings{});
    }
};

QTEST_MAIN(ChangeBackgroundDialogTest)
#include "ChangeBackgroundDialogTest.moc"
