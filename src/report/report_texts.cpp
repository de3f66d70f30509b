#include "report_texts.h"

#include "finance_chart.h"
#include "translate.h"

#include <array>

namespace fmx {

namespace {
constexpr std::array<const char*, kReportTextCount> kTexts{{
#define FMX_REPORT_TEXT_BASE(id, text) text,
    FMX_REPORT_TEXTS(FMX_REPORT_TEXT_BASE)
#undef FMX_REPORT_TEXT_BASE
}};
} // namespace

QString reportTextBase(TReportText id) {
    return QString::fromUtf8(kTexts.at(static_cast<size_t>(id)));
}

QString rt(TReportText id) {
    return tl(reportTextBase(id));
}

QStringList reportTexts() {
    QStringList texts;
    texts.reserve(kReportTextCount + static_cast<qsizetype>(kFinanceChartCases.size()));
    for (const char* text : kTexts)
        texts.append(QString::fromUtf8(text));
    for (const TFinanceChartCaseDef& c : kFinanceChartCases)
        texts.append(QString::fromUtf8(c.caption));
    return texts;
}

void registerReportTexts() {
    registerFreeTexts(reportTexts());
}

} // namespace fmx
