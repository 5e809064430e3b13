#include "panelayout.h"

#include <cmath>

double PaneLayout::leftWidth(double total, double fraction, double minPane)
{
    if (!(total > 0) || std::isinf(total))
        return 0;
    const double minimum = minPane > 0 ? minPane : 0;
    if (2 * minimum > total)
        return total * 0.5;
    double width = total * (std::isnan(fraction) ? 0.5 : fraction);
    if (width <= minimum)
        width = minimum;
    if (total - minimum < width)
        width = total - minimum;
    return width;
}
