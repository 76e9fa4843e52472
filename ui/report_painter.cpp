#include "ui/report_painter.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>

#include "ui/cp1252.h"

namespace quilvern {
namespace {

constexpr qreal kLargestPoints = 11;  // on paper larger than A4 the text stays readable
constexpr qreal kSmallScale = 0.8;    // of the header and the foot, against the body
constexpr qreal kReferencePixels = 100;

QFont FixedPitchFont() {
    QFont font(QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    if (QFontInfo(font).fixedPitch())
        return font;
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

// The geometry of the grid on one device: where rows and columns fall.
struct Grid {
    QFont body;
    QFont small;
    qreal width = 0;
    qreal rowHeight = 0;

    QRectF Row(int row) const { return {0, row * rowHeight, width, rowHeight}; }
};

Grid GridFor(QPagedPaintDevice& device) {
    const QRectF area = device.pageLayout().paintRectPixels(device.logicalDpiX()).toRectF();
    QFont font = FixedPitchFont();
    font.setPixelSize(static_cast<int>(kReferencePixels));
    const QFontMetricsF reference(font, &device);
    const qreal fitWidth =
        area.width() / kPrintColumns / reference.horizontalAdvance(QLatin1Char('M'));
    const qreal fitHeight = area.height() / kPrintRows / reference.lineSpacing();
    const qreal largest = kLargestPoints * device.logicalDpiX() / 72.0 / kReferencePixels;
    const qreal scale = std::min({fitWidth, fitHeight, largest});

    Grid grid;
    grid.body = FixedPitchFont();
    grid.body.setPixelSize(std::max(1, static_cast<int>(kReferencePixels * scale)));
    grid.small = grid.body;
    grid.small.setPixelSize(std::max(1, static_cast<int>(kReferencePixels * scale * kSmallScale)));
    grid.width = area.width();
    grid.rowHeight = QFontMetricsF(grid.body, &device).lineSpacing();
    return grid;
}

void PaintPage(QPainter& painter, const Grid& grid, const PrintedPage& page) {
    painter.setFont(grid.small);
    const QRectF header = grid.Row(kPrintHeaderRow);
    painter.drawText(header, Qt::AlignLeft | Qt::AlignVCenter, FromCp1252(page.title));
    painter.drawText(header, Qt::AlignRight | Qt::AlignVCenter, FromCp1252(page.date));
    const qreal rule = grid.Row(kPrintHeaderRow + 1).center().y();
    painter.drawLine(QPointF(0, rule), QPointF(grid.width, rule));
    painter.drawText(grid.Row(kPrintFootRow), Qt::AlignHCenter | Qt::AlignVCenter,
                     FromCp1252(page.foot));

    painter.setFont(grid.body);
    const qreal ascent = QFontMetricsF(grid.body, painter.device()).ascent();
    for (std::size_t i = 0; i < page.lines.size(); ++i) {
        const qreal top = grid.Row(kPrintBodyRow + static_cast<int>(i)).top();
        painter.drawText(QPointF(0, top + ascent), FromCp1252(page.lines[i]));
    }
}

}  // namespace

bool PaintReport(QPagedPaintDevice& device, const std::vector<PrintedPage>& pages) {
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const Grid grid = GridFor(device);
    QPen rule = painter.pen();
    rule.setWidthF(device.logicalDpiX() / 144.0);  // half a point
    painter.setPen(rule);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        if (p > 0)
            device.newPage();
        PaintPage(painter, grid, pages[p]);
    }
    return painter.end();
}

}  // namespace quilvern
