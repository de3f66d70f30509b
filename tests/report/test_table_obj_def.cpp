#include "table_obj_def.h"

#include "fmx_assert.h"

#include <gtest/gtest.h>

#include <memory>

using fmx::TAssertionFailure;
using fmx::TGenTableObjDef;
using fmx::THTMLTableObjDef;

namespace {

QString q(const char* text) {
    return QString::fromUtf8(text);
}

// A table kind the HTML writer cannot hold as a sub-table.
class TOtherTable : public fmx::TBaseTableObjDef {
public:
    TOtherTable() : TBaseTableObjDef(fmx::t_type_csv) {}
    int AddRow(const QString&) override { return 0; }
    void AddColTab(int, int, int, const QString&, const QString&,
                   std::unique_ptr<TBaseTableObjDef>) override {}
    void EditCol(int, int, const QString&, const QString&, int, int) override {}
    void AddColEx(int, int, int, const QString&, const QString&, int&, int&) override {}
};

} // namespace

TEST(HTMLTable, WithoutRowsWritesOnlyTheTableElement) {
    THTMLTableObjDef plain;
    EXPECT_EQ(plain.HTMLContent(), q("<table>\r\n</table>\r\n"));

    THTMLTableObjDef styled;
    styled.setStyle(QStringLiteral("table_input"));
    styled.setHTMLStyle(QStringLiteral("cellspacing=\"0\""));
    EXPECT_EQ(styled.HTMLContent(), q("<table class=\"table_input\" cellspacing=\"0\">\r\n</table>\r\n"));
    EXPECT_EQ(styled.RowCount(), 0);
    EXPECT_EQ(styled.MaxLogCol(), 0);
}

TEST(HTMLTable, LineBreaksBecomeBR) {
    THTMLTableObjDef table;
    table.AddRow(QString());
    table.AddCol(QStringLiteral("one\r\ntwo\nthree\n\r\nfour"), QString());
    EXPECT_EQ(table.cell(0, 0)->text(), q("one<BR>two<BR>three<BR><BR>four"));
    EXPECT_EQ(table.HTMLContent(), q("<table>\r\n"
                                     "  <tr>\r\n"
                                     "<td>one<BR>two<BR>three<BR><BR>four</td>\r\n"
                                     "  </tr>\r\n"
                                     "</table>\r\n"));
}

TEST(HTMLTable, TableHTMLAsCellTextKeepsNoLineEnds) {
    THTMLTableObjDef inner;
    inner.AddRow(QString());
    inner.AddCol(QStringLiteral("x"), QString());

    THTMLTableObjDef outer;
    outer.AddRow(QString());
    outer.AddCol(inner.HTMLContent(), QString());
    EXPECT_EQ(outer.HTMLContent(), q("<table>\r\n"
                                     "  <tr>\r\n"
                                     "<td><table><BR>  <tr><BR><td>x</td><BR>  </tr><BR></table><BR></td>\r\n"
                                     "  </tr>\r\n"
                                     "</table>\r\n"));
}

TEST(HTMLTable, SpansOfTwoOrMoreOnlyAreWritten) {
    THTMLTableObjDef table;
    table.AddRow(QString());
    table.AddCol(1, 1, 0, QStringLiteral("a"), QString());
    table.AddCol(2, QStringLiteral("b"), QString());
    table.AddCol(2, 1, 0, QStringLiteral("c"), QString());
    table.AddCol(3, 2, 0, QStringLiteral("d"), QStringLiteral("k"));
    EXPECT_EQ(table.HTMLContent(), q("<table>\r\n"
                                     "  <tr>\r\n"
                                     "<td>a</td>\r\n"
                                     "<td colspan=\"2\">b</td>\r\n"
                                     "<td rowspan=\"2\">c</td>\r\n"
                                     "<td class=\"k\" colspan=\"2\" rowspan=\"3\">d</td>\r\n"
                                     "  </tr>\r\n"
                                     "</table>\r\n"));
}

TEST(HTMLTable, LogicalColumnsFollowTheColumnSpans) {
    THTMLTableObjDef table;
    table.AddRow(QString());
    table.AddCol(QStringLiteral("a"), QString());
    table.AddCol(3, QStringLiteral("b"), QString());
    table.AddCol(QStringLiteral("c"), QString());
    EXPECT_EQ(table.AddRow(QString()), 2);
    table.AddCol(2, QStringLiteral("d"), QString());

    EXPECT_EQ(table.cell(0, 0)->logIndex(), 0);
    EXPECT_EQ(table.cell(0, 1)->logIndex(), 1);
    EXPECT_EQ(table.cell(0, 2)->logIndex(), 4);
    EXPECT_EQ(table.cell(1, 0)->logIndex(), 0); // a new row starts again at 0
    EXPECT_EQ(table.MaxLogCol(), 5);            // the widest row, not the last
    EXPECT_EQ(table.RowCount(), 2);
}

TEST(HTMLTable, ClassesAreMappedCaseInsensitivelyOrWrittenAsTheyAre) {
    THTMLTableObjDef table;
    table.setStyle(QStringLiteral("Report"));
    table.addClassMap(QStringLiteral("report"), QStringLiteral("table_report"));
    table.addClassMap(QStringLiteral("HEAD"), QStringLiteral("row_head"));
    table.addClassMap(QStringLiteral("head"), QStringLiteral("second_mapping"));
    table.AddRow(QStringLiteral("Head"));
    table.lastRow()->setColStyle(QStringLiteral("column_value"));
    table.AddCol(QStringLiteral("a"), QStringLiteral("head"));
    table.AddCol(QStringLiteral("b"), QStringLiteral("unmapped"));
    table.AddCol(QStringLiteral("c"), QString()); // takes the row's column class
    table.AddRow(QString());
    table.AddCol(QStringLiteral("d"), QString()); // neither class
    table.cell(1, 0)->setHTMLStyle(QStringLiteral("width=\"10%\""));

    EXPECT_EQ(table.HTMLContent(false), q("<table class=\"table_report\">\r\n"
                                          "  <tr class=\"row_head\">\r\n"
                                          "<td class=\"row_head\">a</td>\r\n"
                                          "<td class=\"unmapped\">b</td>\r\n"
                                          "<td class=\"column_value\">c</td>\r\n"
                                          "  </tr>\r\n"
                                          "  <tr>\r\n"
                                          "<td width=\"10%\">d</td>\r\n"
                                          "  </tr>\r\n"
                                          "</table>\r\n"));
}

TEST(HTMLTable, DirectClassMappingWritesTheNameAsAttributeText) {
    THTMLTableObjDef table;
    table.setStyle(QStringLiteral("border=\"1\""));
    table.addClassMap(QStringLiteral("head"), QStringLiteral("row_head")); // ignored when direct
    table.AddRow(QStringLiteral("head"));
    table.AddCol(2, QStringLiteral("a"), QStringLiteral("style=\"color:red\""));
    EXPECT_EQ(table.HTMLContent(true), q("<table border=\"1\">\r\n"
                                         "  <tr head>\r\n"
                                         "<td style=\"color:red\" colspan=\"2\">a</td>\r\n"
                                         "  </tr>\r\n"
                                         "</table>\r\n"));
}

TEST(HTMLTable, SubTablesAreWrittenTwoSpacesDeeperPerLevel) {
    auto deepest = std::make_unique<THTMLTableObjDef>();
    deepest->setStyle(QStringLiteral("deep"));
    deepest->AddRow(QString());
    deepest->AddCol(QStringLiteral("z"), QString());
    THTMLTableObjDef* deepestPtr = deepest.get();

    // A plain table as sub-table is written with the class map of the table around it.
    auto middle = std::make_unique<TGenTableObjDef>(fmx::t_type_html);
    middle->AddRow(QStringLiteral("r"));
    middle->AddColTab(1, 1, 0, QStringLiteral("y"), QString(), std::move(deepest));

    THTMLTableObjDef outer;
    outer.addClassMap(QStringLiteral("R"), QStringLiteral("mapped_row"));
    outer.AddRow(QString());
    outer.AddColTab(1, 2, 0, QStringLiteral("x"), QString(), std::move(middle));
    outer.AddCol(QStringLiteral("after"), QString());

    EXPECT_EQ(outer.HTMLContent(), q("<table>\r\n"
                                     "  <tr>\r\n"
                                     "<td colspan=\"2\">x  <table>\r\n"
                                     "    <tr class=\"mapped_row\">\r\n"
                                     "  <td>y    <table class=\"deep\">\r\n"
                                     "      <tr>\r\n"
                                     "    <td>z</td>\r\n"
                                     "      </tr>\r\n"
                                     "    </table>\r\n"
                                     "</td>\r\n"
                                     "    </tr>\r\n"
                                     "  </table>\r\n"
                                     "</td>\r\n"
                                     "<td>after</td>\r\n"
                                     "  </tr>\r\n"
                                     "</table>\r\n"));

    const fmx::TGenTableObjCell* holder = outer.cell(0, 0);
    ASSERT_NE(holder->subTable(), nullptr);
    EXPECT_EQ(holder->subTable()->parentCell(), holder);
    EXPECT_NE(holder->colType() & fmx::kColTypeSubTable, 0);
    EXPECT_EQ(deepestPtr->parentCell(), holder->subTable()->cell(0, 0));
    EXPECT_EQ(outer.cell(0, 1)->colType() & fmx::kColTypeSubTable, 0);
}

TEST(HTMLTable, AddColExReturnsTheCellAndEditColRewritesIt) {
    THTMLTableObjDef table;
    table.AddRow(QString());
    table.AddCol(QStringLiteral("a"), QString());
    table.AddRow(QString());
    table.AddCol(QStringLiteral("b"), QString());
    int rowIndex = -1;
    int colIndex = -1;
    table.AddColEx(1, 1, 0, QStringLiteral("c\nd"), QString(), rowIndex, colIndex);
    EXPECT_EQ(rowIndex, 1);
    EXPECT_EQ(colIndex, 1);

    table.EditCol(2, 3, QStringLiteral("edited"), QStringLiteral("e"), rowIndex, colIndex);
    EXPECT_EQ(table.HTMLContent(), q("<table>\r\n"
                                     "  <tr>\r\n"
                                     "<td>a</td>\r\n"
                                     "  </tr>\r\n"
                                     "  <tr>\r\n"
                                     "<td>b</td>\r\n"
                                     "<td class=\"e\" colspan=\"3\" rowspan=\"2\">edited</td>\r\n"
                                     "  </tr>\r\n"
                                     "</table>\r\n"));
}

TEST(HTMLTable, HTMLContentTakingTheTableGivesTheSameText) {
    auto table = std::make_unique<THTMLTableObjDef>();
    table->AddRow(QString());
    table->AddCol(QStringLiteral("a"), QString());
    const QString expected = table->HTMLContent();
    EXPECT_EQ(fmx::HTMLContent(std::move(table)), expected);
}

TEST(HTMLTable, ProgrammingErrorsAreAssertions) {
    THTMLTableObjDef table;
    EXPECT_THROW(table.AddCol(QStringLiteral("a"), QString()), TAssertionFailure); // no row yet
    int r = -1;
    int c = -1;
    EXPECT_THROW(table.AddColEx(1, 1, 0, QStringLiteral("a"), QString(), r, c), TAssertionFailure);
    EXPECT_EQ(table.HTMLContent(), q("<table>\r\n</table>\r\n")); // nothing was added

    table.AddRow(QString());
    table.AddCol(QStringLiteral("a"), QString());
    table.AddCol(QStringLiteral("b"), QString());
    struct Index {
        int row;
        int col;
    };
    for (const Index& index : {Index{1, 0}, Index{-1, 0}, Index{0, 2}, Index{0, -1}}) {
        SCOPED_TRACE(testing::Message() << "row " << index.row << ", column " << index.col);
        EXPECT_THROW(table.EditCol(1, 1, QStringLiteral("x"), QString(), index.row, index.col),
                     TAssertionFailure);
        EXPECT_THROW(table.cell(index.row, index.col), TAssertionFailure);
    }

    EXPECT_THROW(table.AddColTab(1, 1, 0, QStringLiteral("c"), QString(), std::make_unique<TOtherTable>()),
                 TAssertionFailure);
    EXPECT_EQ(table.lastRow()->cellCount(), 2);
    EXPECT_EQ(table.MaxLogCol(), 2);
}
