#pragma once
// A sheet with every line named, priced and sold, so that every report lists fifty lines.
#include <string>

#include "core/form_data.h"

namespace quilvern::bench {

inline void FillSheet(FormData& data, const std::string& programDirectory) {
    data.dirLabel = programDirectory;
    for (int n = 0; n < kLineCount; ++n) {
        ProductLine& line = data.sheet.lines[n];
        line.name.SetText("Product number " + std::to_string(n + 1));
        line.price.SetValue(1.25L * (n + 1));
        line.quantity.SetValue(n + 3);
    }
}

}  // namespace quilvern::bench
