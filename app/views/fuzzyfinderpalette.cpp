#include "fuzzyfinderpalette.h"

#include "busyspinner.h"
#include "fuzzyfindermodel.h"
#include "localization.h"
#include "theme.h"
#include "themeicons.h"

#include <QApplication>
#include <QBitmap>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

constexpr int PathRole = Qt::UserRole + 1;
constexpr int paletteWidth = 560;
constexpr int resultsHeight = 320;
constexpr int cornerRadius = 10;
constexpr int topOffset = 24; // below the pane's upper edge, clear of its header

QPainterPath roundedOutline(const QRectF &rect)
{
    QPainterPath path;
    path.addRoundedRect(rect, cornerRadius, cornerRadius);
    return path;
}

// A result row: the icon, then the name above its path in the caption font and the dim colour;
// the highlighted row on the secondary background.
class ResultDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QFont nameFont;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        const int lines = QFontMetrics(nameFont).height() + QFontMetrics(Theme::captionFont(option.font)).height();
        return {option.rect.width(), lines + 8};
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const Theme theme = Theme::daziduvEdiv();
        painter->save();
        if (option.state & QStyle::State_Selected)
            painter->fillRect(option.rect, theme.secondaryBackground);
        const QRect area = option.rect.adjusted(10, 4, -10, -4);
        index.data(Qt::DecorationRole).value<QIcon>().paint(painter, QRect(area.left(), area.center().y() - 8, 16, 16));
        const QRect text = area.adjusted(22, 0, 0, 0);
        const int nameHeight = QFontMetrics(nameFont).height();
        painter->setFont(nameFont);
        painter->setPen(theme.foreground);
        painter->drawText(text.adjusted(0, 0, 0, -(text.height() - nameHeight)), Qt::AlignLeft | Qt::AlignVCenter,
                          QFontMetrics(nameFont).elidedText(index.data().toString(), Qt::ElideRight, text.width()));
        const QFont caption = Theme::captionFont(option.font);
        painter->setFont(caption);
        painter->setPen(theme.secondaryForeground);
        painter->drawText(text.adjusted(0, nameHeight, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                          QFontMetrics(caption).elidedText(index.data(PathRole).toString(), Qt::ElideMiddle,
                                                           text.width()));
        painter->restore();
    }
};

QFrame *divider()
{
    auto *line = new QFrame;
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    QPalette colours = line->palette();
    colours.setColor(QPalette::Window, Theme::daziduvEdiv().secondaryBackground);
    line->setPalette(colours);
    return line;
}

// Dim caption text: counts, hints and notes.
QLabel *captionLabel(QWidget *parent = nullptr)
{
    auto *label = new QLabel(parent);
    label->setFont(Theme::captionFont(label->font()));
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, Theme::daziduvEdiv().secondaryForeground);
    label->setPalette(colours);
    return label;
}

} // namespace

FuzzyFinderPalette::FuzzyFinderPalette(FuzzyFinderModel *model, const Localization &loc, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_model(model)
{
    setWindowModality(Qt::WindowModal);
    setFixedWidth(paletteWidth);
    buildLayout();
    applyTheme();
    setTexts(loc);
    connect(m_field, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_model->setQuery(text);
        m_model->rank(true);
    });
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { chooseRow(m_list->row(item)); });
    connect(m_model, &FuzzyFinderModel::resultsChanged, this, &FuzzyFinderPalette::fillResults);
    connect(m_model, &FuzzyFinderModel::isScanningChanged, this, &FuzzyFinderPalette::updateStatus);
    connect(m_model, &FuzzyFinderModel::truncatedChanged, this, &FuzzyFinderPalette::updateStatus);
    connect(m_model, &FuzzyFinderModel::queryChanged, this, &FuzzyFinderPalette::updateStatus);
    connect(m_model, &FuzzyFinderModel::selectedIndexChanged, this, &FuzzyFinderPalette::followSelection);
    fillResults();
}

void FuzzyFinderPalette::buildLayout()
{
    m_field = new QLineEdit;
    m_field->setFrame(false);
    m_field->installEventFilter(this);
    m_busy = new BusySpinner(12);
    m_count = captionLabel();
    auto *glass = new QLabel;
    glass->setPixmap(ThemeIcons::tinted(ThemeIcons::Symbol::search, Theme::daziduvEdiv().secondaryForeground, 16,
                                        devicePixelRatioF()));

    auto *queryRow = new QHBoxLayout;
    queryRow->setContentsMargins(10, 8, 10, 8);
    queryRow->setSpacing(6);
    queryRow->addWidget(glass);
    queryRow->addWidget(m_field, 1);
    queryRow->addWidget(m_busy);
    queryRow->addWidget(m_count);

    m_list = new QListWidget;
    m_list->setFixedHeight(resultsHeight);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setUniformItemSizes(true);
    m_list->setItemDelegate(new ResultDelegate(m_list));
    m_list->setCursor(Qt::PointingHandCursor);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_emptyHint = captionLabel(m_list);
    m_emptyHint->setAlignment(Qt::AlignCenter);
    m_emptyHint->setGeometry(0, 0, paletteWidth, resultsHeight);

    m_truncated = captionLabel();
    m_truncated->setContentsMargins(10, 6, 10, 6);
    m_truncatedDivider = divider();

    auto *layout = new QVBoxLayout(this);
    // Room for the outline, so that nothing paints over it.
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->addLayout(queryRow);
    layout->addWidget(divider());
    layout->addWidget(m_list);
    layout->addWidget(m_truncatedDivider);
    layout->addWidget(m_truncated);
}

void FuzzyFinderPalette::applyTheme()
{
    const Theme theme = Theme::daziduvEdiv();
    QPalette colours = theme.palette();
    colours.setColor(QPalette::Window, theme.background);
    colours.setColor(QPalette::Base, theme.background);
    setPalette(colours);
    m_busy->setColour(theme.secondaryForeground);
}

void FuzzyFinderPalette::setTexts(const Localization &loc)
{
    m_field->setPlaceholderText(loc.fuzzyFinderPlaceholder);
    m_truncated->setText(loc.fuzzyTruncated);
    m_itemCountFormat = loc.itemCountFormat;
    m_typeToSearch = loc.fuzzyTypeToSearch;
    m_noMatches = loc.noMatches;
    updateStatus();
}

void FuzzyFinderPalette::paintEvent(QPaintEvent *)
{
    const Theme theme = Theme::daziduvEdiv();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath outline = roundedOutline(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    painter.fillPath(outline, theme.background);
    painter.setPen(QPen(theme.secondaryBackground, 1));
    painter.drawPath(outline);
}

// The mask cuts the corners off on any desktop, with or without a compositor.
void FuzzyFinderPalette::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    QBitmap mask(size());
    mask.fill(Qt::color0);
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(roundedOutline(QRectF(rect())), Qt::color1);
    painter.end();
    setMask(mask);
}

void FuzzyFinderPalette::placeOverParent()
{
    const QWidget *over = parentWidget();
    if (!over)
        return;
    const QPoint topCentre = over->mapToGlobal(QPoint(over->width() / 2, 0));
    move(topCentre.x() - width() / 2, topCentre.y() + topOffset);
}

void FuzzyFinderPalette::setNameFont(const QFont &font)
{
    m_nameFont = font;
    m_field->setFont(font);
    static_cast<ResultDelegate *>(m_list->itemDelegate())->nameFont = font;
    m_list->doItemsLayout();
}

void FuzzyFinderPalette::setIconCache(IconCache *cache)
{
    m_icons.setCache(cache);
}

void FuzzyFinderPalette::refreshIcons()
{
    if (!m_icons.cache())
        return;
    const QList<FileItem> &results = m_model->results();
    for (int row = 0; row < m_list->count() && row < results.size(); ++row)
        m_list->item(row)->setIcon(ThemeIcons::itemIcon(m_icons.cache(), results.at(row)));
}

QString FuzzyFinderPalette::relativePath(const QUrl &url) const
{
    QString root = m_model->root().path();
    if (!root.endsWith(QLatin1Char('/')))
        root += QLatin1Char('/');
    const QString path = url.path();
    if (path.startsWith(root) && path.size() > root.size())
        return path.mid(root.size());
    return path;
}

void FuzzyFinderPalette::fillResults()
{
    m_list->clear();
    for (const FileItem &item : m_model->results()) {
        auto *row = new QListWidgetItem(item.name, m_list);
        row->setData(PathRole, relativePath(item.url));
        if (m_icons.cache())
            row->setIcon(ThemeIcons::itemIcon(m_icons.cache(), item));
    }
    followSelection();
    updateStatus();
}

void FuzzyFinderPalette::updateStatus()
{
    const bool scanning = m_model->isScanning();
    m_busy->setVisible(scanning);
    m_count->setVisible(!scanning);
    m_count->setText(Localization::fill(m_itemCountFormat, {QString::number(m_model->results().size())}));
    const bool empty = m_model->results().isEmpty() && !scanning;
    m_emptyHint->setVisible(empty);
    m_emptyHint->setText(m_model->query().isEmpty() ? m_typeToSearch : m_noMatches);
    m_truncated->setVisible(m_model->truncated());
    m_truncatedDivider->setVisible(m_model->truncated());
}

void FuzzyFinderPalette::followSelection()
{
    if (!m_model->selectedItem())
        return;
    const int row = m_model->selectedIndex();
    if (row < 0 || row >= m_list->count())
        return;
    m_list->setCurrentRow(row);
    m_list->scrollToItem(m_list->item(row));
}

void FuzzyFinderPalette::chooseRow(int row)
{
    if (row >= 0 && row < m_model->results().size())
        Q_EMIT chosen(m_model->results().at(row));
}

bool FuzzyFinderPalette::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_field || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Up:
        m_model->moveSelection(-1);
        return true;
    case Qt::Key_Down:
        m_model->moveSelection(1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_model->selectedItem())
            Q_EMIT chosen(*m_model->selectedItem());
        return true;
    case Qt::Key_Escape:
        Q_EMIT closed();
        return true;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

void FuzzyFinderPalette::showEvent(QShowEvent *event)
{
    placeOverParent();
    QDialog::showEvent(event);
    m_field->setFocus();
    m_model->start();
}

void FuzzyFinderPalette::hideEvent(QHideEvent *event)
{
    m_model->cancel();
    QDialog::hideEvent(event);
}

// Closing the window by other means (the window manager) is a dismissal too.
void FuzzyFinderPalette::reject()
{
    Q_EMIT closed();
    QDialog::reject();
}
