#include "viewmode.h"

QString rawValue(ViewMode mode)
{
    switch (mode) {
    case ViewMode::list:
        return QStringLiteral("list");
    case ViewMode::column:
        return QStringLiteral("column");
    }
    return {};
}

std::optional<ViewMode> viewModeFromRawValue(QStringView raw)
{
    for (ViewMode mode : allViewModes)
        if (raw == rawValue(mode))
            return mode;
    return std::nullopt;
}
