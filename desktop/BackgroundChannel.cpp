#include "desktop/BackgroundChannel.h"

#include <QProcess>

namespace vistrel {

void BackgroundChannel::FinishLater(Outcome outcome, const QString& reason) {
    QMetaObject::invokeMethod(
        this, [this, outcome, reason] { emit Finished(outcome, reason); }, Qt::QueuedConnection);
}

QString BackgroundChannel::PathTextFailure(const UserFolder& image) {
    if (image.IsUtf8()) {
        return {};
    }
    return tr("the desktop's settings take a path as UTF-8 text, and %1 is not UTF-8")
        .arg(image.DisplayName());
}

void BackgroundChannel::RunTool(const QString& program, const QStringList& arguments,
                                std::function<void(const QByteArray&)> then) {
    auto* process = new QProcess(this);
    connect(process, &QProcess::errorOccurred, this,
            [this, process, program](QProcess::ProcessError error) {
                if (error == QProcess::FailedToStart) {
                    process->deleteLater();
                    emit Finished(
                        Outcome::Failed,
                        tr("%1 could not be run: %2").arg(program, process->errorString()));
                }
            });
    connect(
        process, &QProcess::finished, this,
        [this, process, program, then = std::move(then)](int code, QProcess::ExitStatus status) {
            process->deleteLater();
            if (status != QProcess::NormalExit || code != 0) {
                const QString said =
                    QString::fromLocal8Bit(process->readAllStandardError()).trimmed();
                emit Finished(Outcome::Failed,
                              tr("%1 failed: %2")
                                  .arg(program, said.isEmpty() ? process->errorString() : said));
                return;
            }
            then(process->readAllStandardOutput());
        });
    process->start(program, arguments);
}

void BackgroundChannel::RunEach(const QString& program, std::vector<QStringList> calls,
                                std::function<void()> then) {
    if (calls.empty()) {
        then();
        return;
    }
    const QStringList first = calls.front();
    calls.erase(calls.begin());
    RunTool(program, first,
            [this, program, calls = std::move(calls), then = std::move(then)](const QByteArray&) {
                RunEach(program, calls, then);
            });
}

}  // namespace vistrel
