// A program folder with the object manager open on it (ProgramFolderTest: a temporary one, or the
// folder programDir() names), and ProjectFilesTest: a temporary one holding a calculable template
// "Good template" and the rules "Default Subsidy", both written from the engine's reference records.
#pragma once

#include "bridge_project.h"
#include "project_files.h"

#include "bgx_fixture.h"
#include "dmformat.h"
#include "dmhooks.h"
#include "globals.h"
#include "messages.h"
#include "objmanager.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace fmxtest {

class ProgramFolderTest : public ::testing::Test {
protected:
    // The program folder, with a trailing "/".
    virtual QString programDir() const { return path("prog/"); }

    void SetUp() override {
        ASSERT_TRUE(fTmp.isValid());
        initFormatSettings(QLocale::c());
        fOldSink = setMessageSink(&fSink);
        fOldHalt = setHaltHandler(&throwingHaltHandler);
        fSavedDirs = gDirs();
        mutableDirs().fProgramDir = programDir();
        mutableDirs().fPersonalDir = path("personal");
        setApplGlobals(std::make_unique<TBGXApplGlobals>());
        gApplGlobals()->setTemplateDirs(gDirs().fProgramDir);
        for (const QString& d : {path("personal"), projectTemplateDir(), subsidyDir(), htmlTemplateDir()})
            ASSERT_TRUE(QDir().mkpath(d));
        if (!QFile::exists(programDir() + QStringLiteral("global.base.xml")))
            writeFile(programDir() + QStringLiteral("global.base.xml"), "<ROOT>\r\n<GlobaleData rid=\"#40\">\r\n<LastUsedID>2147418200"
                                               "</LastUsedID>\r\n</GlobaleData>\r\n</ROOT>\r\n");
        setCreateProjectDefs([] { dmProjectCreateDefs(); });
        setDmErrorSink([](const QString& t) { MsgError(t); });
        initDefs();
        objectManager()->openData(true, true, 1, 1);
        installProjectCalc();
    }
    void TearDown() override {
        setProjectCalcFunction(nullptr);
        destroyObjectManager();
        setCreateProjectDefs({});
        setDmErrorSink(nullptr);
        dmObjectManagerHooks() = TDmObjectManagerHooks{};
        gDefGlobaleDataID = 0;
        setApplGlobals(nullptr);
        mutableDirs() = fSavedDirs;
        setHaltHandler(fOldHalt);
        setMessageSink(fOldSink);
    }

    QString path(const char* rel) const { return fTmp.filePath(QString::fromUtf8(rel)); }
    static void writeFile(const QString& file, const QByteArray& bytes) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // The messages shown so far, then forgotten.
    QStringList takeMessages() {
        QStringList texts;
        for (const auto& m : fSink.fShown) texts << m.fText;
        fSink.fShown.clear();
        return texts;
    }

    QTemporaryDir fTmp;
    TRecordingMessageSink fSink;
    TMessageSink* fOldSink = nullptr;
    THaltHandler fOldHalt = nullptr;
    TApplDirs fSavedDirs;
};

class ProjectFilesTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        writeGoodTemplate();
    }

    // Writes "Good template" and "Default Subsidy"; edit changes the template before it is written.
    void writeGoodTemplate(const std::function<void(TProject&)>& edit = {}, const char* name = "Good template") {
        setProjectCalcFunction(nullptr); // files are written as they are, without calculating
        std::unique_ptr<TProject> p = newReferenceProject();
        if (edit) withRecalcSuspended(p.get(), [&] { edit(*p); });
        p->saveToFile(projectTemplateDir() + QLatin1Char('/') + QString::fromUtf8(name), true, sxt_ForFileStorage);
        p->projectSub()->saveToFile(subsidyDir() + QStringLiteral("/Default Subsidy"), true, sxt_ForFileStorage);
        installProjectCalc();
        fSink.fShown.clear();
    }
};

} // namespace fmxtest
