// The user interface language and the choice of the start template.
#pragma once

#include <QString>

namespace fmx {

inline constexpr int kDefaultLanguage = 2057; // English (United Kingdom)

// The language of this run: command-line LANG:, else the environment variable LANG when it is an
// integer (on Linux it normally holds a locale such as en_US.UTF-8, which counts as absent), else
// the stored value LANG (default 0, not created). 0 becomes 2057. Throws TBaseDataError when the
// command-line value is no integer.
int chooseLanguage();

int currentLanguage();
void setCurrentLanguage(int languageId);

// The country code of a language identifier ("NL" for 1043), or empty when it has none.
QString countryCodeForLanguage(int languageId);

struct TStartTemplate {
    QString fName; // "NL project template" or "Default project template"
    QString fFile; // <projectDir>/<name>.base.xml
};

// The start template of a language: the country's template, else the default one. A language
// without a country falls back to the default with a warning in the log. When neither file exists
// the error is shown and the process stops with exit code 1.
TStartTemplate chooseStartTemplate(const QString& projectTemplateDir, int languageId);

} // namespace fmx
