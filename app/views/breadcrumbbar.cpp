#include "breadcrumbbar.h"

#include "pathcomponentsbuilder.h"
#include "themeicons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

BreadcrumbBar::BreadcrumbBar(QWidget *parent)
    : SidewaysStrip(QMargins(0, 2, 0, 2), parent)
{
    m_font = font();
}

void BreadcrumbBar::setUrl(const FilePath &url)
{
    if (url == m_url)
        return;
    m_url = url;
    rebuild();
    Q_EMIT urlChanged(url);
}

void BreadcrumbBar::setCrumbFont(const QFont &font)
{
    if (font == m_font)
        return;
    m_font = font;
    rebuild();
}

QStringList BreadcrumbBar::crumbNames() const
{
    QStringList names;
    for (int i = 0; i < rowLayout()->count(); ++i) {
        QWidget *w = rowLayout()->itemAt(i)->widget();
        if (auto *button = qobject_cast<QToolButton *>(w))
            names << button->text().replace(QStringLiteral("&&"), QStringLiteral("&"));
        else if (auto *label = qobject_cast<QLabel *>(w); label && !label->text().isEmpty())
            names << label->text();
    }
    return names;
}

QSize BreadcrumbBar::sizeHint() const
{
    return {200, row()->sizeHint().height()};
}

QSize BreadcrumbBar::minimumSizeHint() const
{
    return {40, row()->sizeHint().height()};
}

void BreadcrumbBar::resizeEvent(QResizeEvent *event)
{
    SidewaysStrip::resizeEvent(event);
    scrollToCurrent();
}

void BreadcrumbBar::rebuild()
{
    // The widget that was clicked may be the one asking for this rebuild: let it finish first.
    while (QLayoutItem *item = rowLayout()->takeAt(0)) {
        if (QWidget *old = item->widget()) {
            old->hide();
            old->deleteLater();
        }
        delete item;
    }
    const QList<PathComponentItem> segments = m_url.isEmpty() ? QList<PathComponentItem>{}
                                                              : PathComponentsBuilder::components(m_url);
    const int iconSide = QFontMetrics(m_font).height() * 2 / 3;
    for (qsizetype i = 0; i < segments.size(); ++i) {
        const PathComponentItem &segment = segments.at(i);
        if (i > 0) {
            auto *chevron = new QLabel(row());
            chevron->setPixmap(ThemeIcons::icon(ThemeIcons::Symbol::separator).pixmap(iconSide, iconSide, QIcon::Disabled));
            rowLayout()->addWidget(chevron);
        }
        if (i == segments.size() - 1) {
            auto *current = new QLabel(segment.name, row());
            current->setTextFormat(Qt::PlainText);
            QFont semibold = m_font;
            semibold.setWeight(QFont::DemiBold);
            current->setFont(semibold);
            current->setContentsMargins(4, 0, 4, 0);
            current->setForegroundRole(QPalette::WindowText);
            rowLayout()->addWidget(current);
            continue;
        }
        auto *crumb = new QToolButton(row());
        // A folder's "&" is a character, not the mark of a shortcut key.
        crumb->setText(QString(segment.name).replace(QLatin1Char('&'), QStringLiteral("&&")));
        crumb->setFont(m_font);
        crumb->setAutoRaise(true);
        crumb->setToolButtonStyle(Qt::ToolButtonTextOnly);
        crumb->setFocusPolicy(Qt::NoFocus);
        QPalette muted = crumb->palette();
        muted.setColor(QPalette::ButtonText, muted.color(QPalette::PlaceholderText));
        crumb->setPalette(muted);
        const FilePath target = segment.url;
        connect(crumb, &QToolButton::clicked, this, [this, target] { Q_EMIT crumbClicked(target); });
        rowLayout()->addWidget(crumb);
    }
    rowLayout()->addStretch(1);
    updateGeometry();
    // The row's width is known only after the layout ran.
    QTimer::singleShot(0, this, [this] {
        fitRow();
        scrollToCurrent();
    });
}

void BreadcrumbBar::scrollToCurrent()
{
    horizontalScrollBar()->setValue(horizontalScrollBar()->maximum());
}
