#include "i18n_fixture.h"

#include <QTemporaryDir>

using namespace fmx;
using namespace fmxtest;

namespace {

// The message of the language-file error that f throws; fails the test when it throws none.
template <class F> QString languageFileError(F&& f) {
    try {
        f();
    } catch (const TBaseDataError& e) {
        EXPECT_EQ(e.kind(), tdek_LanguageFile);
        return e.text();
    }
    ADD_FAILURE() << "no error";
    return QString();
}

} // namespace

TEST(Catalogue, WriteThenReadGivesTheSameCatalogue) {
    registerTranslationExceptions();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TCatalogue cat;
    cat.setLanguageID(1045);
    cat.setLanguageName(QStringLiteral("Polski \u0142"));
    cat.set(QStringLiteral("U_1"), QStringLiteral("two\nlines"));
    cat.set(QStringLiteral("U_2"), QStringLiteral("windows\r\nbreak"));
    cat.set(QStringLiteral("U_3"), QStringLiteral("a = b == c"));
    cat.set(QStringLiteral("U_4"), QStringLiteral("  blanks at both ends "));
    cat.set(QStringLiteral("U_5"), QStringLiteral("back\\slash \\n not a break\\"));
    cat.set(QStringLiteral("U_6"), QStringLiteral("\ttab"));
    cat.set(QStringLiteral("U_7"), QStringLiteral("# not a comment"));
    cat.set(QStringLiteral("U_8"), QStringLiteral("Wydajno\u015b\u0107 \u4e2d\u6587 \U0001F600 \u00e9"));
    cat.set(QStringLiteral("V_Heat delivery_E_1"), QStringLiteral("Tak"));
    cat.set(QStringLiteral("U_9"), QStringLiteral(" "));
    const QString file = dir.filePath(QStringLiteral("pl.lng"));
    writeCatalogue(cat, file);

    const TCatalogue back = readCatalogue(file);
    EXPECT_TRUE(back == cat);
    EXPECT_EQ(back.text(QStringLiteral("U_4")), QStringLiteral("  blanks at both ends "));
    EXPECT_EQ(back.entries().back().first, QStringLiteral("U_9"));

    // One entry per line: no text broke its line.
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    int entryLines = 0;
    for (const QByteArray& l : lines)
        entryLines += l.startsWith("U_") || l.startsWith("V_") ? 1 : 0;
    EXPECT_EQ(entryLines, cat.count());
}

TEST(Catalogue, ReadsWhatTranslatorsWrite) {
    // A BOM, CRLF line ends, comments, blank lines, blanks around "=", an empty text, an "=" in
    // the text and header fields after entries.
    const TCatalogue cat = parseCatalogue(QByteArrayLiteral("\xEF\xBB\xBF# comment\r\n"
                                                            "\r\n"
                                                            "   # indented comment\r\n"
                                                            "V_A=Eerste\r\n"
                                                            "\tV_B   =   x = y \r\n"
                                                            "V_C =\r\n"
                                                            "@name = Nederlands\r\n"
                                                            "@language = 1043"),
                                          QStringLiteral("nl.lng"));
    EXPECT_EQ(cat.languageID(), 1043);
    EXPECT_EQ(cat.languageName(), QStringLiteral("Nederlands"));
    EXPECT_EQ(cat.count(), 3);
    EXPECT_EQ(cat.text(QStringLiteral("V_A")), QStringLiteral("Eerste"));
    EXPECT_EQ(cat.text(QStringLiteral("V_B")), QStringLiteral("x = y"));
    EXPECT_TRUE(cat.contains(QStringLiteral("V_C")));
    EXPECT_EQ(cat.text(QStringLiteral("V_C")), QString());
}

TEST(Catalogue, MalformedFilesAreRefusedWithTheLine) {
    registerTranslationExceptions();
    struct Case {
        QByteArray contents;
        const char* expected;
    };
    const Case cases[] = {
        {QByteArrayLiteral("@language = 1043\nV_A Eerste\n"),
         "bad.lng, line 2: no \"=\" between key and text"},
        {QByteArrayLiteral("@language = 1043\nV_A = a\\qb\n"), "bad.lng, line 2: unknown escape"},
        {QByteArrayLiteral("@language = 1043\nV_A = ends in \\\n"), "bad.lng, line 2: unknown escape"},
        {QByteArrayLiteral("@language = 1043\nV_A = a\n\nV_A = b\n"),
         "bad.lng, line 4: key \"V_A\" was already given on line 2"},
        {QByteArrayLiteral(" = text\n@language = 1043\n"), "bad.lng, line 1: invalid key \"\""},
        {QByteArrayLiteral("@language = nl\n"), "bad.lng, line 1: \"nl\" is not a language identifier"},
        {QByteArrayLiteral("@language = 1043\n@language = 1031\n"),
         "bad.lng, line 2: \"@language\" is given twice"},
        {QByteArrayLiteral("@lang = 1043\n"), "bad.lng, line 1: unknown header field \"@lang\""},
        {QByteArrayLiteral("V_A = Eerste\n"), "bad.lng: the line \"@language = <identifier>\" is missing"},
        {QByteArrayLiteral("@language = 1043\nV_A = caf\xE9\n"), "bad.lng: the file is not valid UTF-8"},
    };
    for (const Case& c : cases) {
        const QString message =
            languageFileError([&] { parseCatalogue(c.contents, QStringLiteral("bad.lng")); });
        EXPECT_TRUE(message.startsWith(QStringLiteral("Language file: ")));
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.expected))) << message.toStdString();
    }
}

TEST(Catalogue, UnreadableAndUnwritableFilesGiveTheirPath) {
    registerTranslationExceptions();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("missing.lng"));
    EXPECT_TRUE(languageFileError([&] {
                    readCatalogue(missing);
                }).contains(missing + QStringLiteral(" cannot be read")));

    TCatalogue cat;
    cat.setLanguageID(1043);
    const QString noFolder = dir.filePath(QStringLiteral("no/such/folder/nl.lng"));
    EXPECT_TRUE(languageFileError([&] {
                    writeCatalogue(cat, noFolder);
                }).contains(noFolder + QStringLiteral(" cannot be written")));
}

TEST(Catalogue, ReplacingATextKeepsItsPlace) {
    TCatalogue cat;
    cat.set(QStringLiteral("V_A"), QStringLiteral("1"));
    cat.set(QStringLiteral("V_B"), QStringLiteral("2"));
    cat.set(QStringLiteral("V_A"), QStringLiteral("3"));
    ASSERT_EQ(cat.count(), 2);
    EXPECT_EQ(cat.entries()[0], std::make_pair(QStringLiteral("V_A"), QStringLiteral("3")));
    // Keys that the file format cannot hold are programming errors.
    for (const char* bad : {"", "#V", "@V", "V=A", "V\nA", " V"})
        EXPECT_THROW(cat.set(QString::fromUtf8(bad), QStringLiteral("x")), TAssertionFailure) << bad;
    EXPECT_EQ(cat.count(), 2);
}
