// Number and date texts, format settings and the float tolerance helpers of the data model.
//
// Dates are day numbers (double): day 0 = 1899-12-30, the fraction is the time of day.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace fmx {

// Float comparisons with an absolute tolerance of 1e-6 and a relative one of 1e-10.
bool fltEqual(double a, double b);
bool fltZero(double x);
bool fltLessOrEqual(double a, double b);
bool fltEqualOrGreater(double a, double b);

// One set of number and date conventions. Patterns are QDate/QTime format strings.
struct TFormatSettings {
    QLocale locale = QLocale::c();
    QString decimalSeparator = QStringLiteral(".");
    QString thousandSeparator = QStringLiteral(",");
    QString dateSeparator = QStringLiteral("/");
    QString timeSeparator = QStringLiteral(":");
    QString shortDateFormat = QStringLiteral("dd/MM/yyyy");
    QString longTimeFormat = QStringLiteral("HH:mm:ss");

    static TFormatSettings fromLocale(const QLocale& locale);
};

// The user's format, the file format ("." decimals, "-" dates, ":" times) and the Dutch format.
extern TFormatSettings gUserFormatSettings;
extern TFormatSettings gXMLFormatSettings;
extern TFormatSettings gNLUserFormatSettings;

// Prepares the three formats from the given user locale (start-up; tests pick the locale).
void initFormatSettings(const QLocale& userLocale);

// Float display: free format (up to 15 significant digits) when decimals is -1, else rounded to
// that many decimals (ties to even), with thousands separators and exactly that many decimals.
QString formatFloat(double value, int decimals, const TFormatSettings& fs);
// Removes every thousands separator, then parses with the format's decimal separator. Throws
// EConvertError "\"%s\" is not a valid number" (translated) with the text after the removal.
double parseFloat(const QString& text, const TFormatSettings& fs);
// Free format with "." and no thousands separator, "E" exponent for very large/small magnitudes.
QString floatToXML(double value);
// Trimmed text with "." as decimal separator; plain and exponent notation.
double floatFromXML(const QString& text);
// Trimmed decimal 32-bit integer; throws EConvertError "\"%s\" is not a valid number".
int32_t parseInteger(const QString& text);
// Round half to even (the platform's default rounding).
double roundTiesToEven(double v);

// Day numbers and QDateTime.
double dateTimeToDays(const QDateTime& dt);
QDateTime daysToDateTime(double days);

QString formatDate(double days, const TFormatSettings& fs);
// Date and time; the time is left out when it is midnight.
QString formatDateTime(double days, const TFormatSettings& fs);
// Parse a date, or a date with optional time, in the format's short date format. Throws
// EConvertError "\"%s\" is not a valid date" (translated).
double parseDate(const QString& text, const TFormatSettings& fs);
double parseDateTime(const QString& text, const TFormatSettings& fs);

// "yyyy-MM-dd" and "yyyy-MM-dd HH:mm:ss" file texts.
QString dateToXML(double days);
QString dateTimeToXML(double days);
// Reads a file date (day-month order detected by the four-digit year); throws TDataError of kind
// tdek_InvalidFormat. Empty text or "-  -" yields the application clock's now.
double dateFromXML(const QString& text);
double dateTimeFromXML(const QString& text);

// Fills the %d / %g / %s placeholders of a message format in order.
QString dmFormat(QString fmt, const QStringList& args);
// General format with 15 significant digits (the %g of messages).
QString fmtG(double v);

// HTML escaping of a display text (entities, then \uXXXX for every character above 127).
QString escapeHTML(const QString& text);

} // namespace fmx
