#include "values/general_form.h"

#include <cstdlib>

namespace quilvern {

std::string WriteGeneralForm(const DecimalForm& form, int precision, char decimal) {
    std::string out = form.negative ? "-" : "";
    if (form.digits.empty())
        return out.append("0");
    const std::string& d = form.digits;
    const int x = form.exponent;
    if (x > precision || x < -3) {
        out += d[0];
        if (d.size() > 1)
            out.append(1, decimal).append(d, 1);
        out += 'E';
        if (x - 1 < 0)
            out += '-';
        out += std::to_string(std::abs(x - 1));
    } else if (x <= 0) {
        out += '0';
        out += decimal;
        out.append(-x, '0').append(d);
    } else {
        const auto whole = static_cast<std::size_t>(x);
        out.append(d, 0, whole);
        if (d.size() < whole)
            out.append(whole - d.size(), '0');
        if (d.size() > whole)
            out.append(1, decimal).append(d, whole);
    }
    return out;
}

}  // namespace quilvern
