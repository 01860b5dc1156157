#pragma once

#include <QLocale>
#include <QTranslator>

namespace vistrel {

// The program's texts, and those of Qt's own dialogs, in the user's language while this object
// lives. The language is the first of the locale's UI languages (for the system locale: LANGUAGE,
// else LC_ALL, LC_MESSAGES or LANG) that the program has a translation for; English, the language
// of the source texts, ends the search, and so does the end of the list: without a translation
// the program speaks English. A missing Qt translation leaves Qt's dialogs in English.
class ProgramTranslations {
  public:
    explicit ProgramTranslations(const QLocale& locale = QLocale::system());
    ~ProgramTranslations();

    ProgramTranslations(const ProgramTranslations&) = delete;
    ProgramTranslations& operator=(const ProgramTranslations&) = delete;

  private:
    QTranslator program;
    QTranslator qt;
};

}  // namespace vistrel
