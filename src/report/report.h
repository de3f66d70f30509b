// The HTML report of a calculated project: a "Bio-energy scan" filled into the report template
// (report_template.html of the HTML template directory) with the project's inputs, results, the
// four cumulative cash-flow charts, a summary naming the most profitable case, conclusions, next
// steps and a time planning.
//
// The template holds the placeholders $$TITLE$$, $$FOOTER$$, $$GRAPHTITLE$$, $$CONTENT$$,
// $$TEMPL_DIR$$ (the folder of its CSS and images) and $$TMP_DIR$$ (the folder of the chart
// images); it is read as UTF-8. Every fixed text goes through tl (report_texts.h); texts the user
// typed (substrate names, descriptions, the project's file name) are HTML-escaped. In a Polish
// project (country identifier 6) the money units read PLN.
//
// Everything here needs a QApplication (the charts are drawn with Qt Charts) and a project whose
// schema holds every value the report names; a missing value is a programming error (assertion,
// then TBaseDataError of kind tdek_CheckFailure).
#pragma once

#include "finance_chart.h"

#include <QString>

namespace fmx {

class TDataObjList;
class TProject;

inline constexpr const char* kReportTemplateFile = "report_template.html";
inline constexpr const char* kReportChartPrefix = "rep";

// The report's HTML text. Draws the four charts into imageDir first (prefix "rep", always
// redrawn), reads the template from templateDir and refers to both folders by "file://" URLs.
// Throws TBaseDataError (tdek_ReportFileFailure) when the template cannot be read or an image
// cannot be written.
QString createReport(TProject& project, const QString& templateDir, const QString& imageDir);
// The same with the application's HTML template directory and temporary folder.
QString createReport(TProject& project);

// The template's text (UTF-8); throws TBaseDataError (tdek_ReportFileFailure) naming the file
// when it cannot be read.
QString readReportTemplate(const QString& templateDir);

// The report text for a template text already read: $$TEMPL_DIR$$ and $$TMP_DIR$$ become
// templateDirRef and imageDirRef as given. Draws nothing.
QString fillReportTemplate(TProject& project, const QString& templateText, const QString& templateDirRef,
                           const QString& imageDirRef);

// The four charts of the project's finance cases into storeInDir (uniqueFileNamePart + the case
// suffix). A case is drawn when genAlways is set, when its finance object has unsaved changes or
// when its file is missing; otherwise its file stays as it is. Throws as the GIF writer.
TGIFImagesResult genGIFImages(TProject& project, const QString& storeInDir, const QString& uniqueFileNamePart,
                              bool genAlways);

// The 0-based year before the first one whose cumulative cash flow (excluding amortisation) is
// positive, as text ("-1" when the first year already is); "" when none is.
QString firstYearPositiveCumCashflowExcl(TDataObjList& financeYearList);

// Writes a complete report folder: outDir/report.html, the four chart images and every file of
// the template folder but the template itself (CSS, images), all referred to relatively, so the
// folder can be moved, mailed or archived. outDir is created when missing; files of an earlier
// report are replaced. Everything is built in a hidden sibling folder first and moved in at the
// end, so a failure (template missing, folder not writable, disk full) leaves outDir as it was;
// it throws TBaseDataError (tdek_ReportFileFailure) naming the file and the reason.
void writeReportFolder(TProject& project, const QString& templateDir, const QString& outDir);

// Prints the report to pdfFile (A4, Qt's PDF printer), with its charts and template images. The
// file is written whole (a temporary file beside it, renamed at the end). Throws TBaseDataError
// (tdek_ReportFileFailure) when the template is missing or the file cannot be written; pdfFile is
// then as before.
void printReportPdf(TProject& project, const QString& templateDir, const QString& pdfFile);

} // namespace fmx
