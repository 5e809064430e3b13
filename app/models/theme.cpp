#include "theme.h"

namespace {

// `over` laid on the opaque `under`, as one opaque colour.
QColor flattened(const QColor &over, const QColor &under)
{
    const float a = over.alphaF();
    return QColor::fromRgbF(over.redF() * a + under.redF() * (1 - a), over.greenF() * a + under.greenF() * (1 - a),
                            over.blueF() * a + under.blueF() * (1 - a));
}

} // namespace

Theme Theme::daziduvEdiv()
{
    return Theme{
        .background = QColor::fromRgbF(0.12f, 0.12f, 0.13f),
        .secondaryBackground = QColor::fromRgbF(0.16f, 0.16f, 0.17f),
        .foreground = QColor::fromRgbF(0.85f, 0.85f, 0.86f),
        .secondaryForeground = QColor::fromRgbF(0.55f, 0.56f, 0.58f),
        .accent = QColor::fromRgbF(0.48f, 0.64f, 0.97f),
        .divider = QColor::fromRgbF(0.24f, 0.24f, 0.26f),
        .activePaneTint = QColor::fromRgbF(1, 1, 1, 0.04f),
        .selection = QColor::fromRgbF(0.48f, 0.64f, 0.97f, 0.25f),
    };
}

QPalette Theme::palette() const
{
    QPalette p;
    const QColor highlight = flattened(selection, background);
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, foreground);
    p.setColor(QPalette::Base, background);
    p.setColor(QPalette::AlternateBase, secondaryBackground);
    p.setColor(QPalette::ToolTipBase, secondaryBackground);
    p.setColor(QPalette::ToolTipText, foreground);
    p.setColor(QPalette::PlaceholderText, secondaryForeground);
    p.setColor(QPalette::Text, foreground);
    p.setColor(QPalette::Button, secondaryBackground);
    p.setColor(QPalette::ButtonText, foreground);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Light, divider.lighter(140));
    p.setColor(QPalette::Midlight, divider.lighter(115));
    p.setColor(QPalette::Mid, divider);
    p.setColor(QPalette::Dark, background.darker(130));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, foreground);
    p.setColor(QPalette::Link, accent);
    p.setColor(QPalette::LinkVisited, accent.darker(115));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, secondaryForeground);
    p.setColor(QPalette::Disabled, QPalette::Highlight, divider);
    return p;
}

QFont Theme::captionFont(QFont base)
{
    base.setPointSizeF(base.pointSizeF() * 0.85);
    return base;
}
