#pragma once
// Draws laid-out report pages (core/report_pages.h) on a paged device, a PDF writer or
// a printer: each grid row at its place in a fixed-pitch font sized so that the 80
// columns and all rows fit the page's printable area. Decides nothing about the layout.
#include <vector>

#include "core/report_pages.h"

class QPagedPaintDevice;

namespace quilvern {

// Returns false when the device cannot be painted on (a printer that refuses the job).
bool PaintReport(QPagedPaintDevice& device, const std::vector<PrintedPage>& pages);

}  // namespace quilvern
