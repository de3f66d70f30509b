// Language catalogues: the texts of one language by key, and their file format (UTF-8, one
// "key = text" per line; the format is described in data/Translate/README.md).
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <utility>
#include <vector>

namespace fmx {

// The error kind of every language-file failure (unreadable, malformed, not writable).
extern int tdek_LanguageFile;
// Registers tdek_LanguageFile (after the data model's kinds) once; idempotent.
void registerTranslationExceptions();

class TCatalogue {
public:
    int languageID() const { return fLanguageID; }
    void setLanguageID(int id) { fLanguageID = id; }
    const QString& languageName() const { return fLanguageName; }
    void setLanguageName(const QString& name) { fLanguageName = name; }

    // Adds an entry or replaces the text of an existing one (which keeps its place). An invalid
    // key (see isValidKey) is a programming error (assertion) and is not added.
    void set(const QString& key, const QString& text);
    // The text of key; empty when absent.
    QString text(const QString& key) const;
    bool contains(const QString& key) const { return fIndex.contains(key); }
    int count() const { return static_cast<int>(fEntries.size()); }
    // In the order of first insertion.
    const std::vector<std::pair<QString, QString>>& entries() const { return fEntries; }

    // A key is not empty, holds no "=" and no line break, neither begins nor ends with a blank or
    // tab, and does not begin with "#" (a comment) or "@" (a header field). Inner blanks are
    // allowed: XML names taken from captions have them.
    static bool isValidKey(const QString& key);

    bool operator==(const TCatalogue& other) const;

private:
    int fLanguageID = 0;
    QString fLanguageName;
    std::vector<std::pair<QString, QString>> fEntries;
    QHash<QString, int> fIndex;
};

// Parses the contents of a catalogue file. sourceName (usually the path) opens every message.
// Throws TBaseDataError (tdek_LanguageFile) naming the line for malformed UTF-8, a line without
// "=", an invalid key, a bad escape, an unknown or bad header field, a repeated key and a missing
// "@language".
TCatalogue parseCatalogue(const QByteArray& contents, const QString& sourceName);
// The file text of a catalogue; parseCatalogue of it gives the catalogue back.
QByteArray serializeCatalogue(const TCatalogue& catalogue);

// Reads a catalogue file. Throws TBaseDataError (tdek_LanguageFile) when it cannot be read or
// parsed.
TCatalogue readCatalogue(const QString& path);
// Writes a catalogue file whole (QSaveFile): on failure the old file stays as it was and
// TBaseDataError (tdek_LanguageFile) is thrown.
void writeCatalogue(const TCatalogue& catalogue, const QString& path);

// The escapes of a text on a catalogue line ("\\", "\n", "\r", "\t"; "\s" for a blank at either
// end) and their reverse. unescapeCatalogueText returns false for an unknown or unfinished escape.
QString escapeCatalogueText(const QString& text);
bool unescapeCatalogueText(const QString& escaped, QString& text);

} // namespace fmx
