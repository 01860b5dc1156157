#include "desktop/SwayBackground.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "desktop/BackgroundImages.h"

namespace vistrel {
namespace {

const QString Program = QStringLiteral("swaymsg");

// What sway's command parser or its shell-like expansion of a path would read as more than
// part of the name.
bool SwayReadsItAsIs(const QString& path) {
    static const QString special = QStringLiteral("\"'\\$`;|&<>(){}*?[]~#,\n\t\r");
    for (const QChar c : path) {
        if (special.contains(c)) {
            return false;
        }
    }
    return !path.contains(QStringLiteral("  "));
}

}  // namespace

std::vector<NamedMonitor> SwayBackground::Outputs(const QByteArray& answer) {
    std::vector<NamedMonitor> outputs;
    for (const QJsonValue& value : QJsonDocument::fromJson(answer).array()) {
        const QJsonObject output = value.toObject();
        const QJsonObject rect = output[QStringLiteral("rect")].toObject();
        const double scale = output[QStringLiteral("scale")].toDouble(1.0);
        if (!output[QStringLiteral("active")].toBool() || scale <= 0) {
            continue;
        }
        outputs.push_back(
            {output[QStringLiteral("name")].toString(),
             {rect[QStringLiteral("x")].toInt(), rect[QStringLiteral("y")].toInt(),
              rect[QStringLiteral("width")].toInt(), rect[QStringLiteral("height")].toInt(),
              static_cast<std::int32_t>(std::ceil(scale - 1e-6))}});
    }
    return outputs;
}

void SwayBackground::Hand(BackgroundImages& images, QDeadlineTimer) {
    RunTool(Program, {QStringLiteral("-t"), QStringLiteral("get_outputs"), QStringLiteral("-r")},
            [this, &images](const QByteArray& answer) {
                const std::vector<NamedMonitor> outputs = Outputs(answer);
                if (outputs.empty()) {
                    emit Finished(Outcome::Failed, tr("sway reports no active output"));
                    return;
                }
                images.WriteEach(outputs, this,
                                 [this, outputs](const std::vector<UserFolder>& files) {
                                     SetOutputs(outputs, files);
                                 });
            });
}

void SwayBackground::SetOutputs(const std::vector<NamedMonitor>& outputs,
                                const std::vector<UserFolder>& files) {
    QStringList commands;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (const QString failure = PathTextFailure(files[i]); !failure.isEmpty()) {
            emit Finished(Outcome::Failed, failure);
            return;
        }
        const QString path = QString::fromUtf8(files[i].Bytes());
        if (!SwayReadsItAsIs(path) || !SwayReadsItAsIs(outputs[i].name)) {
            emit Finished(Outcome::Failed,
                          tr("sway would read some of the characters in %1 as part of its command")
                              .arg(files[i].DisplayName()));
            return;
        }
        commands.append(
            QStringLiteral("output \"%1\" bg \"%2\" center").arg(outputs[i].name, path));
    }
    RunTool(Program, {commands.join(QStringLiteral("; "))},
            [this](const QByteArray&) { emit Finished(Outcome::Set, {}); });
}

}  // namespace vistrel
