#include "ui/report_pdf.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPdfWriter>

#include "storage/text_files.h"
#include "ui/report_painter.h"

namespace quilvern {

QPageLayout DefaultPageLayout() {
    const bool inches = QLocale().measurementSystem() == QLocale::ImperialUSSystem;
    return QPageLayout(QPageSize(inches ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
}

QByteArray ReportPdf(const std::vector<PrintedPage>& pages, const QString& title,
                     const QPageLayout& layout) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Quilvern"));
        writer.setTitle(title);
        writer.setPageLayout(layout);
        PaintReport(writer, pages);
    }
    return bytes;
}

void WriteReportPdf(const std::string& path, const std::vector<PrintedPage>& pages,
                    CommandJournal* journal, const QPageLayout& layout) {
    const QString title = QFileInfo(QFile::decodeName(path.c_str())).completeBaseName();
    const QByteArray pdf = ReportPdf(pages, title, layout);
    WriteFileSafely(path, std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())),
                    07777, [journal](const std::string& tempPath) {
                        if (journal != nullptr)
                            journal->Announce({{FileStep::Kind::Leftover, tempPath, {}}});
                    });
}

}  // namespace quilvern
