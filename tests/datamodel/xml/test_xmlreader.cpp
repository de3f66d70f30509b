#include "errors.h"
#include "fmx_assert.h"
#include "qstring_printer.h"
#include "xmlreader.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

using namespace fmx;

namespace {

TXMLReader reader(const char* text) {
    return TXMLReader::fromBytes(QByteArray(text));
}

// Reads all children of the current element, depth first.
void readChildren(TXMLReader& r) {
    if (!r.hasChildren()) return;
    while (r.nextChild())
        readChildren(r);
}

// Reads the root element of text; returns its value, and the message of the error when reading fails.
QString readRootError(const QByteArray& text) {
    try {
        TXMLReader r = TXMLReader::fromBytes(text);
        r.nextNode();
        readChildren(r);
        return QStringLiteral("<no error>");
    } catch (const TBaseDataError& e) {
        EXPECT_EQ(e.kind(), tdek_XMLReadError);
        EXPECT_EQ(e.text(), QStringLiteral("XML read error: ") + e.message());
        return e.message();
    }
}

} // namespace

TEST(XMLReader, EmptyElementsBothWaysAreEqual) {
    for (const char* text : {"<a></a>", "<a/>", "<a  />", "<a>\r\n</a>\r\n"}) {
        SCOPED_TRACE(text);
        TXMLReader r = reader(text);
        r.nextNode();
        EXPECT_EQ(r.nodeName(), QByteArray("a"));
        EXPECT_TRUE(r.nodeValue().isEmpty());
        EXPECT_FALSE(r.hasChildren());
        EXPECT_EQ(r.numAttr(), 0);
        EXPECT_TRUE(r.eof());
    }
}

TEST(XMLReader, ByteOrderMarkDeclarationCommentAndDoctypeAreIgnored) {
    const QByteArray plain("<r><v>1</v></r>");
    const QByteArray decorated("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                               "<!DOCTYPE r>\r\n<!-- a comment -->\r\n<r><v>1</v></r>\r\n");
    for (const QByteArray& text : {plain, decorated}) {
        SCOPED_TRACE(text.constData());
        TXMLReader r = TXMLReader::fromBytes(text);
        r.nextNode();
        EXPECT_EQ(r.nodeName(), QByteArray("r"));
        ASSERT_TRUE(r.hasChildren());
        ASSERT_TRUE(r.nextChild());
        EXPECT_EQ(r.nodeName(), QByteArray("v"));
        EXPECT_EQ(r.nodeValue(), QStringLiteral("1"));
        EXPECT_FALSE(r.nextChild());
        EXPECT_TRUE(r.eof());
    }
}

TEST(XMLReader, NestedChildrenInOrder) {
    TXMLReader r = reader("<a>\r\n<b>1</b>\r\n<s>\r\n<x>9</x>\r\n</s>\r\n<c>2</c>\r\n</a>\r\n");
    r.nextNode();
    EXPECT_EQ(r.nodeName(), QByteArray("a"));
    EXPECT_TRUE(r.hasChildren());
    ASSERT_TRUE(r.nextChild());
    EXPECT_EQ(r.nodeName(), QByteArray("b"));
    EXPECT_EQ(r.nodeValue(), QStringLiteral("1"));
    ASSERT_TRUE(r.nextChild());
    EXPECT_EQ(r.nodeName(), QByteArray("s"));
    ASSERT_TRUE(r.hasChildren());
    ASSERT_TRUE(r.nextChild());
    EXPECT_EQ(r.nodeValue(), QStringLiteral("9"));
    EXPECT_FALSE(r.nextChild()); // end of s
    ASSERT_TRUE(r.nextChild());
    EXPECT_EQ(r.nodeName(), QByteArray("c"));
    EXPECT_EQ(r.nodeValue(), QStringLiteral("2"));
    EXPECT_FALSE(r.hasChildren());
    EXPECT_FALSE(r.nextChild()); // end of a
    EXPECT_TRUE(r.eof());
}

TEST(XMLReader, TextValuesLoseLeadingWhitespaceOnly) {
    TXMLReader r = reader("<a>  x y \t</a>");
    r.nextNode();
    EXPECT_EQ(r.nodeValue(), QStringLiteral("x y \t"));
}

TEST(XMLReader, ReferencesAndUtf8AreDecoded) {
    TXMLReader r = reader("<a t=\"&quot;&amp;lt;&gt;\">&lt;&amp;&quot;&apos;&#65; \xC3\xA9\xE2\x82\xAC</a>");
    r.nextNode();
    EXPECT_EQ(r.attrValueName("t"), QStringLiteral("\"&lt;>"));
    EXPECT_EQ(r.nodeValue(), QStringLiteral("<&\"&apos;&#65; \u00E9\u20AC"));
}

TEST(XMLReader, CharacterDataSectionsAreUnwrapped) {
    TXMLReader r =
        reader("<r><a><![CDATA[x &amp; &lt;y]]></a><b><![CDATA[]]></b><c>!![CDATA[kept]]!</c></r>");
    r.nextNode();
    ASSERT_TRUE(r.nextChild());
    EXPECT_EQ(r.nodeValue(), QStringLiteral("x & <y"));
    ASSERT_TRUE(r.nextChild());
    EXPECT_TRUE(r.nodeValue().isEmpty());
    ASSERT_TRUE(r.nextChild());
    EXPECT_EQ(r.nodeValue(), QStringLiteral("kept"));
    EXPECT_FALSE(r.nextChild());
    // Without any section in the file, text that looks unwrapped stays as it is.
    TXMLReader plain = reader("<c>!![CDATA[kept]]!</c>");
    plain.nextNode();
    EXPECT_EQ(plain.nodeValue(), QStringLiteral("!![CDATA[kept]]!"));
}

TEST(XMLReader, AttributesByNameAndIndex) {
    TXMLReader r = reader("<o rid=\"#12\" loadorder=\"3\" rid=\"second\" Rid=\"x\" e=\"\"></o>");
    r.nextNode();
    ASSERT_EQ(r.numAttr(), 5);
    EXPECT_EQ(r.attrName(1), QByteArray("loadorder"));
    EXPECT_EQ(r.attrValueIdx(1), QStringLiteral("3"));
    EXPECT_EQ(r.attrValueIndex("rid"), 0);
    EXPECT_EQ(r.attrValueName("rid"), QStringLiteral("#12")); // the first of equal names
    EXPECT_EQ(r.attrValueName("Rid"), QStringLiteral("x"));   // case-sensitive
    EXPECT_EQ(r.attrValueIndex("e"), 4);
    EXPECT_EQ(r.attrValueIndex("missing"), -1);
    EXPECT_TRUE(r.attrValueName("missing").isEmpty());
    EXPECT_THROW(r.attrName(5), TAssertionFailure);
    EXPECT_THROW(r.attrValueIdx(-1), TAssertionFailure);

    // The next element reuses the attribute lists: stale entries must not show.
    TXMLReader two = reader("<r><a x=\"1\" y=\"2\"></a><b z=\"3\"></b></r>");
    two.nextNode();
    ASSERT_TRUE(two.nextChild());
    ASSERT_TRUE(two.nextChild());
    EXPECT_EQ(two.numAttr(), 1);
    EXPECT_EQ(two.attrValueIndex("y"), -1);
    try {
        two.attrName(1);
        FAIL() << "expected an assertion";
    } catch (const TAssertionFailure& e) {
        EXPECT_EQ(e.message(), QStringLiteral("TXMLReader.getAttrName: index invalid"));
    }
}

TEST(XMLReader, SaveAndRestoreStateLookAhead) {
    TXMLReader r = reader("<r><a k=\"1\">x</a><b>y</b></r>");
    r.nextNode();
    ASSERT_TRUE(r.nextChild());
    const qint32 pos = r.currPos();
    r.saveState();
    EXPECT_THROW(r.saveState(), TAssertionFailure);
    ASSERT_TRUE(r.nextChild());
    EXPECT_EQ(r.nodeName(), QByteArray("b"));
    EXPECT_FALSE(r.nextChild());
    r.restoreState();
    EXPECT_EQ(r.currPos(), pos);
    EXPECT_EQ(r.nodeName(), QByteArray("a"));
    EXPECT_EQ(r.nodeValue(), QStringLiteral("x"));
    EXPECT_EQ(r.attrValueName("k"), QStringLiteral("1"));
    EXPECT_THROW(r.restoreState(), TAssertionFailure);
    // The restored stack still knows the open root.
    ASSERT_TRUE(r.nextChild());
    EXPECT_EQ(r.nodeValue(), QStringLiteral("y"));
    EXPECT_FALSE(r.nextChild());
}

TEST(XMLReader, EveryParseErrorHasItsMessage) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"", "TXMLParser.nextNode: expected <"},
        {"   ", "TXMLParser.nextNode: expected <"},
        {"x<a/>", "TXMLParser.nextNode: expected <"},
        {"<?xml version=\"1.0\"", "TXMLParser.doePreScan: expected closing tag after \"<?\""},
        {"<a><![CDATA[x</a>", "TXMLParser.doePreScan: expected closing tag after \"<![CDATA[\""},
        {"<a/><!-- never closed", "TXMLParser.doePreScan: expected closing tag after \"<!\""},
        {"<a", "TXMLParser.getNextChar: eof"},
        {"<a ", "TXMLParser.nextNode: eof"},
        {"<a/x", "TXMLParser.nextNode: expected >"},
        {"<a x>", "TXMLParser.nextNode: expected ="},
        {"<a x='1'></a>", "TXMLParser.readAttrValue: expected \""},
        {"<a x=\"1></a>", "TXMLParser.readAttrValue: eof"},
        {"<a x=\"1\" ", "TXMLParser.nextNode: eof"},
        {"<a x=\"1\"/>", "TXMLParser.nextNode: expected ="}, // attributes need a closing tag
        {"<a>text", "TXMLParser.getNextChar: eof"},
        {"<a>", "TXMLParser.nextNode: expected <"},
        {"<a>text<b/></a>", "TXMLParser.nextNode: expected / in closing tag"},
        {"<a>1</b>", "TXMLParser.nextNode: expected closing tag with \"a\""},
        {"<a></b>", "TXMLParser.nextNode: expected closing tag with \"a\""},
        {"<a>1</a x>", "TXMLParser.nextNode: expected >"},
        {"<a><b>1</b></c>", "TXMLParser.nextChild: expected closing tag with \"a\""},
        {"<a><b><c/></b></a2>", "TXMLParser.nextChild: expected closing tag with \"a\""},
        {"<a><b/></a x>", "TXMLParser.nextChild: expected >"},
        {"<a><b/>x</a>", "TXMLParser.nextChild: expected <"},
        {"<a><b/>", "TXMLParser.nextChild: expected <"},
        {"<a><b/><", "TXMLParser.getNextChar: eof"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(readRootError(QByteArray(c.text)), QString::fromUtf8(c.message));
    }
}

TEST(XMLReader, ClosingTagWithoutOpenElementIsRefused) {
    TXMLReader r = reader("<a/></a>");
    r.nextNode();
    try {
        r.nextChild();
        FAIL() << "expected an error";
    } catch (const TBaseDataError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("TXMLParser.nextChild: stack empty"));
    }
}

TEST(XMLReaderFile, LoadReadsTheFileAndReportsMissingOnes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("t.base.xml"));
    {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<r>v</r>\r\n");
    }
    TXMLReader r = TXMLReader::load(name);
    r.nextNode();
    EXPECT_EQ(r.nodeValue(), QStringLiteral("v"));

    // A device would report size 0 and never end.
    for (const QString& bad :
         {dir.filePath(QStringLiteral("missing.xml")), dir.path(), QStringLiteral("/dev/zero")}) {
        SCOPED_TRACE(bad.toStdString());
        try {
            TXMLReader::load(bad);
            FAIL() << "expected a file error";
        } catch (const TXMLFileError& e) {
            EXPECT_EQ(e.fileName(), bad);
            EXPECT_TRUE(e.text().contains(bad));
        }
    }
}

// Hostile input: each is refused with a message, without crashing, hanging or exhausting memory.
TEST(XMLReaderLimits, FileAboveTheSizeLimitIsRefusedBeforeReading) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("huge.xml"));
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(TXMLReader::kMaxFileBytes + 1)); // sparse: no disk space, no time
    f.close();
    try {
        TXMLReader::load(name);
        FAIL() << "expected an error";
    } catch (const TBaseDataError& e) {
        EXPECT_EQ(e.kind(), tdek_XMLReadError);
        EXPECT_EQ(e.message(), QStringLiteral("TXMLParser.load: file larger than 256 MiB: ") + name);
    }
}

TEST(XMLReaderLimits, DeepNestingIsRefusedAtTheDepthLimit) {
    constexpr int depth = 100000;
    QByteArray text;
    text.reserve(depth * 7);
    for (int i = 0; i < depth; ++i)
        text += "<e>";
    for (int i = 0; i < depth; ++i)
        text += "</e>";
    TXMLReader r = TXMLReader::fromBytes(text);
    int opened = 0;
    try {
        r.nextNode();
        while (r.hasChildren() && r.nextChild())
            ++opened;
        FAIL() << "expected an error";
    } catch (const TBaseDataError& e) {
        EXPECT_TRUE(
            e.message().startsWith(QStringLiteral("TXMLParser.nextNode: elements nested deeper than 1000")))
            << e.message().toStdString();
    }
    EXPECT_EQ(opened, TXMLReader::kMaxDepth - 1);

    // Exactly at the limit the file reads.
    QByteArray ok;
    for (int i = 0; i < TXMLReader::kMaxDepth; ++i)
        ok += "<e>";
    ok += "<v/>";
    for (int i = 0; i < TXMLReader::kMaxDepth; ++i)
        ok += "</e>";
    TXMLReader fine = TXMLReader::fromBytes(ok);
    fine.nextNode();
    int closed = 0;
    while (fine.hasChildren() && fine.nextChild()) {
    }
    while (!fine.eof()) {
        EXPECT_FALSE(fine.nextChild());
        ++closed;
    }
    EXPECT_EQ(closed, TXMLReader::kMaxDepth);
}

TEST(XMLReaderLimits, HugeValuesAndNamesAreRefused) {
    constexpr qsizetype size = 100 * 1000 * 1000;
    QByteArray attr("<a v=\"");
    attr.append(size, 'x');
    attr += "\"></a>";
    EXPECT_EQ(readRootError(attr),
              QStringLiteral("TXMLParser.nextNode: value longer than 32 MiB at position 7"));

    QByteArray text("<a>");
    text.append(size, 'x');
    text += "</a>";
    EXPECT_EQ(readRootError(text),
              QStringLiteral("TXMLParser.nextNode: value longer than 32 MiB at position 4"));

    QByteArray name("<");
    name.append(TXMLReader::kMaxNameBytes + 1, 'n');
    name += "/>";
    EXPECT_EQ(readRootError(name), QStringLiteral("TXMLParser.nextNode: name longer than 1024 bytes"));
    QByteArray attrName("<a ");
    attrName.append(TXMLReader::kMaxNameBytes + 1, 'n');
    attrName += "=\"\"></a>";
    EXPECT_EQ(readRootError(attrName), QStringLiteral("TXMLParser.nextNode: name longer than 1024 bytes"));

    QByteArray many("<a");
    for (int i = 0; i <= TXMLReader::kMaxAttributes; ++i)
        many += " a=\"\"";
    many += "></a>";
    EXPECT_EQ(readRootError(many), QStringLiteral("TXMLParser.nextNode: more than 1024 attributes"));

    // Just inside the limits reads fine.
    QByteArray big("<a v=\"");
    big.append(TXMLReader::kMaxValueBytes, 'y');
    big += "\"></a>";
    TXMLReader r = TXMLReader::fromBytes(big);
    r.nextNode();
    EXPECT_EQ(r.attrValueName("v").size(), TXMLReader::kMaxValueBytes);
}
