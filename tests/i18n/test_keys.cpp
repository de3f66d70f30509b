#include "i18n_fixture.h"

using namespace fmx;
using namespace fmxtest;

TEST(TextKey, HashOfUtf16CodeUnits) {
    struct Case {
        QString text;
        const char* key;
    };
    // Worked out by hand from hash := hash * 65599 + c (32-bit wrap-around).
    const Case cases[] = {
        {QStringLiteral("abc"), "U_3025F862"},
        {QString(), "U_00000000"},
        {QStringLiteral("a"), "U_00000061"},          // leading zeros kept
        {QStringLiteral("ab"), "U_00611841"},         // 97 * 65599 + 98
        {QStringLiteral("Abc"), "U_20640842"},        // case counts
        {QStringLiteral("abc "), "U_D1BA203E"},       // a trailing blank gives another key
        {QStringLiteral("\u00e9"), "U_000000E9"},     // one code unit, not its UTF-8 bytes
        {QStringLiteral("\U0001F600"), "U_D8731503"}, // both surrogates
        {QStringLiteral("Unsuccessful calculation! Evaluate input values."), "U_BFC0D10A"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(textKey(c.text), QLatin1String(c.key)) << c.text.toStdString();
}

using Keys = TranslationTest;

TEST_F(Keys, EveryKindOfKey) {
    struct Case {
        QString actual;
        const char* expected;
    };
    const Case cases[] = {
        {keyValueCaption(*yield), "V_Gas_Yield"},
        {keyValueNote(*yield), "V_Gas_Yield_D"},
        {keyValueUnit(*yield), "VU_Gas_Yield"},
        {keyEnumText(*kind, 2), "V_Kind_E_2"},
        {keyEnumText(*kind, -3), "V_Kind_E_bz3"},
        {keyEnumText(*flag, 1), "V_Heat delivery_E_1"}, // XML name from the caption, blank kept
        {keyListCaption(*items), "L_Items"},
        {keyListNote(*items), "L_Items_D"},
        {keyObjCaption(*item), "D_Item"},
        {keyObjNote(*item), "D_Item_D"},
        {keyValMsg(34), "VM_00000022"},
        {keyValMsg(0x1abcdef), "VM_01ABCDEF"},
        {keyExceptionKind(QStringLiteral("tdek_CalcError")), "EXCEPT_tdek_CalcError"},
        {globalTextKey(gtStrGeen), "gStrGeen"},
        {globalTextKey(gtBvalOnbekend), "gTxt_bvalOnbekend"},
        {globalTextKey(gtValString), "gValString"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.actual, QLatin1String(c.expected));
}
