#include "translations/ProgramTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace vistrel {

ProgramTranslations::ProgramTranslations(const QLocale& locale) {
    for (const QString& name : locale.uiLanguages()) {
        const QLocale candidate(name);
        if (candidate.language() == QLocale::English || candidate.language() == QLocale::C) {
            return;
        }
        if (program.load(candidate, QStringLiteral("vistrel"), QStringLiteral("_"),
                         QStringLiteral(":/i18n"))) {
            QCoreApplication::installTranslator(&program);
            if (qt.load(candidate, QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
                QCoreApplication::installTranslator(&qt);
            }
            return;
        }
    }
}

ProgramTranslations::~ProgramTranslations() {
    // Removing a translator that was never installed is harmless.
    QCoreApplication::removeTranslator(&qt);
    QCoreApplication::removeTranslator(&program);
}

}  // namespace vistrel
