#include "core/pdf_file_name.h"

#include "core/month_ledger.h"
#include "core/year_report.h"

namespace quilvern {
namespace {

std::string WithPdfExtension(std::string_view textFile) {
    return std::string(textFile.substr(0, textFile.rfind('.'))) + ".pdf";
}

}  // namespace

std::string PdfFileName(std::string_view reportText) {
    const std::string_view first = reportText.substr(0, reportText.find_first_of("\r\n"));
    if (first == kYearReportHeading)
        return WithPdfExtension(kYearReportFile);
    for (const MonthInfo& month : kMonths) {
        if (first == month.header)
            return WithPdfExtension(month.reportFile);
    }
    return "Report.pdf";
}

}  // namespace quilvern
