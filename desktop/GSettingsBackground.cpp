// GLib's headers name struct fields "signals", which Qt defines as a keyword: they come first.
#include <gio/gio.h>
#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gsettingsbackend.h>

#include <memory>

#include "desktop/GSettingsBackground.h"

#include "desktop/BackgroundImages.h"

namespace vistrel {
namespace {

struct SchemaUnref {
    void operator()(GSettingsSchema* schema) const { g_settings_schema_unref(schema); }
};
struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};

// Images fit the monitors already: enlarged further they would be blurred. One monitor's is
// shown unscaled in the middle; several monitors share one image laid out like them.
constexpr const char* OptionsKey = "picture-options";
constexpr const char* Centred = "centered";
constexpr const char* Spanned = "spanned";

// Without dconf, GLib keeps settings in this process's memory, where no desktop reads them:
// writing there would report a background that never shows.
bool SettingsReachTheDesktop() {
    const std::unique_ptr<GSettingsBackend, ObjectUnref> backend(g_settings_backend_get_default());
    return g_strcmp0(G_OBJECT_TYPE_NAME(backend.get()), "GMemorySettingsBackend") != 0;
}

}  // namespace

GSettingsBackground::GSettingsBackground(const BackgroundSchema& schema, QObject* parent)
    : BackgroundChannel(parent), schema(schema) {}

void GSettingsBackground::Hand(BackgroundImages& images, QDeadlineTimer) {
    const bool spanned = images.Request().monitors.size() > 1;
    images.WriteSpanned(this, [this, spanned](const std::vector<UserFolder>& files) {
        const QString failure = Write(files.front(), spanned ? Spanned : Centred);
        emit Finished(failure.isEmpty() ? Outcome::Set : Outcome::Failed, failure);
    });
}

QString GSettingsBackground::Write(const UserFolder& image, const char* options) {
    if (schema.takesPath) {
        if (QString failure = PathTextFailure(image); !failure.isEmpty()) {
            return failure;
        }
    }
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    const std::unique_ptr<GSettingsSchema, SchemaUnref> found(
        source ? g_settings_schema_source_lookup(source, schema.id, TRUE) : nullptr);
    if (!found) {
        return tr("the settings schema %1 is not installed").arg(QLatin1String(schema.id));
    }
    if (!SettingsReachTheDesktop()) {
        return tr("the desktop's settings cannot be reached (is dconf installed?)");
    }
    const std::unique_ptr<GSettings, ObjectUnref> settings(
        g_settings_new_full(found.get(), nullptr, nullptr));
    const QByteArray named = schema.takesPath ? image.Bytes() : image.Uri();
    QList<QPair<const char*, QByteArray>> values = {{schema.imageKey, named},
                                                    {OptionsKey, options}};
    if (schema.darkImageKey && g_settings_schema_has_key(found.get(), schema.darkImageKey)) {
        values.append({schema.darkImageKey, named});
    }
    for (const auto& [key, value] : values) {
        if (!g_settings_schema_has_key(found.get(), key) ||
            !g_settings_is_writable(settings.get(), key)) {
            return tr("the setting %1 of %2 cannot be changed")
                .arg(QLatin1String(key), QLatin1String(schema.id));
        }
    }
    // Every key changes in one step, so the desktop never shows the image with old options.
    g_settings_delay(settings.get());
    for (const auto& [key, value] : values) {
        g_settings_set_string(settings.get(), key, value.constData());
    }
    g_settings_apply(settings.get());
    g_settings_sync();
    return {};
}

}  // namespace vistrel
