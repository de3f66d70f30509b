#include "errors.h"
#include "fmx_assert.h"
#include "qstring_printer.h"
#include "xmlreader.h"
#include "xmlwriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace fmx;

namespace {

QString assertionMessage(const std::function<void()>& call) {
    try {
        call();
    } catch (const TAssertionFailure& e) {
        return e.message();
    }
    return QStringLiteral("<no assertion>");
}

QByteArray fileBytes(const QString& name) {
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly)) return QByteArrayLiteral("<unreadable>");
    return f.readAll();
}

void writeFile(const QString& name, const QByteArray& bytes) {
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

} // namespace

TEST(XMLWriter, OutputHasCrLfLinesWithoutIndentation) {
    TXMLWriter w;
    w.addNode("root");
    w.addNodeAttr("rid", QStringLiteral("#1"));
    w.addValueNode("v", QStringLiteral("5"));
    w.addValueNode("empty", QString());
    w.addNode("withAttr");
    w.addNodeAttr("loadorder", QStringLiteral("2"));
    w.closeValueNode(QString());
    w.addNode("bare");
    w.closeValueNode(QString());
    w.addNode("text");
    w.closeValueNode(QStringLiteral("t"));
    w.addCDataValueNode("cd", QStringLiteral("a]]>b"));
    w.addCDataValueNode("cdEmpty", QString());
    w.addNode("sub");
    w.closeNode();
    w.closeNodeFinal();
    EXPECT_EQ(w.asString(), QByteArray("<root rid=\"#1\">\r\n"
                                       "<v>5</v>\r\n"
                                       "<empty/>\r\n"
                                       "<withAttr loadorder=\"2\"></withAttr>\r\n"
                                       "<bare/>\r\n"
                                       "<text>t</text>\r\n"
                                       "<cd><![CDATA[a]]&gt;b]]></cd>\r\n"
                                       "<cdEmpty/>\r\n"
                                       "<sub>\r\n"
                                       "</sub>\r\n"
                                       "</root>\r\n"));
    EXPECT_EQ(w.asStream(), w.asString());
}

TEST(XMLWriter, EscapingRoundTripsThroughTheReader) {
    const QString texts[] = {QStringLiteral("<&\">"), QStringLiteral("&lt;"),
                             QStringLiteral("&amp;quot; ' &#65;"), QStringLiteral("trailing  "),
                             QStringLiteral("line\r\nbreak"), QStringLiteral("\u00E9\u20AC\U0001F600 \u4E2D"),
                             QStringLiteral("]]>"),
                             // A text that itself begins with U+FEFF keeps it (found by fuzzing).
                             QStringLiteral("\uFEFFmark")};
    TXMLWriter w;
    w.addNode("r");
    for (const QString& t : texts) {
        w.addNode("a");
        w.addNodeAttr("v", t);
        w.closeValueNode(t);
        w.addCDataValueNode("c", t);
    }
    w.closeNodeFinal();
    EXPECT_TRUE(w.asString().contains("&lt;&amp;&quot;&gt;"));

    TXMLReader r = TXMLReader::fromBytes(w.asString());
    r.nextNode();
    ASSERT_TRUE(r.hasChildren());
    for (const QString& t : texts) {
        SCOPED_TRACE(t.toStdString());
        ASSERT_TRUE(r.nextChild());
        EXPECT_EQ(r.attrValueName("v"), t);
        EXPECT_EQ(r.nodeValue(), t);
        ASSERT_TRUE(r.nextChild());
        EXPECT_EQ(r.nodeName(), QByteArray("c"));
        EXPECT_EQ(r.nodeValue(), t);
    }
    EXPECT_FALSE(r.nextChild());
    EXPECT_TRUE(r.eof());
}

TEST(XMLWriter, MisuseIsAnAssertion) {
    EXPECT_EQ(assertionMessage([] { TXMLWriter().addNodeAttr("a", QString()); }),
              QStringLiteral("TXMLParser.closeStartNode: start tag not open"));
    EXPECT_EQ(assertionMessage([] { TXMLWriter().closeValueNode(QString()); }),
              QStringLiteral("TXMLParser.closeValueNode: no node left on stack"));
    EXPECT_EQ(assertionMessage([] {
                  TXMLWriter w;
                  w.addNode("a");
                  w.addValueNode("b", QStringLiteral("1"));
                  w.closeValueNode(QString());
              }),
              QStringLiteral("TXMLParser.closeValueNode: start tag not open"));
    EXPECT_EQ(assertionMessage([] {
                  TXMLWriter w;
                  w.addNode("a");
                  w.closeNode();
                  w.addNodeAttr("x", QString()); // the start tag was closed
              }),
              QStringLiteral("TXMLParser.closeStartNode: start tag not open"));
    EXPECT_EQ(assertionMessage([] { TXMLWriter().closeNode(); }),
              QStringLiteral("TXMLParser.closeNode: no node left on stack"));
    EXPECT_THROW(
        {
            TXMLWriter w;
            w.addNode("a");
            w.addNode("b");
            w.closeNodeFinal();
        },
        TAssertionFailure);
    for (const char* name : {"", "a b", "a>", "a\"", "a/b", "a=b", "!a", "?a"}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(TXMLWriter().addNode(name), TAssertionFailure);
        EXPECT_THROW(TXMLWriter().addValueNode(name, QString()), TAssertionFailure);
    }
}

TEST(XMLWriterSave, WritesTheBufferWithoutMarkOrDeclaration) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("out.base.xml"));
    writeFile(name, QByteArray("old content that is longer than the new one\r\n"));
    TXMLWriter w;
    w.addValueNode("a", QStringLiteral("\u00E9"));
    w.save(name);
    EXPECT_EQ(fileBytes(name), QByteArray("<a>\xC3\xA9</a>\r\n"));
}

// A failed save reports the error and leaves the old file as it was (no half-written file).
TEST(XMLWriterSave, FailureInReadOnlyFolderKeepsOldFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders; see FailureMidWriteKeepsOldFile";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("p.base.xml"));
    const QByteArray old("<old/>\r\n");
    writeFile(name, old);
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    TXMLWriter w;
    w.addValueNode("new", QStringLiteral("1"));
    EXPECT_THROW(w.save(name), TXMLFileError);
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(fileBytes(name), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("p.base.xml")});
}

// A full disk simulated with a file size limit: the write fails half-way.
TEST(XMLWriterSave, FailureMidWriteKeepsOldFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("p.base.xml"));
    const QByteArray old("<old/>\r\n");
    writeFile(name, old);
    TXMLWriter w;
    w.addNode("r");
    for (int i = 0; i < 20000; ++i)
        w.addValueNode("v", QStringLiteral("0123456789"));
    w.closeNodeFinal();
    ASSERT_GT(w.asString().size(), 100000);

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = 64 * 1024;
    auto* previous = std::signal(SIGXFSZ, SIG_IGN); // write() then fails with EFBIG instead
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    bool failed = false;
    try {
        w.save(name);
    } catch (const TXMLFileError& e) {
        failed = true;
        EXPECT_EQ(e.fileName(), name);
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(failed);
    EXPECT_EQ(fileBytes(name), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("p.base.xml")});
}
