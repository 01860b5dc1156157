#include "desktop/XfceBackground.h"

#include <QRegularExpression>
#include <algorithm>

#include "desktop/BackgroundImages.h"

namespace vistrel {
namespace {

const QString Program = QStringLiteral("xfconf-query");
const QString Channel = QStringLiteral("xfce4-desktop");
// A background's image property, and the monitor it is for.
const QRegularExpression ImageProperty(
    QStringLiteral("^(/backdrop/screen\\d+/monitor(.+)/workspace\\d+/)last-image$"));
// image-style's value for an image shown unscaled in the middle.
const QString Centred = QStringLiteral("1");

}  // namespace

void XfceBackground::Hand(BackgroundImages& images, QDeadlineTimer) {
    monitorNames.clear();
    for (const NamedMonitor& monitor : images.Request().monitors) {
        monitorNames.push_back(monitor.name);
    }
    images.WriteEach(images.Request().monitors, this, [this](const std::vector<UserFolder>& files) {
        for (const UserFolder& file : files) {
            if (const QString failure = PathTextFailure(file); !failure.isEmpty()) {
                emit Finished(Outcome::Failed, failure);
                return;
            }
        }
        Query({QStringLiteral("--list")}, [this, files](const QByteArray& output) {
            std::vector<QStringList> calls = Plan(QString::fromUtf8(output), files);
            if (calls.empty()) {
                emit Finished(Outcome::Failed, tr("the XFCE desktop lists no monitor backgrounds"));
                return;
            }
            RunEach(Program, std::move(calls), [this] { emit Finished(Outcome::Set, {}); });
        });
    });
}

std::vector<QStringList> XfceBackground::Plan(const QString& listed,
                                              const std::vector<UserFolder>& files) const {
    std::vector<QStringList> planned;
    const auto setting = [](const QString& property, const QString& type, const QString& value) {
        return QStringList{QStringLiteral("--channel"),
                           Channel,
                           QStringLiteral("--property"),
                           property,
                           QStringLiteral("--create"),
                           QStringLiteral("--type"),
                           type,
                           QStringLiteral("--set"),
                           value};
    };
    const auto set = [&](const QString& background, const UserFolder& file) {
        planned.push_back(setting(background + QStringLiteral("last-image"),
                                  QStringLiteral("string"), QString::fromUtf8(file.Bytes())));
        planned.push_back(
            setting(background + QStringLiteral("image-style"), QStringLiteral("int"), Centred));
    };
    const bool oneMonitor = monitorNames.size() == 1;
    std::vector<bool> covered(monitorNames.size(), false);
    for (const QString& line : listed.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = ImageProperty.match(line.trimmed());
        if (!match.hasMatch()) {
            continue;
        }
        const auto named = std::find(monitorNames.begin(), monitorNames.end(), match.captured(2));
        const std::size_t index = named != monitorNames.end()
                                      ? static_cast<std::size_t>(named - monitorNames.begin())
                                      : 0;
        if (named != monitorNames.end() || oneMonitor) {
            covered[index] = true;
            set(match.captured(1), files[index]);
        }
    }
    for (std::size_t i = 0; i < monitorNames.size(); ++i) {
        if (!covered[i] && !monitorNames[i].isEmpty()) {
            set(QStringLiteral("/backdrop/screen0/monitor%1/workspace0/").arg(monitorNames[i]),
                files[i]);
        }
    }
    return planned;
}

void XfceBackground::Query(const QStringList& arguments,
                           std::function<void(const QByteArray&)> then) {
    RunTool(Program, QStringList{QStringLiteral("--channel"), Channel} + arguments,
            std::move(then));
}

}  // namespace vistrel
