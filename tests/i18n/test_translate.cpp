#include "i18n_fixture.h"

#include <QDir>

using namespace fmx;
using namespace fmxtest;

using Translate = TranslationTest;

class TranslateTexts : public TranslationTest {
protected:
    void expectEnglish() {
        EXPECT_EQ(yield->DisplayName(), QStringLiteral("Gas yield"));
        EXPECT_EQ(yield->Description(), QStringLiteral("Biogas per tonne"));
        EXPECT_EQ(yield->unitDescr(), QStringLiteral("m3/t"));
        EXPECT_EQ(share->DisplayName(), QStringLiteral("Share"));
        EXPECT_EQ(share->unitDescr(), QStringLiteral("-"));
        EXPECT_EQ(kind->getEnumTextForID(1), QStringLiteral("Manure"));
        EXPECT_EQ(kind->getEnumTextForID(-3), QStringLiteral("Other"));
        EXPECT_EQ(flag->getEnumTextForID(2), QStringLiteral("No"));
        EXPECT_EQ(item->DisplayName(), QStringLiteral("Item"));
        EXPECT_EQ(items->DisplayName(), QStringLiteral("Items"));
        EXPECT_EQ(items->Description(), QStringLiteral("All substrates"));
        EXPECT_EQ(valMsgText(34), QStringLiteral("Ongeldige verwijzingen"));
        EXPECT_EQ(getExceptionText(tdek_InvalidFormat), QStringLiteral("Invalid data format"));
        EXPECT_EQ(gStrGeen(), QStringLiteral("[none]"));
        EXPECT_EQ(tl(QStringLiteral("abc")), QStringLiteral("abc"));
    }
    void expectDutch() {
        EXPECT_EQ(yield->DisplayName(), QStringLiteral("Gasopbrengst"));
        EXPECT_EQ(yield->Description(), QStringLiteral("Biogas per ton"));
        EXPECT_EQ(yield->unitDescr(), QStringLiteral("m3/ton"));
        EXPECT_EQ(share->DisplayName(), QStringLiteral("Aandeel"));
        EXPECT_EQ(kind->getEnumTextForID(1), QStringLiteral("Mest"));
        EXPECT_EQ(kind->getEnumTextForID(-3), QStringLiteral("Overig"));
        EXPECT_EQ(flag->getEnumTextForID(1), QStringLiteral("Ja"));
        EXPECT_EQ(flag->getEnumTextForID(2), QStringLiteral("Nee"));
        EXPECT_EQ(item->DisplayName(), QStringLiteral("Substraat"));
        EXPECT_EQ(items->DisplayName(), QStringLiteral("Substraten"));
        EXPECT_EQ(items->Description(), QStringLiteral("Alle substraten"));
        EXPECT_EQ(valMsgText(34), QStringLiteral("Ongeldige referenties"));
        EXPECT_EQ(getExceptionText(tdek_InvalidFormat), QStringLiteral("Ongeldig formaat"));
        EXPECT_EQ(gStrGeen(), QStringLiteral("[geen]"));
        EXPECT_EQ(tl(QStringLiteral("abc")), QStringLiteral("aa\nbee = c"));
    }
};

TEST_F(TranslateTexts, LanguageFileTranslatesDefinitionsMessagesKindsAndGlobalTexts) {
    expectEnglish();
    loadLanguageFile(writeDutch());
    EXPECT_EQ(currentLanguage(), 1043);
    expectDutch();

    // A "-" unit stays "-", even where the file has a text for it.
    EXPECT_EQ(share->unitDescr(), QStringLiteral("-"));
    // Texts without a key in the file keep their English.
    EXPECT_EQ(plain->DisplayName(), QStringLiteral("Plain"));
    EXPECT_EQ(plain->Description(), QStringLiteral("Untranslated note"));
    EXPECT_EQ(plain->unitDescr(), QStringLiteral("kWh"));
    EXPECT_EQ(kind->getEnumTextForID(2), QStringLiteral("Maize"));
    EXPECT_EQ(item->Description(), QStringLiteral("A substrate"));
    EXPECT_EQ(gTxt_bvalJa(), QStringLiteral("Yes"));
    EXPECT_EQ(getExceptionText(tdek_FileNotFound), QStringLiteral("File not found"));

    // Back to English: every text returns, also those the file had changed.
    EXPECT_FALSE(switchLanguage(kDefaultLanguage));
    EXPECT_EQ(currentLanguage(), kDefaultLanguage);
    expectEnglish();
}

TEST_F(TranslateTexts, ErrorsRaisedAfterTheSwitchCarryTheTranslatedTexts) {
    loadLanguageFile(writeDutch());
    // The kind text of a new error.
    const TBaseDataError e(tdek_InvalidFormat, QStringLiteral("x"));
    EXPECT_EQ(e.text(), QStringLiteral("Ongeldig formaat: x"));
    // The data model's own texts go through tl ...
    setDmTranslator(nullptr);
    EXPECT_EQ(dmTl(QStringLiteral("abc")), QStringLiteral("abc"));
    installTranslationHooks();
    EXPECT_EQ(dmTl(QStringLiteral("abc")), QStringLiteral("aa\nbee = c"));
    // ... and the shell's box captions are the global texts.
    MsgError(QStringLiteral("boom"));
    ASSERT_EQ(fSink.fShown.size(), 1u);
    EXPECT_TRUE(fSink.fShown[0].fCaption.endsWith(QStringLiteral("Fout")))
        << fSink.fShown[0].fCaption.toStdString();
}

TEST_F(Translate, FreeTexts) {
    loadLanguageFile(writeDutch());
    EXPECT_EQ(tl(QString()), QString());
    EXPECT_TRUE(tl(QStringLiteral("")).isEmpty());
    EXPECT_EQ(tlc(QStringLiteral("abc")), QStringLiteral("aa\nbee = c"));
    // Another wording is another key: a trailing blank or other case is not translated.
    EXPECT_EQ(tl(QStringLiteral("abc ")), QStringLiteral("abc "));
    EXPECT_EQ(tl(QStringLiteral("Abc")), QStringLiteral("Abc"));
    EXPECT_EQ(tl(QStringLiteral("Not in the file")), QStringLiteral("Not in the file"));
}

TEST_F(Translate, BrokenLanguageFileChangesNothing) {
    loadLanguageFile(writeDutch());
    const QString broken = writeFile(QStringLiteral("de.lng"), QByteArrayLiteral("@language = 1031\n"
                                                                                 "V_Gas_Yield = Gasertrag\n"
                                                                                 "V_Share Anteil\n"));
    try {
        loadLanguageFile(broken);
        FAIL() << "a broken file was taken";
    } catch (const TBaseDataError& e) {
        EXPECT_EQ(e.text(),
                  QStringLiteral("Language file: %1, line 3: no \"=\" between key and text").arg(broken));
    }
    EXPECT_EQ(currentLanguage(), 1043);
    EXPECT_EQ(yield->DisplayName(), QStringLiteral("Gasopbrengst"));
    EXPECT_EQ(tl(QStringLiteral("abc")), QStringLiteral("aa\nbee = c"));
    EXPECT_EQ(activeCatalogue()->languageID(), 1043);
}

TEST_F(Translate, ScanFindsTheLanguageFilesOfTheFirstTranslateFolder) {
    // <program>/../Translate comes before <program>/Translate, which comes before the program folder.
    QDir root(fTemp.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("app/Translate")));
    const QString program = root.filePath(QStringLiteral("app"));
    EXPECT_EQ(findTranslateDir(program), QDir::cleanPath(program + QStringLiteral("/Translate")));
    ASSERT_TRUE(root.mkpath(QStringLiteral("Translate")));
    EXPECT_EQ(findTranslateDir(program), QDir::cleanPath(root.filePath(QStringLiteral("Translate"))));

    ASSERT_TRUE(root.mkpath(QStringLiteral("scan/lng/sub")));
    const auto put = [&](const QString& name, const QByteArray& text) {
        QFile f(root.filePath(QStringLiteral("scan/lng/") + name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    put(QStringLiteral("b_nl.lng"),
        QByteArrayLiteral("@language = 1043\n@name = Nederlands\nV_Share = Aandeel\n"));
    put(QStringLiteral("a_de.lng"), QByteArrayLiteral("@language = 1031\nV_Share = Anteil\n"));
    put(QStringLiteral("c_nl2.lng"), QByteArrayLiteral("@language = 1043\nV_Share = Deel\n")); // second 1043
    put(QStringLiteral("d_broken.lng"), QByteArrayLiteral("@language = 1036\nV_Share\n"));
    put(QStringLiteral("e_pl.txt"), QByteArrayLiteral("@language = 1045\n"));
    put(QStringLiteral("sub/f_it.lng"), QByteArrayLiteral("@language = 1040\n"));

    resetLogging();
    setUpTranslation(root.filePath(QStringLiteral("scan/lng")));
    // No Translate folder beside or above it: the program folder itself, not its sub-folder.
    const std::vector<TLanguageFile>& files = languageFiles();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].fLanguageID, 1031);
    EXPECT_EQ(files[0].fName, QStringLiteral("a_de")); // no @name: the file name
    EXPECT_EQ(files[1].fLanguageID, 1043);
    EXPECT_EQ(files[1].fName, QStringLiteral("Nederlands"));
    const QString log = pendingLogText();
    EXPECT_TRUE(log.contains(QStringLiteral("Language files in %1: a_de (1031), Nederlands (1043)")
                                 .arg(root.filePath(QStringLiteral("scan/lng")))));
    EXPECT_TRUE(log.contains(QStringLiteral("d_broken.lng, line 2")));
    EXPECT_TRUE(log.contains(QStringLiteral("c_nl2.lng declares language 1043")));

    EXPECT_TRUE(switchLanguage(1031));
    EXPECT_EQ(share->DisplayName(), QStringLiteral("Anteil"));
    EXPECT_TRUE(switchLanguage(1043));
    EXPECT_EQ(share->DisplayName(), QStringLiteral("Aandeel"));
    // A file changed since the scan to declare another language is refused; nothing changes.
    put(QStringLiteral("a_de.lng"), QByteArrayLiteral("@language = 1036\nV_Share = Part\n"));
    try {
        switchLanguage(1031);
        ADD_FAILURE() << "the changed file was taken";
    } catch (const TBaseDataError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("now declares language 1036 instead of 1031")));
    }
    EXPECT_EQ(currentLanguage(), 1043);
    EXPECT_EQ(share->DisplayName(), QStringLiteral("Aandeel"));
    // A language without a file shows English.
    EXPECT_FALSE(switchLanguage(1040));
    EXPECT_EQ(currentLanguage(), 1040);
    EXPECT_EQ(share->DisplayName(), QStringLiteral("Share"));
}

TEST_F(Translate, BaseCatalogueHoldsEveryKeyWithItsEnglishText) {
    tl(QStringLiteral("Unsuccessful calculation! Evaluate input values."));
    registerFreeTexts({QStringLiteral("Shown later"), QString()});
    // Taken while Dutch is shown: still the English texts.
    loadLanguageFile(writeDutch());
    tl(QStringLiteral("abc"));
    const TCatalogue base = buildBaseCatalogue();
    EXPECT_EQ(base.languageID(), kDefaultLanguage);

    struct Case {
        const char* key;
        QString text;
    };
    const Case present[] = {
        {"V_Gas_Yield", QStringLiteral("Gas yield")},
        {"V_Gas_Yield_D", QStringLiteral("Biogas per tonne")},
        {"VU_Gas_Yield", QStringLiteral("m3/t")},
        {"VU_Plain", QStringLiteral("kWh")},
        {"V_Kind_E_1", QStringLiteral("Manure")},
        {"V_Kind_E_bz3", QStringLiteral("Other")},
        {"V_Heat delivery_E_1", QStringLiteral("Yes")},
        {"D_Item", QStringLiteral("Item")},
        {"D_Item_D", QStringLiteral("A substrate")},
        {"L_Items", QStringLiteral("Items")},
        {"L_Items_D", QStringLiteral("All substrates")},
        {"VM_00000022", QStringLiteral("Ongeldige verwijzingen")},
        {"EXCEPT_tdek_InvalidFormat", QStringLiteral("Invalid data format")},
        {"EXCEPT_tdek_LanguageFile", QStringLiteral("Language file")},
        {"gStrGeen", QStringLiteral("[none]")},
        {"gTxt_Info", QStringLiteral("Information")},
        {"gValString", QStringLiteral("Value")},
        {"U_3025F862", QStringLiteral("abc")},
        {"U_BFC0D10A", QStringLiteral("Unsuccessful calculation! Evaluate input values.")},
    };
    for (const Case& c : present)
        EXPECT_EQ(base.text(QLatin1String(c.key)), c.text) << c.key;
    EXPECT_EQ(base.text(textKey(QStringLiteral("Shown later"))), QStringLiteral("Shown later"));
    // The framework's own definitions are there too.
    EXPECT_TRUE(base.contains(keyValueCaption(*dmData->FindValueDefWithID(gvalValueType))));
    // No "-" unit, no empty note.
    EXPECT_FALSE(base.contains(QStringLiteral("VU_Share")));
    EXPECT_FALSE(base.contains(QStringLiteral("V_Share_D")));
    for (const auto& [key, text] : base.entries())
        EXPECT_FALSE(text.isEmpty()) << key.toStdString();

    // Written and read back whole; as a language it shows English again.
    const QString file = path(QStringLiteral("base.lng"));
    writeBaseCatalogue(file);
    EXPECT_TRUE(readCatalogue(file) == base);
    loadLanguageFile(file);
    EXPECT_EQ(yield->DisplayName(), QStringLiteral("Gas yield"));
    EXPECT_EQ(flag->getEnumTextForID(1), QStringLiteral("Yes"));
    EXPECT_EQ(tl(QStringLiteral("abc")), QStringLiteral("abc"));
}

TEST_F(Translate, BaseCatalogueLeavesOutClashingAndUnwritableKeys) {
    int32_t dashed = 0, underscored = 0, trailing = 0;
    // "Gas-Rate" and "Gas_Rate" share the key V_Gas_Rate; a trailing blank cannot end a key.
    TDataValueDef::Create(dashed, QStringLiteral("Gas rate"), QString(), dvtFloat, QString(),
                          QStringLiteral("Gas-Rate"));
    TDataValueDef::Create(underscored, QStringLiteral("Gas flow"), QString(), dvtFloat, QString(),
                          QStringLiteral("Gas_Rate"));
    TDataValueDef::Create(trailing, QStringLiteral("Odd"), QString(), dvtFloat, QString(),
                          QStringLiteral("Odd "));
    const TCatalogue base = buildBaseCatalogue();
    EXPECT_EQ(base.text(QStringLiteral("V_Gas_Rate")), QStringLiteral("Gas rate"));
    const QString log = pendingLogText();
    EXPECT_TRUE(log.contains(
        QStringLiteral("Translation key V_Gas_Rate holds \"Gas rate\"; \"Gas flow\" is left out")));
    EXPECT_TRUE(log.contains(QStringLiteral("Translation key \"V_Odd \" cannot be written")));
    // What is left can be written and read back.
    writeCatalogue(base, path(QStringLiteral("base.lng")));
    EXPECT_TRUE(readCatalogue(path(QStringLiteral("base.lng"))) == base);
}
