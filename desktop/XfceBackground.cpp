#include "desktop/XfceBackground.h"

#include <QProcess>

namespace vistrel {
namespace {

const QString Program = QStringLiteral("xfconf-query");
const QString Channel = QStringLiteral("xfce4-desktop");
const QString ImageProperty = QStringLiteral("/last-image");

}  // namespace

void XfceBackground::Hand(const UserFolder& image, QDeadlineTimer) {
    if (const QString failure = PathTextFailure(image); !failure.isEmpty()) {
        FinishLater(Outcome::Failed, failure);
        return;
    }
    path = QString::fromUtf8(image.Bytes());
    Query({QStringLiteral("--list")}, [this](const QByteArray& output) {
        properties.clear();
        for (const QString& line : QString::fromUtf8(output).split(QLatin1Char('\n'))) {
            if (line.endsWith(ImageProperty)) {
                properties.append(line.trimmed());
            }
        }
        if (properties.isEmpty()) {
            emit Finished(Outcome::Failed, tr("the XFCE desktop lists no monitor backgrounds"));
            return;
        }
        SetNext();
    });
}

void XfceBackground::SetNext() {
    if (properties.isEmpty()) {
        emit Finished(Outcome::Set, {});
        return;
    }
    const QString property = properties.takeFirst();
    Query({QStringLiteral("--property"), property, QStringLiteral("--set"), path},
          [this](const QByteArray&) { SetNext(); });
}

void XfceBackground::Query(const QStringList& arguments,
                           std::function<void(const QByteArray&)> then) {
    auto* process = new QProcess(this);
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            process->deleteLater();
            emit Finished(Outcome::Failed,
                          tr("%1 could not be run: %2").arg(Program, process->errorString()));
        }
    });
    connect(process, &QProcess::finished, this,
            [this, process, then = std::move(then)](int code, QProcess::ExitStatus status) {
                process->deleteLater();
                if (status != QProcess::NormalExit || code != 0) {
                    const QString said =
                        QString::fromLocal8Bit(process->readAllStandardError()).trimmed();
                    emit Finished(
                        Outcome::Failed,
                        tr("%1 failed: %2")
                            .arg(Program, said.isEmpty() ? process->errorString() : said));
                    return;
                }
                then(process->readAllStandardOutput());
            });
    process->start(Program, QStringList{QStringLiteral("--channel"), Channel} + arguments);
}

}  // namespace vistrel
