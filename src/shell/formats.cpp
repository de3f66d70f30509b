#include "formats.h"

namespace fmx {

TApplFormatSettings gApplUserFormat = formatSettingsFor(QLocale::c());
TApplFormatSettings gApplXMLFormat = xmlFormatSettingsFrom(gApplUserFormat);

namespace {

// The first character of a format that is no format letter.
QChar separatorOf(const QString& format, QChar fallback) {
    for (const QChar c : format)
        if (!c.isLetter() && c != QLatin1Char('\'') && !c.isSpace()) return c;
    return fallback;
}

} // namespace

TApplFormatSettings formatSettingsFor(const QLocale& locale) {
    TApplFormatSettings s;
    s.fLocale = locale;
    s.DecimalSeparator = locale.decimalPoint().at(0);
    s.ThousandSeparator =
        locale.groupSeparator().isEmpty() ? QChar(QLatin1Char(' ')) : locale.groupSeparator().at(0);
    s.ShortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    s.LongTimeFormat = locale.timeFormat(QLocale::LongFormat);
    s.DateSeparator = separatorOf(s.ShortDateFormat, QLatin1Char('/'));
    s.TimeSeparator = separatorOf(s.LongTimeFormat, QLatin1Char(':'));
    s.ListSeparator = s.DecimalSeparator == QLatin1Char(',') ? QLatin1Char(';') : QLatin1Char(',');
    return s;
}

TApplFormatSettings xmlFormatSettingsFrom(const TApplFormatSettings& user) {
    TApplFormatSettings s = user;
    s.fLocale = QLocale::c();
    s.DecimalSeparator = QLatin1Char('.');
    // A thousands separator equal to the decimal separator would make stored numbers ambiguous.
    if (s.ThousandSeparator == QLatin1Char('.')) s.ThousandSeparator = QLatin1Char(',');
    s.ShortDateFormat.replace(user.DateSeparator, QLatin1Char('-'));
    s.LongTimeFormat.replace(user.TimeSeparator, QLatin1Char(':'));
    s.DateSeparator = QLatin1Char('-');
    s.TimeSeparator = QLatin1Char(':');
    return s;
}

TApplFormatSettings dutchFormatSettings() {
    TApplFormatSettings s = formatSettingsFor(QLocale(QLocale::Dutch, QLocale::Netherlands));
    s.DecimalSeparator = QLatin1Char(',');
    s.ThousandSeparator = QLatin1Char('.');
    s.DateSeparator = QLatin1Char('-');
    s.TimeSeparator = QLatin1Char(':');
    s.ListSeparator = QLatin1Char(';');
    s.ShortDateFormat = QStringLiteral("d-M-yyyy");
    s.LongTimeFormat = QStringLiteral("HH:mm:ss");
    return s;
}

void initApplFormats(const QLocale& locale) {
    QLocale::setDefault(locale);
    gApplUserFormat = formatSettingsFor(locale);
    gApplXMLFormat = xmlFormatSettingsFrom(gApplUserFormat);
}

} // namespace fmx
