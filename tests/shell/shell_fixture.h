// Fixture for shell tests: a fresh log, a recording message sink, a halt handler that throws
// THaltRequest and a temporary folder; everything is put back afterwards.
#pragma once

#include "log.h"
#include "messages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        fmx::resetLogging();
        fPreviousSink = fmx::setMessageSink(&fSink);
        fPreviousHalt = fmx::setHaltHandler(&fmx::throwingHaltHandler);
        ASSERT_TRUE(fTemp.isValid());
    }
    void TearDown() override {
        fmx::setHaltHandler(fPreviousHalt);
        fmx::setMessageSink(fPreviousSink);
        fmx::setApplShutDown(false);
        fmx::resetLogging();
    }

    QString path(const QString& name) const { return fTemp.filePath(name); }
    static void writeFile(const QString& file, const QByteArray& content) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    static QByteArray readFile(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    fmx::TRecordingMessageSink fSink;
    QTemporaryDir fTemp;

private:
    fmx::TMessageSink* fPreviousSink = nullptr;
    fmx::THaltHandler fPreviousHalt = nullptr;
};
