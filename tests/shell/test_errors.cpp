#include "errors.h"
#include "fmx_assert.h"

#include <gtest/gtest.h>

using namespace fmx;

TEST(ErrorKinds, NumbersFollowRegistrationOrder) {
    registerShellExceptions();
    const int before = getNumRegExceptions();
    int first = -1;
    int second = -1;
    regException(first, QStringLiteral("tdek_TestFirst"), QStringLiteral("First"));
    regException(second, QStringLiteral("tdek_TestSecond"), QStringLiteral("Second"));
    EXPECT_EQ(first, before);
    EXPECT_EQ(second, before + 1);
    EXPECT_EQ(getExceptionRec(second).fVarName, QStringLiteral("tdek_TestSecond"));
    EXPECT_EQ(getExceptionText(first), QStringLiteral("First"));
    EXPECT_EQ(getExceptionText(tdek_NoRights), QStringLiteral("Not enough rights for the action"));
}

TEST(ErrorKinds, MisuseIsAnAssertion) {
    int kind = -1;
    regException(kind, QStringLiteral("tdek_TestTwice"), QStringLiteral("Twice"));
    EXPECT_THROW(regException(kind, QStringLiteral("tdek_TestTwice"), QStringLiteral("Twice")),
                 TAssertionFailure);
    EXPECT_THROW(getExceptionRec(-1), TAssertionFailure);
    EXPECT_THROW(getExceptionRec(getNumRegExceptions()), TAssertionFailure);
}

TEST(BaseDataError, TextIsKindTextWithOptionalMessage) {
    registerShellExceptions();
    const TBaseDataError bare(tdek_DataDirFailure);
    EXPECT_EQ(bare.text(), QStringLiteral("Data directory"));
    const TBaseDataError withMessage(tdek_DataDirFailure, QStringLiteral("/tmp/x is read-only"));
    EXPECT_EQ(withMessage.text(), QStringLiteral("Data directory: /tmp/x is read-only"));
    EXPECT_STREQ(withMessage.what(), "Data directory: /tmp/x is read-only");
    EXPECT_EQ(withMessage.kind(), tdek_DataDirFailure);
}

TEST(BaseDataError, UsesInstalledTranslator) {
    registerShellExceptions();
    setExceptionTextTranslator([](const TExceptionRec& rec) { return QStringLiteral("NL ") + rec.fDefText; });
    const TBaseDataError err(tdek_DataDirFailure, QStringLiteral("x"));
    setExceptionTextTranslator(nullptr);
    EXPECT_EQ(err.text(), QStringLiteral("NL Data directory: x"));
}
