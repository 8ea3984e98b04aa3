#pragma once

#include <QString>

namespace quorlix {

// The number a number field's text stands for when the field is left: its decimal value; an
// all-digit text too long for any integer counts as the largest number (the range then clamps
// it); fallback for any other text.
long long FieldNumber(const QString& text, long long fallback);

}  // namespace quorlix
