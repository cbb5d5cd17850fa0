#pragma once
// The text of a floating value in the general format, as the data set and the grid show it.

#include <QString>

namespace qm {

// A floating value in the general format with 15 significant digits and no trailing zeros:
// the text QString::number(v, 'g', 15) gives, found without its slow path when the value's
// shortest digits are 15 or fewer and the text has no exponent.
QString FloatToStrGeneral(double v);

}  // namespace qm
