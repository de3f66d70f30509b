#include "catalogue.h"

#include "dmerrors.h"
#include "fmx_assert.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>

namespace fmx {

int tdek_LanguageFile = -1;

void registerTranslationExceptions() {
    registerDataModelExceptions();
    if (tdek_LanguageFile != -1) return;
    regException(tdek_LanguageFile, QStringLiteral("tdek_LanguageFile"), QStringLiteral("Language file"));
}

namespace {

const QString kHeaderLanguage = QStringLiteral("@language");
const QString kHeaderName = QStringLiteral("@name");

[[noreturn]] void fail(const QString& message) {
    registerTranslationExceptions();
    throw TBaseDataError(tdek_LanguageFile, message);
}

[[noreturn]] void failAt(const QString& source, int line, const QString& reason) {
    fail(QStringLiteral("%1, line %2: %3").arg(source).arg(line).arg(reason));
}

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Only blanks and tabs are cut, so every other character of a text survives as written.
QString trimBlanks(const QString& s) {
    qsizetype from = 0;
    qsizetype to = s.size();
    while (from < to && isBlank(s[from]))
        ++from;
    while (to > from && isBlank(s[to - 1]))
        --to;
    return s.mid(from, to - from);
}

} // namespace

void TCatalogue::set(const QString& key, const QString& text) {
    FMX_ASSERT(isValidKey(key), QStringLiteral("TCatalogue.set: ongeldige sleutel \"%1\"").arg(key));
    if (!isValidKey(key)) return;
    const auto it = fIndex.constFind(key);
    if (it != fIndex.constEnd()) {
        fEntries[static_cast<size_t>(*it)].second = text;
        return;
    }
    fIndex.insert(key, static_cast<int>(fEntries.size()));
    fEntries.emplace_back(key, text);
}

QString TCatalogue::text(const QString& key) const {
    const auto it = fIndex.constFind(key);
    return it == fIndex.constEnd() ? QString() : fEntries[static_cast<size_t>(*it)].second;
}

bool TCatalogue::isValidKey(const QString& key) {
    if (key.isEmpty() || key.startsWith(QLatin1Char('#')) || key.startsWith(QLatin1Char('@'))) return false;
    if (isBlank(key.front()) || isBlank(key.back())) return false;
    for (const QChar c : key)
        if (c == QLatin1Char('=') || c == QLatin1Char('\n') || c == QLatin1Char('\r')) return false;
    return true;
}

bool TCatalogue::operator==(const TCatalogue& other) const {
    return fLanguageID == other.fLanguageID && fLanguageName == other.fLanguageName &&
           fEntries == other.fEntries;
}

QString escapeCatalogueText(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else if (c == QLatin1Char('\t'))
            out += QStringLiteral("\\t");
        else if (c == QLatin1Char(' ') && (i == 0 || i == text.size() - 1))
            out += QStringLiteral("\\s");
        else
            out += c;
    }
    return out;
}

bool unescapeCatalogueText(const QString& escaped, QString& text) {
    text.clear();
    text.reserve(escaped.size());
    for (qsizetype i = 0; i < escaped.size(); ++i) {
        const QChar c = escaped[i];
        if (c != QLatin1Char('\\')) {
            text += c;
            continue;
        }
        if (++i == escaped.size()) return false;
        switch (escaped[i].unicode()) {
        case '\\':
            text += QLatin1Char('\\');
            break;
        case 'n':
            text += QLatin1Char('\n');
            break;
        case 'r':
            text += QLatin1Char('\r');
            break;
        case 't':
            text += QLatin1Char('\t');
            break;
        case 's':
            text += QLatin1Char(' ');
            break;
        default:
            return false;
        }
    }
    return true;
}

TCatalogue parseCatalogue(const QByteArray& contents, const QString& sourceName) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString all = decoder.decode(contents);
    if (decoder.hasError()) fail(QStringLiteral("%1: the file is not valid UTF-8").arg(sourceName));

    TCatalogue catalogue;
    bool languageSeen = false;
    bool nameSeen = false;
    QHash<QString, int> keyLines;
    const QStringList lines = all.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNo = static_cast<int>(i) + 1;
        QString line = lines[i];
        if (i == 0 && line.startsWith(QChar(0xFEFF))) line.remove(0, 1);
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        const QString trimmed = trimBlanks(line);
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#'))) continue;

        const qsizetype eq = trimmed.indexOf(QLatin1Char('='));
        if (eq < 0) failAt(sourceName, lineNo, QStringLiteral("no \"=\" between key and text"));
        const QString key = trimBlanks(trimmed.left(eq));
        QString text;
        if (!unescapeCatalogueText(trimBlanks(trimmed.mid(eq + 1)), text))
            failAt(sourceName, lineNo,
                   QStringLiteral("unknown escape; use \\\\, \\n, \\r, \\t or \\s (key \"%1\")").arg(key));

        if (key == kHeaderLanguage) {
            bool ok = false;
            const int id = text.toInt(&ok);
            if (!ok || id <= 0)
                failAt(sourceName, lineNo,
                       QStringLiteral("\"%1\" is not a language identifier (a positive whole number)")
                           .arg(text));
            if (languageSeen) failAt(sourceName, lineNo, QStringLiteral("\"@language\" is given twice"));
            languageSeen = true;
            catalogue.setLanguageID(id);
            continue;
        }
        if (key == kHeaderName) {
            if (nameSeen) failAt(sourceName, lineNo, QStringLiteral("\"@name\" is given twice"));
            nameSeen = true;
            catalogue.setLanguageName(text);
            continue;
        }
        if (key.startsWith(QLatin1Char('@')))
            failAt(sourceName, lineNo,
                   QStringLiteral("unknown header field \"%1\" (known: @language, @name)").arg(key));
        if (!TCatalogue::isValidKey(key))
            failAt(sourceName, lineNo, QStringLiteral("invalid key \"%1\"").arg(key));
        const auto seen = keyLines.constFind(key);
        if (seen != keyLines.constEnd())
            failAt(sourceName, lineNo,
                   QStringLiteral("key \"%1\" was already given on line %2").arg(key).arg(*seen));
        keyLines.insert(key, lineNo);
        catalogue.set(key, text);
    }
    if (!languageSeen)
        fail(QStringLiteral("%1: the line \"@language = <identifier>\" is missing").arg(sourceName));
    return catalogue;
}

QByteArray serializeCatalogue(const TCatalogue& catalogue) {
    QString out;
    out += QStringLiteral("# Fermalux language catalogue (UTF-8): one \"key = text\" per line.\n");
    out += QStringLiteral("# Escapes: \\\\ backslash, \\n line feed, \\r carriage return, \\t tab, "
                          "\\s blank at either end.\n");
    out +=
        kHeaderLanguage + QStringLiteral(" = ") + QString::number(catalogue.languageID()) + QLatin1Char('\n');
    if (!catalogue.languageName().isEmpty())
        out += kHeaderName + QStringLiteral(" = ") + escapeCatalogueText(catalogue.languageName()) +
               QLatin1Char('\n');
    out += QLatin1Char('\n');
    for (const auto& [key, text] : catalogue.entries())
        out += key + QStringLiteral(" = ") + escapeCatalogueText(text) + QLatin1Char('\n');
    return out.toUtf8();
}

TCatalogue readCatalogue(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString()));
    const QByteArray contents = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail(QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString()));
    return parseCatalogue(contents, path);
}

void writeCatalogue(const TCatalogue& catalogue, const QString& path) {
    const QByteArray contents = serializeCatalogue(catalogue);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail(QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
    if (file.write(contents) != contents.size() || !file.commit())
        fail(QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
}

} // namespace fmx
