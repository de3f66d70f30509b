#include "modules.h"
#include "shell_fixture.h"

using namespace fmx;

namespace {

class Modules : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        clearRegisteredModules();
    }
    void TearDown() override {
        clearRegisteredModules();
        ShellTest::TearDown();
    }
    // Runs call, expecting an internal error; returns its text.
    QString internalErrorOf(const std::function<void()>& call) {
        fSink.fShown.clear();
        try {
            call();
        } catch (const THaltRequest& halt) {
            EXPECT_EQ(halt.fExitCode, 227);
            if (fSink.fShown.size() != 1) return QStringLiteral("<no box>");
            EXPECT_EQ(fSink.fShown[0].fCaption, QStringLiteral("Interne fout"));
            EXPECT_TRUE(fSink.fShown[0].fOwnerless);
            return fSink.fShown[0].fText;
        }
        return QStringLiteral("<no stop>");
    }
    static void registerBoth() {
        registerActualModule(QStringLiteral("Components"), componentsModuleInfo());
        registerActualModule(QStringLiteral("Datamodel"), datamodelModuleInfo());
        registerRequiredModule(QStringLiteral("Components"), 4000, componentsModuleInfo());
        registerRequiredModule(QStringLiteral("Datamodel"), 6000, datamodelModuleInfo());
    }
};

} // namespace

TEST_F(Modules, MatchingDeclarationsPassAndDescribeThemselves) {
    registerBoth();
    registerActualModule(QStringLiteral("Components"), componentsModuleInfo()); // same again is fine
    EXPECT_NO_THROW(verifyRegisteredModules());
    ASSERT_EQ(getRegisteredModuleCount(), 2);
    EXPECT_EQ(getRegisteredModuleInfo(1),
              QStringLiteral("Components LIB: Version 4000 rev 162 date \"2011/10/27 17:35:20\""));
    EXPECT_EQ(getRegisteredModuleInfo(2),
              QStringLiteral("Datamodel LIB: Version 6000 rev 264 date \"2011/10/27 20:06:54\""));
    EXPECT_EQ(getModuleInfoDescr(nullptr), QStringLiteral("No version info"));
}

TEST_F(Modules, VerificationMessages) {
    struct Case {
        const char* what;
        std::function<void()> setUp;
        const char* message;
    };
    TModuleVerInfo otherRev = datamodelModuleInfo();
    otherRev.fSVNInfo_Rev = QStringLiteral("265");
    const Case cases[] = {
        {"version",
         [] {
             registerBoth();
             clearRegisteredModules();
             registerActualModule(QStringLiteral("Datamodel"), datamodelModuleInfo());
             registerRequiredModule(QStringLiteral("Datamodel"), 6001, datamodelModuleInfo());
         },
         "Deze software is gecompileerd met een onjuiste source versie voor module \"Datamodel\", vereist is "
         "source versie 6000, gebruikt is versie 6001"},
        {"revision",
         [otherRev] {
             registerActualModule(QStringLiteral("Datamodel"), datamodelModuleInfo());
             registerRequiredModule(QStringLiteral("Datamodel"), 6000, otherRev);
         },
         "Deze software is gecompileerd met een onjuiste source versie voor module \"Datamodel\", vereist is "
         "source svn revisie \"264\", gebruikt is revisie \"265\""},
        {"lib", [] { registerRequiredModule(QStringLiteral("Extra"), 1, TModuleVerInfo{}); },
         "Ontbrekende lib info voor module \"Extra"},
        {"client", [] { registerActualModule(QStringLiteral("Extra"), TModuleVerInfo{}); },
         "Ontbrekende client info voor module \"Extra"},
    };
    for (const Case& c : cases) {
        clearRegisteredModules();
        c.setUp();
        EXPECT_EQ(internalErrorOf([] { verifyRegisteredModules(); }), QString::fromUtf8(c.message)) << c.what;
    }
}

TEST_F(Modules, MismatchShowsBothSidesInLogLine) {
    registerActualModule(QStringLiteral("Datamodel"), datamodelModuleInfo());
    registerRequiredModule(QStringLiteral("Datamodel"), 6001, datamodelModuleInfo());
    EXPECT_EQ(getRegisteredModuleInfo(1),
              QStringLiteral(
                  "** SOURCE LIB MISMATCH: Datamodel **\r\n SRCLIB: Version 6000 rev 264 date "
                  "\"2011/10/27 20:06:54\"\r\n CLIENT: Version 6001 rev 264 date \"2011/10/27 20:06:54\""));
}

TEST_F(Modules, RegistrationErrors) {
    registerActualModule(QStringLiteral("Components"), componentsModuleInfo());
    TModuleVerInfo changed = componentsModuleInfo();
    changed.fSVNInfo_Date = QStringLiteral("2011/10/28 00:00:00");
    EXPECT_EQ(internalErrorOf([&] { registerActualModule(QStringLiteral("Components"), changed); }),
              QStringLiteral("registerActualModule module \"Components\" 2e registratie met ander versienr"));
    registerRequiredModule(QStringLiteral("Components"), 4000, componentsModuleInfo());
    EXPECT_EQ(
        internalErrorOf(
            [&] { registerRequiredModule(QStringLiteral("Components"), 4001, componentsModuleInfo()); }),
        QStringLiteral("registerRequiredModule module \"Components\" 2e registratie met ander versienr"));

    for (int i = 2; i <= kMaxRegisteredModules; ++i)
        registerActualModule(QStringLiteral("M%1").arg(i), TModuleVerInfo{});
    EXPECT_EQ(internalErrorOf([] { registerActualModule(QStringLiteral("M13"), TModuleVerInfo{}); }),
              QStringLiteral("registerActualModule teveel modules -> registratie module mislukt"));
    EXPECT_EQ(internalErrorOf([] { registerRequiredModule(QStringLiteral("M13"), 1, TModuleVerInfo{}); }),
              QStringLiteral("registerRequiredModule teveel modules -> registratie module mislukt"));
    EXPECT_EQ(getRegisteredModuleCount(), kMaxRegisteredModules);
}
