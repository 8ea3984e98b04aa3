#include "options/field_number.h"

#include <algorithm>
#include <limits>

#include "widgets/up_down.h"

namespace quorlix {

long long FieldNumber(const QString& text, long long fallback) {
    constexpr long long kNone = std::numeric_limits<long long>::min();
    const long long number = DecimalOr(text, kNone);
    if (number != kNone) {
        return number;
    }
    const bool digitsOnly = !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    return digitsOnly ? std::numeric_limits<long long>::max() : fallback;
}

}  // namespace quorlix
