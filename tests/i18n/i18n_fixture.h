// A fresh registry with a small schema whose texts get translated, a temporary folder for
// language files, and the translation state put back to English afterwards.
#pragma once

#include "catalogue.h"
#include "dataobj.h"
#include "dmdata.h"
#include "dmerrors.h"
#include "dmhooks.h"
#include "fmx_assert.h"
#include "langfiles.h"
#include "language.h"
#include "log.h"
#include "messages.h"
#include "textkeys.h"
#include "translate.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace fmxtest {

using namespace fmx;

class TranslationTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetLogging();
        ASSERT_TRUE(fTemp.isValid());
        registerTranslationExceptions();
        reg = TdmData::create();
        const QString none;
        // The XML name holds a "-", which the keys write as "_".
        yield =
            TDataValueDef::Create(valYield, QStringLiteral("Gas yield"), QStringLiteral("Biogas per tonne"),
                                  dvtFloat, QStringLiteral("m3/t"), QStringLiteral("Gas-Yield"));
        share = TDataValueDef::Create(valShare, QStringLiteral("Share"), none, dvtFloat, QStringLiteral("-"));
        plain = TDataValueDef::Create(valPlain, QStringLiteral("Plain"), QStringLiteral("Untranslated note"),
                                      dvtFloat, QStringLiteral("kWh"));
        kind = TDataValueDef::Create(valKind, QStringLiteral("Kind"), none, dvtEnum, none);
        kind->addEnum(1, QStringLiteral("Manure"));
        kind->addEnum(2, QStringLiteral("Maize"));
        kind->addEnum(-3, QStringLiteral("Other"));
        flag = TDataValueDef::CreateBoolDefNee(valFlag, QStringLiteral("Heat delivery"), none);
        item = TDataObjDef::Create(defItem, QStringLiteral("Item"), QStringLiteral("A substrate"),
                                   dataObjClassOf<TDataObj>(QStringLiteral("TDataObj")));
        items = TDataObjListDef::Create(ldefItems, QStringLiteral("ITMS"), QStringLiteral("Items"),
                                        QStringLiteral("All substrates"), 0, -1, false, defItem);
        fPreviousSink = setMessageSink(&fSink);
        fPreviousLanguage = currentLanguage();
        installTranslationHooks();
    }
    void TearDown() override {
        resetTranslation();
        setCurrentLanguage(fPreviousLanguage);
        setMessageSink(fPreviousSink);
        reg.reset();
        resetLogging();
    }

    QString path(const QString& name) const { return fTemp.filePath(name); }
    QString writeFile(const QString& name, const QByteArray& content) const {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return f.fileName();
    }

    // A Dutch language file for the schema above.
    QString writeDutch(const QString& name = QStringLiteral("nl.lng")) const {
        return writeFile(name, QByteArrayLiteral("# Nederlands\n"
                                                 "@language = 1043\n"
                                                 "@name = Nederlands\n"
                                                 "V_Gas_Yield = Gasopbrengst\n"
                                                 "V_Gas_Yield_D = Biogas per ton\n"
                                                 "VU_Gas_Yield = m3/ton\n"
                                                 "V_Share = Aandeel\n"
                                                 "VU_Share = procent\n"
                                                 "V_Kind_E_1 = Mest\n"
                                                 "V_Kind_E_bz3 = Overig\n"
                                                 "V_Heat delivery_E_1 = Ja\n"
                                                 "V_Heat delivery_E_2 = Nee\n"
                                                 "D_Item = Substraat\n"
                                                 "L_Items = Substraten\n"
                                                 "L_Items_D = Alle substraten\n"
                                                 "VM_00000022 = Ongeldige referenties\n"
                                                 "EXCEPT_tdek_InvalidFormat = Ongeldig formaat\n"
                                                 "gStrGeen = [geen]\n"
                                                 "gTxt_Error = Fout\n"
                                                 "U_3025F862 = aa\\nbee = c\n"));
    }

    QTemporaryDir fTemp;
    std::unique_ptr<TdmData> reg;
    int32_t valYield = 0, valShare = 0, valPlain = 0, valKind = 0, valFlag = 0, defItem = 0, ldefItems = 0;
    TDataValueDef* yield = nullptr;
    TDataValueDef* share = nullptr;
    TDataValueDef* plain = nullptr;
    TDataValueDef* kind = nullptr;
    TDataValueDef* flag = nullptr;
    TDataObjDef* item = nullptr;
    TDataObjListDef* items = nullptr;
    TRecordingMessageSink fSink;
    TMessageSink* fPreviousSink = nullptr;
    int fPreviousLanguage = kDefaultLanguage;
};

} // namespace fmxtest
