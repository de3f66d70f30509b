#include "dmformat.h"

#include "dmerrors.h"
#include "dmhooks.h"

#include <cmath>
#include <limits>

namespace fmx {

bool fltEqual(double a, double b) {
    if (b == 0.0) return std::fabs(a - b) < 1e-6;
    return std::fabs(1.0 - a / b) < 1e-10;
}
bool fltZero(double x) {
    return std::fabs(x) < 1e-6;
}
bool fltLessOrEqual(double a, double b) {
    return fltEqual(a, b) || b - a > 1e-6;
}
bool fltEqualOrGreater(double a, double b) {
    return fltEqual(a, b) || a - b > 1e-6;
}

TFormatSettings TFormatSettings::fromLocale(const QLocale& locale) {
    TFormatSettings fs;
    fs.locale = locale;
    fs.decimalSeparator = locale.decimalPoint();
    fs.thousandSeparator = locale.groupSeparator();
    fs.shortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    // The short patterns of some locales carry two-digit years; dates are always shown in full.
    if (!fs.shortDateFormat.contains(QStringLiteral("yyyy")))
        fs.shortDateFormat.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    fs.longTimeFormat = QStringLiteral("HH:mm:ss");
    fs.dateSeparator = QStringLiteral("/");
    for (const QChar c : fs.shortDateFormat) {
        if (!c.isLetter()) {
            fs.dateSeparator = QString(c);
            break;
        }
    }
    fs.timeSeparator = QStringLiteral(":");
    return fs;
}

TFormatSettings gUserFormatSettings;
TFormatSettings gXMLFormatSettings;
TFormatSettings gNLUserFormatSettings;

namespace {

QString withDateSeparator(QString pattern, const QString& from, const QString& to) {
    if (from != to) pattern.replace(from, to);
    return pattern;
}

struct TFormatInit {
    TFormatInit() { initFormatSettings(QLocale()); }
};
const TFormatInit gFormatInit;

const QDateTime& epoch() {
    static const QDateTime e(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    return e;
}

QString invalidNumber(const QString& text) {
    return dmTl(QStringLiteral("\"%s\" is not a valid number")).replace(QStringLiteral("%s"), text);
}
QString invalidDate(const QString& text) {
    return dmTl(QStringLiteral("\"%s\" is not a valid date")).replace(QStringLiteral("%s"), text);
}

} // namespace

void initFormatSettings(const QLocale& userLocale) {
    gUserFormatSettings = TFormatSettings::fromLocale(userLocale);
    gXMLFormatSettings = gUserFormatSettings;
    gXMLFormatSettings.decimalSeparator = QStringLiteral(".");
    gXMLFormatSettings.shortDateFormat = withDateSeparator(
        gUserFormatSettings.shortDateFormat, gUserFormatSettings.dateSeparator, QStringLiteral("-"));
    gXMLFormatSettings.dateSeparator = QStringLiteral("-");
    gXMLFormatSettings.timeSeparator = QStringLiteral(":");
    if (gXMLFormatSettings.thousandSeparator == gXMLFormatSettings.decimalSeparator)
        gXMLFormatSettings.thousandSeparator = QStringLiteral(",");
    gNLUserFormatSettings = TFormatSettings::fromLocale(QLocale(QLocale::Dutch, QLocale::Netherlands));
    gNLUserFormatSettings.dateSeparator = QStringLiteral("-");
    gNLUserFormatSettings.shortDateFormat = QStringLiteral("dd-MM-yyyy");
    gNLUserFormatSettings.decimalSeparator = QStringLiteral(",");
    gNLUserFormatSettings.thousandSeparator = QStringLiteral(".");
}

double roundTiesToEven(double v) {
    return std::nearbyint(v);
}

QString formatFloat(double value, int decimals, const TFormatSettings& fs) {
    if (!std::isfinite(value)) return QString::number(value);
    if (decimals < 0) {
        QString s = QString::number(value, 'g', 15);
        s.replace(QLatin1Char('e'), QLatin1Char('E'));
        s.replace(QLatin1Char('.'), fs.decimalSeparator);
        return s;
    }
    const double scale = std::pow(10.0, decimals);
    double rounded = roundTiesToEven(value * scale) / scale;
    if (rounded == 0.0) rounded = 0.0; // no "-0"
    QString plain = QString::number(rounded, 'f', decimals);
    QString sign;
    if (plain.startsWith(QLatin1Char('-'))) {
        sign = QStringLiteral("-");
        plain.remove(0, 1);
    }
    const qsizetype dot = plain.indexOf(QLatin1Char('.'));
    const QString intPart = dot < 0 ? plain : plain.left(dot);
    const QString fracPart = dot < 0 ? QString() : plain.mid(dot + 1);
    QString grouped;
    for (qsizetype i = 0; i < intPart.size(); ++i) {
        if (i > 0 && (intPart.size() - i) % 3 == 0) grouped += fs.thousandSeparator;
        grouped += intPart[i];
    }
    return fracPart.isEmpty() ? sign + grouped : sign + grouped + fs.decimalSeparator + fracPart;
}

double parseFloat(const QString& text, const TFormatSettings& fs) {
    QString s = text.trimmed();
    if (!fs.thousandSeparator.isEmpty())
        for (const QChar c : fs.thousandSeparator)
            s.remove(c);
    QString c = s;
    if (fs.decimalSeparator != QStringLiteral(".")) {
        if (c.contains(QLatin1Char('.'))) throw EConvertError(invalidNumber(s));
        c.replace(fs.decimalSeparator, QStringLiteral("."));
    }
    bool ok = false;
    const double v = QLocale::c().toDouble(c, &ok);
    if (!ok || !std::isfinite(v) || c.isEmpty()) throw EConvertError(invalidNumber(s));
    return v;
}

QString floatToXML(double value) {
    QString s = formatFloat(value, -1, gXMLFormatSettings);
    if (std::isfinite(value)) {
        // Magnitudes just below the largest double round up past it at 15 digits; 17 digits read back.
        bool ok = false;
        const double back = QLocale::c().toDouble(s, &ok);
        if (!ok || !std::isfinite(back))
            s = QString::number(value, 'g', 17).replace(QLatin1Char('e'), QLatin1Char('E'));
    }
    return s;
}

double floatFromXML(const QString& text) {
    const QString s = text.trimmed();
    bool ok = false;
    const double v = QLocale::c().toDouble(s, &ok);
    if (!ok || !std::isfinite(v)) throw EConvertError(invalidNumber(text));
    return v;
}

int32_t parseInteger(const QString& text) {
    const QString s = text.trimmed();
    bool ok = false;
    const int v = s.toInt(&ok, 10);
    if (!ok) throw EConvertError(invalidNumber(text));
    return v;
}

double dateTimeToDays(const QDateTime& dt) {
    const QDateTime local(dt.date(), dt.time(), Qt::UTC);
    return static_cast<double>(epoch().msecsTo(local)) / 86400000.0;
}

QDateTime daysToDateTime(double days) {
    const qint64 ms = static_cast<qint64>(std::llround(days * 86400000.0));
    const QDateTime utc = epoch().addMSecs(ms);
    return QDateTime(utc.date(), utc.time());
}

QString formatDate(double days, const TFormatSettings& fs) {
    return daysToDateTime(days).date().toString(fs.shortDateFormat);
}

QString formatDateTime(double days, const TFormatSettings& fs) {
    const QDateTime dt = daysToDateTime(days);
    QString s = dt.date().toString(fs.shortDateFormat);
    if (dt.time() != QTime(0, 0)) s += QLatin1Char(' ') + dt.time().toString(fs.longTimeFormat);
    return s;
}

namespace {
// The pattern, else the same with one-digit days and months accepted ("1/3/2023").
QDate dateFromPattern(const QString& s, const QString& pattern) {
    QDate d = QDate::fromString(s, pattern);
    if (d.isValid()) return d;
    QString lenient = pattern;
    lenient.replace(QStringLiteral("dd"), QStringLiteral("d"))
        .replace(QStringLiteral("MM"), QStringLiteral("M"));
    return QDate::fromString(s, lenient);
}
} // namespace

double parseDate(const QString& text, const TFormatSettings& fs) {
    const QString s = text.trimmed();
    const QDate d = dateFromPattern(s, fs.shortDateFormat);
    if (!d.isValid()) throw EConvertError(invalidDate(s));
    return dateTimeToDays(QDateTime(d, QTime(0, 0)));
}

double parseDateTime(const QString& text, const TFormatSettings& fs) {
    const QString s = text.trimmed();
    const qsizetype blank = s.indexOf(QLatin1Char(' '));
    const QDate d = dateFromPattern(blank < 0 ? s : s.left(blank), fs.shortDateFormat);
    if (!d.isValid()) throw EConvertError(invalidDate(s));
    QTime t(0, 0);
    if (blank >= 0) {
        const QString ts = s.mid(blank + 1).trimmed();
        t = QTime::fromString(ts, fs.longTimeFormat);
        if (!t.isValid()) t = QTime::fromString(ts, QStringLiteral("H:mm"));
        if (!t.isValid()) throw EConvertError(invalidDate(s));
    }
    return dateTimeToDays(QDateTime(d, t));
}

QString dateToXML(double days) {
    return daysToDateTime(days).date().toString(QStringLiteral("yyyy-MM-dd"));
}

QString dateTimeToXML(double days) {
    return daysToDateTime(days).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

double dateFromXML(const QString& text) {
    registerDataModelExceptions();
    const QString s = text.trimmed();
    if (s.isEmpty() || s == QStringLiteral("-  -")) return dmNow();
    const QStringList parts = s.split(QLatin1Char('-'));
    if (parts.size() < 3) throw TDataError(tdek_InvalidFormat, QStringLiteral("Ongeldige datum ") + text);
    bool ok1 = false, ok2 = false, ok3 = false;
    const int p1 = parts[0].trimmed().toInt(&ok1);
    const int p2 = parts[1].trimmed().toInt(&ok2);
    const int p3 = parts.mid(2).join(QLatin1Char('-')).trimmed().toInt(&ok3);
    if (!ok1 || !ok2 || !ok3) throw EConvertError(invalidNumber(text));
    QDate d;
    if (p1 > 31 && p3 < p1)
        d = QDate(p1, p2, p3);
    else if (p3 > 31 && p1 < p3)
        d = QDate(p3, p1, p2);
    else
        throw TDataError(tdek_InvalidFormat, QStringLiteral("Ongeldige datum ") + text +
                                                 QStringLiteral(": kan niet bepalen wat het jaartal is"));
    if (!d.isValid()) throw EConvertError(invalidDate(text));
    return dateTimeToDays(QDateTime(d, QTime(0, 0)));
}

double dateTimeFromXML(const QString& text) {
    registerDataModelExceptions();
    const QString s = text.trimmed();
    const auto bad = [&]() {
        return TDataError(tdek_InvalidFormat, QStringLiteral("Ongeldige datum/tijd ") + text);
    };
    if (s.size() < 10 || s[4] != QLatin1Char('-') || s[7] != QLatin1Char('-')) throw bad();
    bool ok1 = false, ok2 = false, ok3 = false;
    const QDate d(s.mid(0, 4).toInt(&ok1), s.mid(5, 2).toInt(&ok2), s.mid(8, 2).toInt(&ok3));
    if (!ok1 || !ok2 || !ok3 || !d.isValid()) throw bad();
    QTime t(0, 0);
    if (s.size() > 10) {
        const QString ts = s.mid(11);
        if (s[10] != QLatin1Char(' ') || ts.size() != 8 || ts[2] != QLatin1Char(':') ||
            ts[5] != QLatin1Char(':'))
            throw bad();
        t = QTime::fromString(ts, QStringLiteral("HH:mm:ss"));
        if (!t.isValid()) throw bad();
    }
    return dateTimeToDays(QDateTime(d, t));
}

QString dmFormat(QString fmt, const QStringList& args) {
    qsizetype from = 0;
    for (const QString& a : args) {
        qsizetype best = -1;
        for (const char* p : {"%d", "%g", "%s"}) {
            const qsizetype i = fmt.indexOf(QLatin1String(p), from);
            if (i >= 0 && (best < 0 || i < best)) best = i;
        }
        if (best < 0) break;
        fmt.replace(best, 2, a);
        from = best + a.size();
    }
    return fmt;
}

QString fmtG(double v) {
    return QString::number(v, 'g', 15);
}

QString escapeHTML(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("&"), QStringLiteral("&amp;"));
    s.replace(QStringLiteral("\""), QStringLiteral("&quot;"));
    s.replace(QStringLiteral("<"), QStringLiteral("&lt;"));
    s.replace(QStringLiteral(">"), QStringLiteral("&gt;"));
    s.replace(QChar(0x00B2), QStringLiteral("&#178;"));
    s.replace(QChar(0x00B3), QStringLiteral("&#179;"));
    s.replace(QChar(0x20AC), QStringLiteral("&#8364;"));
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        if (c.unicode() > 127)
            out += QStringLiteral("\\u") +
                   QString::number(c.unicode(), 16).rightJustified(4, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    return out;
}

} // namespace fmx
