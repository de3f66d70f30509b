// Number and date formats: the user's own (user interface, CSV export) and the fixed one for
// stored data (decimal ".", date "-", time ":").
#pragma once

#include <QChar>
#include <QLocale>
#include <QString>

namespace fmx {

struct TFormatSettings {
    QLocale fLocale;
    QChar DecimalSeparator;
    QChar ThousandSeparator;
    QChar DateSeparator;
    QChar TimeSeparator;
    QChar ListSeparator;
    QString ShortDateFormat; // QDate format string
    QString LongTimeFormat;  // QTime format string
};

extern TFormatSettings gUserFormatSettings;
extern TFormatSettings gXMLFormatSettings;

// The settings of a locale. The list separator is ";" where the decimal separator is ",".
TFormatSettings formatSettingsFor(const QLocale& locale);
// The settings for stored data, derived from the user's.
TFormatSettings xmlFormatSettingsFrom(const TFormatSettings& user);
// The Dutch settings (decimal ",", thousands ".", date "d-M-yyyy").
TFormatSettings dutchFormatSettings();

// Makes locale the default locale and sets both global settings from it.
void initFormatSettings(const QLocale& locale = QLocale::system());

} // namespace fmx
