#include "ui/report_pdf.h"

#include <gtest/gtest.h>

#include <QString>
#include <filesystem>
#include <string>
#include <vector>

#include "core/report_pages.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"
#include "ui/cp1252.h"
#include "ui/pdf_text.h"
#include "values/error.h"

namespace quilvern {
namespace {

using test::PdfPageCount;
using test::PdfPages;
using test::TempDir;

// The lines of a page as pdftotext lays them out, without the header and the foot.
std::vector<QString> Body(const std::vector<QString>& page) {
    // The header, a blank row with its rule, and then the body; the foot is last.
    std::vector<QString> body(page.begin() + 1, page.end() - 1);
    while (!body.empty() && body.front().isEmpty())
        body.erase(body.begin());
    while (!body.empty() && body.back().isEmpty())
        body.pop_back();
    return body;
}

TEST(ReportPdf, HoldsTheReportAsShownWithHeaderAndFoot) {
    TempDir dir;
    const std::string report =
        "MARCH SALES\r\n\r\nTea @ \xA3"
        "2.50 x 4 = \xA3"
        "10.00\r\n"
        "Caf\xE9 cr\xE8me @ \x80"
        "1.25 x 12 = \x80"
        "15.00\r\n"
        "  indented   and   spaced\r\n\r\nMARCH TOTAL = \xA3"
        "25.00\r\n";
    const auto pages = PaginateReport(report, "Market \x80 stall", "14 March 2025");

    WriteReportPdf(dir.File("Report03.pdf"), pages, nullptr);

    const auto printed = PdfPages(dir.File("Report03.pdf"));
    ASSERT_EQ(printed.size(), 1u);
    const std::vector<QString>& page = printed.front();
    ASSERT_GE(page.size(), 3u);
    EXPECT_TRUE(page.front().startsWith(QString::fromUtf8("Market € stall")))
        << page.front().toStdString();
    EXPECT_TRUE(page.front().endsWith(QStringLiteral("14 March 2025")))
        << page.front().toStdString();
    EXPECT_EQ(page.back().trimmed(), QStringLiteral("page 1 of 1"));
    const std::vector<QString> expected = {QStringLiteral("MARCH SALES"),
                                           QString(),
                                           QString::fromUtf8("Tea @ £2.50 x 4 = £10.00"),
                                           QString::fromUtf8("Café crème @ €1.25 x 12 = €15.00"),
                                           QStringLiteral("  indented   and   spaced"),
                                           QString(),
                                           QString::fromUtf8("MARCH TOTAL = £25.00")};
    EXPECT_EQ(Body(page), expected);
}

TEST(ReportPdf, TwoHundredLinesTakeFourPagesInOrder) {
    TempDir dir;
    std::string report;
    for (int i = 1; i <= 200; ++i)
        report += "Product " + std::to_string(i) + " @ $1.00 x " + std::to_string(i) + "\r\n";
    const auto pages = PaginateReport(report, "Quilvern", "1 May 2025");

    WriteReportPdf(dir.File("long.pdf"), pages, nullptr);

    EXPECT_EQ(PdfPageCount(dir.File("long.pdf")), 4);
    const auto printed = PdfPages(dir.File("long.pdf"));
    ASSERT_EQ(printed.size(), 4u);
    int line = 0;
    for (std::size_t p = 0; p < printed.size(); ++p) {
        EXPECT_EQ(printed[p].back().trimmed(), QStringLiteral("page %1 of 4").arg(p + 1));
        for (const QString& text : Body(printed[p])) {
            ++line;
            EXPECT_EQ(text, QStringLiteral("Product %1 @ $1.00 x %1").arg(line));
        }
    }
    EXPECT_EQ(line, 200);
}

TEST(ReportPdf, LongLinesWrapInsideThePage) {
    TempDir dir;
    const std::string name(70, 'N');
    const auto pages = PaginateReport(name + " @ $2.50 x 4 = $10.00\r\n", "", "1 May 2025");

    WriteReportPdf(dir.File("wrapped.pdf"), pages, nullptr);

    const auto body = Body(PdfPages(dir.File("wrapped.pdf")).front());
    EXPECT_EQ(body, (std::vector<QString>{QString::fromStdString(name + " @ $2.50 x"),
                                          QStringLiteral("    4 = $10.00")}));
}

TEST(ReportPdf, AFileThatCannotBeWrittenIsNamedAndKept) {
    TempDir dir;
    dir.Write("Report01.pdf", "old");
    std::filesystem::permissions(dir.Path() / "Report01.pdf", std::filesystem::perms::owner_read);
    const auto before = test::Snapshot(dir.Path());
    try {
        WriteReportPdf(dir.File("Report01.pdf"), PaginateReport("x", "", ""), nullptr);
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file " + dir.File("Report01.pdf"));
    }
    EXPECT_EQ(test::Snapshot(dir.Path()), before);
}

}  // namespace
}  // namespace quilvern
