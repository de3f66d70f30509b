#include "dm_fixture.h"

#include <functional>

using namespace fmx;
using namespace fmxtest;

namespace {

// One value of each class in a settings object, created through its definition.
class Conversion : public DataModelTest {
protected:
    TAbstractDataValue* make(int32_t type, const QString& name = QStringLiteral("V")) {
        int32_t id = 0;
        TDataValueDef::Create(id, name, QString(), type, QString());
        if (type == dvtEnum) {
            dmData->addEnum(1, QStringLiteral("Yes"));
            dmData->addEnum(2, QStringLiteral("No"));
        }
        if (!holder) {
            holder = dmData->FindDataObjDefWithID(S.defSettings)->CreateRootDataObj(false, false);
            holder->deepSetUnchanged();
        }
        return holder->cAddVal(id);
    }
    void TearDown() override {
        holder.reset(); // trees go before the registry that owns their definitions
        DataModelTest::TearDown();
    }
    std::unique_ptr<TDataObj> holder;
};

QString convertMessage(const std::function<void()>& f) {
    try {
        f();
    } catch (const EConvertError& e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}

} // namespace

TEST_F(Conversion, RefusedConversionsRaiseTheirMessage) {
    struct Case {
        int32_t type;
        const char* accessor;
        const char* message;
    };
    const Case cases[] = {
        {dvtInteger, "Date", "Can not convert int to date"},
        {dvtInteger, "DateTime", "Can not convert int to datetime"},
        {dvtInteger, "Reference", "Can not convert int to reference"},
        {dvtEnum, "Date", "Can not convert enum to date"},
        {dvtEnum, "DateTime", "Can not convert enum to datetime"},
        {dvtEnum, "Reference", "Can not convert enum to reference"},
        {dvtFloat, "Reference", "Can not convert float to reference"},
        {dvtString, "Date", "Can not convert string to datetime"},
        {dvtString, "DateTime", "Can not convert string to datetime"},
        {dvtString, "Reference", "Can not convert string to reference"},
        {dvtDate, "Boolean", "Can not convert between a date and a boolean"},
        {dvtDate, "Reference", "Can not convert float to reference"},
        {dvtDateTime, "Boolean", "Can not convert between a date and a boolean"},
        {dvtDateTime, "Reference", "Can not convert float to reference"},
        {dvtReference, "Boolean", "Can not convert between a reference and a boolean"},
        {dvtReference, "Date", "Can not convert reference to date"},
        {dvtReference, "DateTime", "Can not convert reference to datetime"},
        {dvtBinaryIncl, "Integer", "Can not convert binary data to int"},
        {dvtBinaryIncl, "Float", "Can not convert binary data to float"},
        {dvtBinaryIncl, "Boolean", "Can not convert between binary data and a boolean"},
        {dvtBinaryIncl, "Date", "Can not convert binary data to date"},
        {dvtBinaryIncl, "DateTime", "Can not convert binary data to datetime"},
        {dvtBinaryIncl, "Reference", "Can not convert binary data to reference"},
    };
    for (const Case& c : cases) {
        TAbstractDataValue* v = make(c.type);
        const QString before = v->getAsXML();
        const std::string a = c.accessor;
        std::function<void()> get, set;
        if (a == "Integer") get = [&] { v->getAsInteger(); }, set = [&] { v->setAsInteger(3); };
        if (a == "Float") get = [&] { v->getAsFloat(); }, set = [&] { v->setAsFloat(3); };
        if (a == "Boolean") get = [&] { v->getAsBoolean(); }, set = [&] { v->setAsBoolean(true); };
        if (a == "Date") get = [&] { v->getAsDate(); }, set = [&] { v->setAsDate(40000); };
        if (a == "DateTime") get = [&] { v->getAsDateTime(); }, set = [&] { v->setAsDateTime(40000); };
        if (a == "Reference")
            get = [&] { v->getAsReference(); }, set = [&] { v->setAsReference(holder.get()); };
        EXPECT_EQ(convertMessage(get), QString::fromLatin1(c.message)) << c.type << " get " << a;
        EXPECT_EQ(convertMessage(set), QString::fromLatin1(c.message)) << c.type << " set " << a;
        EXPECT_EQ(v->getAsXML(), before);
        EXPECT_FALSE(holder->isChanged());
    }
    TAbstractDataValue* bin = make(dvtBinaryIncl);
    EXPECT_EQ(convertMessage([&] { bin->setAsString(QStringLiteral("x")); }),
              QStringLiteral("Can not convert binary data to string"));
}

TEST_F(Conversion, AllowedConversionsBetweenTypes) {
    TAbstractDataValue* i = make(dvtInteger);
    i->setAsString(QStringLiteral(" 42 "));
    EXPECT_EQ(i->getAsInteger(), 42);
    i->setAsFloat(2.5);
    EXPECT_EQ(i->getAsInteger(), 2); // ties to even
    i->setAsFloat(3.5);
    EXPECT_EQ(i->getAsInteger(), 4);
    i->setAsInteger(2);
    EXPECT_FALSE(i->getAsBoolean());
    i->setAsBoolean(true);
    EXPECT_EQ(i->getAsInteger(), 1);
    EXPECT_TRUE(i->getAsBoolean());
    EXPECT_EQ(convertMessage([&] { i->setAsString(QStringLiteral("12a")); }),
              QStringLiteral("\"12a\" is not a valid number"));
    EXPECT_THROW(i->setAsFloat(1e12), ERangeError);
    EXPECT_EQ(i->getAsInteger(), 1);

    TAbstractDataValue* f = make(dvtFloat);
    f->setAsFloat(-2.5);
    EXPECT_EQ(f->getAsInteger(), -2);
    f->setAsFloat(1.0);
    EXPECT_TRUE(f->getAsBoolean());
    f->setAsBoolean(false);
    EXPECT_DOUBLE_EQ(f->getAsFloat(), 2.0);
    f->setAsDate(40000.25);
    EXPECT_DOUBLE_EQ(f->getAsDateTime(), 40000.25);

    TAbstractDataValue* s = make(dvtString);
    s->setAsBoolean(true);
    EXPECT_EQ(s->getAsString(), QStringLiteral("Yes"));
    EXPECT_TRUE(s->getAsBoolean());
    s->setAsString(QStringLiteral("yes"));
    EXPECT_FALSE(s->getAsBoolean());
    s->setAsInteger(17);
    EXPECT_EQ(s->getAsInteger(), 17);
    s->setAsFloat(2.25);
    EXPECT_DOUBLE_EQ(s->getAsFloat(), 2.25);

    TAbstractDataValue* e = make(dvtEnum);
    EXPECT_EQ(e->getAsInteger(), 1); // first entry without a default
    e->setAsString(QStringLiteral(" No "));
    EXPECT_EQ(e->getAsInteger(), 2);
    EXPECT_FALSE(e->getAsBoolean());
    EXPECT_EQ(e->getAsXML(), QStringLiteral("2"));

    TAbstractDataValue* d = make(dvtDate);
    EXPECT_DOUBLE_EQ(d->getAsDate(), 45000.5); // the application clock
    d->setAsDateTime(45001.75);
    EXPECT_DOUBLE_EQ(d->getAsDate(), 45001.0);
    d->setAsInteger(45010);
    EXPECT_DOUBLE_EQ(d->getAsFloat(), 45010.0);
    TAbstractDataValue* dt = make(dvtDateTime);
    dt->setAsDateTime(45001.75);
    EXPECT_DOUBLE_EQ(dt->getAsDate(), 45001.0);
    dt->setAsDate(45002.6);
    EXPECT_DOUBLE_EQ(dt->getAsDateTime(), 45002.0);

    TAbstractDataValue* r = make(dvtReference);
    r->setAsFloat(7.9);
    EXPECT_EQ(r->getAsInteger(), 7);
}

TEST_F(Conversion, EnumerationChecks) {
    TAbstractDataValue* e = make(dvtEnum);
    try {
        e->setAsInteger(5);
        ADD_FAILURE() << "accepted an undeclared entry";
    } catch (const TDataError& err) {
        EXPECT_EQ(err.kind(), tdek_InvalidEnumValue);
        EXPECT_EQ(err.message(), QStringLiteral("Enum getalswaarde 5 ongeldig voor value van type \"V\""));
        EXPECT_EQ(err.obj(), e);
    }
    // Text that matches no entry is a data error the caller can show, not an assertion.
    EXPECT_THROW(e->setAsString(QStringLiteral("yes")), TDataError);
    EXPECT_EQ(e->getAsInteger(), 1);
    e->setBusy(true);
    e->setAsInteger(5); // while loading the ID is kept
    EXPECT_EQ(e->getAsInteger(), 5);
    EXPECT_EQ(e->getAsString(), QStringLiteral("?"));
    e->setBusy(false);
    e->Definition()->setValidateEnums(false);
    e->setAsInteger(6);
    EXPECT_EQ(e->getAsInteger(), 6);
}

TEST_F(Conversion, LimitsAndLengths) {
    makeRoot({QStringLiteral("a")});
    TAbstractDataValue* count = item(0)->getValueWithID(S.valCount);
    count->setAsInteger(4);
    try {
        count->setAsInteger(11);
        ADD_FAILURE();
    } catch (const ERangeError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Value 11 is above the maximum 10"));
    }
    EXPECT_EQ(convertMessage([] {}), QStringLiteral("(no error)"));
    EXPECT_THROW(count->setAsInteger(-1), ERangeError);
    count->setBusy(true);
    EXPECT_THROW(count->setAsInteger(11), ERangeError); // integer limits hold while loading too
    count->setBusy(false);
    EXPECT_EQ(count->getAsInteger(), 4);

    TAbstractDataValue* level = root->settings()->getValueWithID(S.valLevel);
    level->Definition()->setMMDAsFloat(0, 0.5);
    level->Definition()->setMMDAsFloat(1, 2.5);
    try {
        level->setAsFloat(3.0);
        ADD_FAILURE();
    } catch (const ERangeError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Value 3 is above the maximum 2.5"));
    }
    EXPECT_THROW(level->setAsFloat(0.25), ERangeError);
    level->setBusy(true);
    level->setAsFloat(3.0); // float limits are not checked while loading
    EXPECT_DOUBLE_EQ(level->getAsFloat(), 3.0);
    level->setBusy(false);
    level->Definition()->setCustomField(2);
    level->setBusy(true);
    EXPECT_THROW(level->setAsFloat(4.0), ERangeError);
    level->setBusy(false);

    TAbstractDataValue* name = item(0)->getValueWithID(S.valName);
    try {
        name->setAsString(QString(255, QLatin1Char('x')));
        ADD_FAILURE();
    } catch (const ERangeError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("De lengte van de tekst is te groot (max. 254 karakters)"));
    }
    EXPECT_EQ(name->getAsString(), QStringLiteral("a"));
    name->setAsTruncString(QString(300, QLatin1Char('y')));
    EXPECT_EQ(name->getAsString().size(), 254);
    EXPECT_FALSE(assertionMessage([&] { count->setAsTruncString(QStringLiteral("1")); }).isEmpty());

    TAbstractDataValue* date = item(0)->getValueWithID(S.valDate);
    date->Definition()->setMMDAsFloat(0, 45000.0); // 2023-03-15
    try {
        date->setAsDate(44999.0);
        ADD_FAILURE();
    } catch (const ERangeError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Datum 14 Mar 2023 is voor het minimum 15 Mar 2023"));
    }
}

TEST_F(Conversion, EqualFloatsChangeNothing) {
    makeRoot({QStringLiteral("a")});
    int32_t id = 0;
    TDataValueDef::Create(id, QStringLiteral("Ratio"), QString(), dvtFloat1, QString());
    TAbstractDataValue* v = item(0)->cAddVal(id);
    v->setBusy(true);
    v->setAsFloat(2.0);
    v->setBusy(false);
    TRecordingLink link;
    link.setLinkedObj(v);
    v->setAsFloat(2.00000000001);
    EXPECT_TRUE(link.hits.empty());
    EXPECT_FALSE(item(0)->isChanged());
    EXPECT_DOUBLE_EQ(v->getAsFloat(), 2.0);
}

TEST_F(Conversion, FloatHelpers) {
    EXPECT_TRUE(fltEqual(1.0, 1.0 + 1e-11));
    EXPECT_FALSE(fltEqual(1.0, 1.0 + 1e-9));
    EXPECT_TRUE(fltEqual(5e-7, 0.0));
    EXPECT_FALSE(fltEqual(2e-6, 0.0));
    EXPECT_TRUE(fltZero(-9e-7));
    EXPECT_TRUE(fltLessOrEqual(1.0, 1.0));
    EXPECT_TRUE(fltLessOrEqual(1.0, 1.1));
    EXPECT_FALSE(fltLessOrEqual(1.1, 1.0));
    EXPECT_TRUE(fltEqualOrGreater(1.1, 1.0));
    EXPECT_FALSE(fltEqualOrGreater(1.0, 1.1));
}

// Texts under three locales set explicitly.
TEST_F(Conversion, LocaleTexts) {
    struct Case {
        QLocale locale;
        const char* thousands; // 1234567.125 with 2 decimals
        const char* typed;     // what a user of the locale types for 1234.5
        const char* shortDate; // 45000 = 2023-03-15
        const char* free;      // 0.5 in free format
    };
    const Case cases[] = {
        {QLocale::c(), "1,234,567.12", "1,234.5", "15 Mar 2023", "0.5"},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), "1,234,567.12", "1,234.5", "15/03/2023", "0.5"},
        {QLocale(QLocale::Dutch, QLocale::Netherlands), "1.234.567,12", "1.234,5", "15-03-2023", "0,5"},
    };
    for (const Case& c : cases) {
        initFormatSettings(c.locale);
        makeRoot({QStringLiteral("a")});
        TAbstractDataValue* amount = item(0)->getValueWithID(S.valAmount);
        amount->setAsFloat(1234567.125);
        EXPECT_EQ(amount->getAsString(), QString::fromUtf8(c.thousands)) << c.locale.name().toStdString();
        EXPECT_EQ(amount->getAsXML(), QStringLiteral("1234567.125"));
        amount->setAsString(QString::fromUtf8(c.typed));
        EXPECT_DOUBLE_EQ(amount->getAsFloat(), 1234.5) << c.locale.name().toStdString();
        amount->setAsXML(QStringLiteral("2.5E3"));
        EXPECT_DOUBLE_EQ(amount->getAsFloat(), 2500.0);
        EXPECT_THROW(amount->setAsString(QStringLiteral("abc")), EConvertError);
        TAbstractDataValue* level = root->settings()->getValueWithID(S.valLevel);
        level->setAsFloat(0.5);
        EXPECT_EQ(level->getAsString(), QString::fromUtf8(c.free));
        TAbstractDataValue* date = item(0)->getValueWithID(S.valDate);
        date->setAsDate(45000.0);
        EXPECT_EQ(date->getAsString(), QString::fromUtf8(c.shortDate)) << c.locale.name().toStdString();
        date->setAsDate(1.0);
        date->setAsString(QString::fromUtf8(c.shortDate));
        EXPECT_DOUBLE_EQ(date->getAsDate(), 45000.0);
        EXPECT_EQ(date->getAsXML(), QStringLiteral("2023-03-15"));
        EXPECT_EQ(date->getAsLCString(gNLUserFormatSettings), QStringLiteral("15-03-2023"));
        EXPECT_EQ(amount->getAsLCString(gNLUserFormatSettings), QStringLiteral("2.500,00"));
        EXPECT_EQ(convertMessage([&] { date->setAsString(QStringLiteral("31-02-x")); }),
                  QStringLiteral("\"31-02-x\" is not a valid date"));
    }
}

TEST_F(Conversion, RoundingToDecimalsIsTiesToEven) {
    EXPECT_EQ(formatFloat(0.5, 0, gXMLFormatSettings), QStringLiteral("0"));
    EXPECT_EQ(formatFloat(1.5, 0, gXMLFormatSettings), QStringLiteral("2"));
    EXPECT_EQ(formatFloat(2.5, 0, gXMLFormatSettings), QStringLiteral("2"));
    EXPECT_EQ(formatFloat(-0.4, 0, gXMLFormatSettings), QStringLiteral("0"));
    EXPECT_EQ(formatFloat(-1234.5, 1, gUserFormatSettings), QStringLiteral("-1,234.5"));
    EXPECT_EQ(formatFloat(1e20, -1, gXMLFormatSettings), QStringLiteral("1E+20"));
}

TEST_F(Conversion, DateTimeTexts) {
    initFormatSettings(QLocale(QLocale::English, QLocale::UnitedKingdom));
    makeRoot();
    int32_t id = 0;
    TDataValueDef::Create(id, QStringLiteral("Stamp"), QString(), dvtDateTime, QString());
    TAbstractDataValue* v = root->cAddVal(id);
    v->setAsString(QStringLiteral("15/03/2023 06:30:00"));
    EXPECT_DOUBLE_EQ(v->getAsDateTime(), 45000.0 + 6.5 / 24.0);
    EXPECT_EQ(v->getAsString(), QStringLiteral("15/03/2023 06:30:00"));
    EXPECT_EQ(v->getAsLCString(gUserFormatSettings), QStringLiteral("15/03/2023"));
    EXPECT_EQ(v->getAsXML(), QStringLiteral("2023-03-15 06:30:00"));
    v->setAsString(QStringLiteral("16/03/2023"));
    EXPECT_EQ(v->getAsString(), QStringLiteral("16/03/2023")); // midnight: no time
    v->setAsXML(QStringLiteral("2024-01-02 23:59:58"));
    EXPECT_EQ(v->getAsXML(), QStringLiteral("2024-01-02 23:59:58"));
    EXPECT_THROW(v->setAsXML(QStringLiteral("2024/01/02")), TDataError);
    TAbstractDataValue* d = root->cAddVal(S.valDate);
    d->setAsString(QStringLiteral(" 1/3/2023 ")); // one-digit day and month as typed
    EXPECT_EQ(d->getAsXML(), QStringLiteral("2023-03-01"));
    d->setAsXML(QStringLiteral("03-15-2023")); // four-digit year last: month-day-year
    EXPECT_DOUBLE_EQ(d->getAsDate(), 45000.0);
    try {
        d->setAsXML(QStringLiteral("01-02-03"));
        ADD_FAILURE();
    } catch (const TDataError& e) {
        EXPECT_EQ(e.kind(), tdek_InvalidFormat);
        EXPECT_EQ(e.message(),
                  QStringLiteral("Ongeldige datum 01-02-03: kan niet bepalen wat het jaartal is"));
    }
    EXPECT_DOUBLE_EQ(d->getAsDate(), 45000.0);
}

TEST_F(Conversion, HTMLAndCSVTexts) {
    TAbstractDataValue* s = make(dvtString);
    s->setAsString(QStringLiteral("<\u20ac>"));
    EXPECT_EQ(s->getAsHTML(), QStringLiteral("&lt;&#8364;&gt;"));
    s->setAsString(QStringLiteral("a&\"b\" m\u00b2 \u00e9"));
    EXPECT_EQ(s->getAsHTML(), QStringLiteral("a&amp;&quot;b&quot; m&#178; \\u00E9"));
    s->setAsString(QStringLiteral("cows, pigs"));
    EXPECT_EQ(s->asCSV(QLatin1Char(',')), QStringLiteral("\"cows, pigs\""));
    EXPECT_EQ(s->asCSV(QLatin1Char(' ')), QStringLiteral("cows, pigs"));
    s->setAsString(QStringLiteral("say \"hi\""));
    EXPECT_EQ(s->asCSV(QLatin1Char(';')), QStringLiteral("\"say \"\"hi\"\"\""));
    TAbstractDataValue* f = make(dvtFloat);
    f->setAsFloat(1.5);
    EXPECT_EQ(f->asCSV(QLatin1Char(',')), QStringLiteral("1.5"));
}

TEST_F(Conversion, EmptyTests) {
    TAbstractDataValue* i = make(dvtInteger);
    EXPECT_TRUE(i->isDefaultOrEmptyOrZero());
    i->Definition()->setMMDAsInteger(2, 5);
    i->setAsInteger(5);
    EXPECT_TRUE(i->isDefaultOrEmptyOrZero());
    i->setAsInteger(6);
    EXPECT_TRUE(i->isNotDefaultOrEmptyOrZero());
    TAbstractDataValue* f = make(dvtFloat);
    f->setAsFloat(5e-7);
    EXPECT_TRUE(f->isDefaultOrEmptyOrZero());
    TAbstractDataValue* s = make(dvtString);
    EXPECT_TRUE(s->isDefaultOrEmptyOrZero());
    TAbstractDataValue* d = make(dvtDate);
    EXPECT_FALSE(d->isDefaultOrEmptyOrZero());
    TAbstractDataValue* e = make(dvtEnum);
    EXPECT_FALSE(e->isDefaultOrEmptyOrZero());
    TAbstractDataValue* r = make(dvtReference);
    EXPECT_TRUE(r->isDefaultOrEmptyOrZero());
    auto* b = static_cast<TBinDataValue*>(make(dvtBinaryIncl));
    EXPECT_TRUE(b->isDefaultOrEmptyOrZero());
    b->setData(QByteArrayLiteral("\x01\x02"));
    EXPECT_FALSE(b->isDefaultOrEmptyOrZero());
    EXPECT_EQ(b->getAsXML(), QStringLiteral("INCL0000000200000102"));
    EXPECT_THROW(b->setAsXML(QStringLiteral("@@@")), EConvertError);
    EXPECT_EQ(b->dataSize(), 2);
}
