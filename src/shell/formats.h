// Number and date formats of the application shell: the user's own (user interface, CSV export)
// and the fixed one for stored data (decimal ".", date "-", time ":"). The data model keeps its own
// format settings for value texts (dmformat.h); whoever starts the program re-initialises those after
// initAppl has chosen the locale.
#pragma once

#include <QChar>
#include <QLocale>
#include <QString>

namespace fmx {

struct TApplFormatSettings {
    QLocale fLocale;
    QChar DecimalSeparator;
    QChar ThousandSeparator;
    QChar DateSeparator;
    QChar TimeSeparator;
    QChar ListSeparator;
    QString ShortDateFormat; // QDate format string
    QString LongTimeFormat;  // QTime format string
};

extern TApplFormatSettings gApplUserFormat;
extern TApplFormatSettings gApplXMLFormat;

// The settings of a locale. The list separator is ";" where the decimal separator is ",".
TApplFormatSettings formatSettingsFor(const QLocale& locale);
// The settings for stored data, derived from the user's.
TApplFormatSettings xmlFormatSettingsFrom(const TApplFormatSettings& user);
// The Dutch settings (decimal ",", thousands ".", date "d-M-yyyy").
TApplFormatSettings dutchFormatSettings();

// Makes locale the default locale and sets both global settings from it.
void initApplFormats(const QLocale& locale = QLocale::system());

} // namespace fmx
