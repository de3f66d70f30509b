#include "report_errors.h"

#include "errors.h"

#include <QString>

namespace fmx {

int tdek_ReportFileFailure = -1;

void registerReportExceptions() {
    if (tdek_ReportFileFailure != -1) return;
    regException(tdek_ReportFileFailure, QStringLiteral("tdek_ReportFileFailure"),
                 QStringLiteral("The report file could not be written"));
}

} // namespace fmx
