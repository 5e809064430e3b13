// The preview is a list view over the plan rather than a label per item: a selection of many
// thousands of items is replanned on every keystroke, and only the visible rows are drawn.

#include "bulkrenamesheet.h"

#include "filenames.h"
#include "localization.h"
#include "theme.h"
#include "themeicons.h"

#include <QAbstractListModel>
#include <QButtonGroup>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int sheetWidth = 460;
constexpr int previewHeight = 180;
constexpr int rowGap = 2;
constexpr int partGap = 6;
constexpr int arrowSize = 10;

class PlanModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    void setPlan(const QList<RenameEntry> &plan)
    {
        if (plan.size() == m_plan.size()) {
            // Same items, new names: the rows stay, so the scroll position does too.
            m_plan = plan;
            if (!m_plan.isEmpty())
                Q_EMIT dataChanged(index(0), index(int(m_plan.size()) - 1));
            return;
        }
        beginResetModel();
        m_plan = plan;
        endResetModel();
    }
    const RenameEntry &entry(int row) const { return m_plan.at(row); }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_plan.size()); }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
            return {};
        const RenameEntry &e = m_plan.at(index.row());
        const QString line = FileNames::displayName(e.oldName) + QStringLiteral(" → ") + FileNames::displayName(e.newName);
        return role == Qt::ToolTipRole ? Qt::convertFromPlainText(line) : line;
    }

private:
    QList<RenameEntry> m_plan;
};

// Old name, an arrow, new name on one line; a name that changes stands out in the foreground
// colour and semibold, the rest stays dim.
class PlanDelegate : public QStyledItemDelegate
{
public:
    PlanDelegate(const PlanModel *model, QObject *parent) : QStyledItemDelegate(parent), m_model(model) {}

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return {option.rect.width(), QFontMetrics(bold(option.font)).height() + rowGap};
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const Theme theme = Theme::daziduvEdiv();
        const RenameEntry &e = m_model->entry(index.row());
        const QRect line = option.rect.adjusted(0, 0, 0, -rowGap);
        const int half = (line.width() - arrowSize - 2 * partGap) / 2;

        painter->save();
        const QFontMetrics plain(option.font);
        const QString oldText = plain.elidedText(FileNames::displayName(e.oldName), Qt::ElideMiddle, half);
        QRect oldRect = line;
        oldRect.setWidth(plain.horizontalAdvance(oldText));
        painter->setFont(option.font);
        painter->setPen(theme.secondaryForeground);
        painter->drawText(oldRect, Qt::AlignLeft | Qt::AlignVCenter, oldText);

        const QRect arrow(oldRect.right() + 1 + partGap, line.center().y() - arrowSize / 2, arrowSize, arrowSize);
        painter->drawPixmap(arrow, ThemeIcons::tinted(ThemeIcons::Symbol::arrowRight, theme.secondaryForeground,
                                                      arrowSize, painter->device()->devicePixelRatioF()));

        const QFont newFont = e.changesName() ? bold(option.font) : option.font;
        QRect newRect = line;
        newRect.setLeft(arrow.right() + 1 + partGap);
        painter->setFont(newFont);
        painter->setPen(e.changesName() ? theme.foreground : theme.secondaryForeground);
        painter->drawText(newRect, Qt::AlignLeft | Qt::AlignVCenter,
                          QFontMetrics(newFont).elidedText(FileNames::displayName(e.newName), Qt::ElideMiddle, newRect.width()));
        painter->restore();
    }

private:
    static QFont bold(QFont font)
    {
        font.setWeight(QFont::DemiBold);
        return font;
    }

    const PlanModel *m_model;
};

QFrame *divider()
{
    auto *line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    QPalette colours = line->palette();
    colours.setColor(QPalette::WindowText, Theme::daziduvEdiv().divider);
    line->setPalette(colours);
    return line;
}

// One half of the two-way picker; the chosen half is filled with the selection colour, so the
// pair reads as one control with a position rather than as two buttons.
QPushButton *segment(bool leading)
{
    const Theme theme = Theme::daziduvEdiv();
    const QString corners = leading ? QStringLiteral("border-top-left-radius: 4px; border-bottom-left-radius: 4px;")
                                    : QStringLiteral("border-top-right-radius: 4px; border-bottom-right-radius: 4px;"
                                                     " border-left: none;");
    auto *button = new QPushButton;
    button->setCheckable(true);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::TabFocus);
    button->setStyleSheet(QStringLiteral("QPushButton { border: 1px solid %1; padding: 4px 12px; background: %2;"
                                         " color: %3; %4 }"
                                         " QPushButton:checked { background: %5; }")
                              .arg(theme.divider.name(), theme.secondaryBackground.name(), theme.foreground.name(),
                                   corners, theme.palette().color(QPalette::Highlight).name()));
    return button;
}

// The two rule pages lay out their fields the same way, flush with the sheet's edges.
QFormLayout *formOn(QWidget *page, QFormLayout::FieldGrowthPolicy growth)
{
    auto *form = new QFormLayout(page);
    form->setContentsMargins(0, 0, 0, 0);
    form->setFieldGrowthPolicy(growth);
    return form;
}

} // namespace

BulkRenameSheet::BulkRenameSheet(QList<FileItem> items, QWidget *parent)
    : QDialog(parent), m_items(std::move(items)), m_title(new QLabel), m_picker(new QButtonGroup(this)),
      m_fields(new QStackedWidget), m_preview(new QListView), m_cancel(new QPushButton), m_apply(new QPushButton)
{
    setModal(true);
    setFixedWidth(sheetWidth);
    QFont headline = m_title->font();
    headline.setBold(true);
    m_title->setFont(headline);

    auto *segments = new QHBoxLayout;
    segments->setSpacing(0);
    for (Mode mode : {Mode::replace, Mode::sequence}) {
        QPushButton *button = segment(mode == Mode::replace);
        m_picker->addButton(button, int(mode));
        segments->addWidget(button, 1);
    }
    replaceSegment()->setChecked(true);
    connect(m_picker, &QButtonGroup::idClicked, this, [this](int id) { setSheetMode(Mode(id)); });

    m_fields->addWidget(makeReplaceFields());
    m_fields->addWidget(makeSequenceFields());

    auto *model = new PlanModel(m_preview);
    m_preview->setModel(model);
    m_preview->setItemDelegate(new PlanDelegate(model, m_preview));
    m_preview->setUniformItemSizes(true);
    m_preview->setSelectionMode(QAbstractItemView::NoSelection);
    m_preview->setFocusPolicy(Qt::NoFocus);
    m_preview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // rows elide to the sheet's width
    m_preview->setFrameShape(QFrame::NoFrame);
    m_preview->setFixedHeight(previewHeight);
    m_preview->viewport()->setAutoFillBackground(false);

    m_apply->setDefault(true);
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &BulkRenameSheet::reject);
    connect(m_apply, &QPushButton::clicked, this, &BulkRenameSheet::apply);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_apply);

    auto *column = new QVBoxLayout(this);
    column->setSpacing(12);
    column->addWidget(m_title);
    column->addLayout(segments);
    column->addWidget(m_fields);
    column->addWidget(divider());
    column->addWidget(m_preview);
    column->addLayout(buttons);
    showFieldsOf(Mode::replace);
    replan();
}

QWidget *BulkRenameSheet::makeReplaceFields()
{
    auto *page = new QWidget;
    auto *form = formOn(page, QFormLayout::AllNonFixedFieldsGrow);
    m_find = new QLineEdit;
    m_replace = new QLineEdit;
    m_findLabel = new QLabel;
    m_replaceLabel = new QLabel;
    form->addRow(m_findLabel, m_find);
    form->addRow(m_replaceLabel, m_replace);
    for (QLineEdit *field : {m_find, m_replace})
        connect(field, &QLineEdit::textChanged, this, &BulkRenameSheet::replan);
    return page;
}

QWidget *BulkRenameSheet::makeSequenceFields()
{
    auto *page = new QWidget;
    auto *form = formOn(page, QFormLayout::ExpandingFieldsGrow);
    m_base = new QLineEdit;
    m_start = new QSpinBox;
    m_start->setRange(0, 9999);
    m_start->setValue(1);
    m_padding = new QSpinBox;
    m_padding->setRange(1, 6);
    m_padding->setValue(2);
    for (QSpinBox *box : {m_start, m_padding}) {
        box->setMinimumWidth(90);
        connect(box, &QSpinBox::valueChanged, this, &BulkRenameSheet::replan);
    }
    m_baseLabel = new QLabel;
    m_startLabel = new QLabel;
    m_paddingLabel = new QLabel;
    form->addRow(m_baseLabel, m_base);
    form->addRow(m_startLabel, m_start);
    form->addRow(m_paddingLabel, m_padding);
    connect(m_base, &QLineEdit::textChanged, this, &BulkRenameSheet::replan);
    return page;
}

void BulkRenameSheet::setTexts(const Localization &loc)
{
    setWindowTitle(loc.bulkRename);
    m_title->setText(loc.bulkRename);
    replaceSegment()->setText(loc.modeReplace);
    sequenceSegment()->setText(loc.modeSequence);
    m_findLabel->setText(loc.findLabel);
    m_replaceLabel->setText(loc.replaceLabel);
    m_baseLabel->setText(loc.baseNameLabel);
    m_startLabel->setText(loc.startNumberLabel);
    m_paddingLabel->setText(loc.fileNamePlaceholder + QStringLiteral(" #"));
    m_cancel->setText(loc.cancel);
    m_apply->setText(loc.applyConfirm);
}

QAbstractButton *BulkRenameSheet::replaceSegment() const
{
    return m_picker->button(int(Mode::replace));
}

QAbstractButton *BulkRenameSheet::sequenceSegment() const
{
    return m_picker->button(int(Mode::sequence));
}

void BulkRenameSheet::setSheetMode(Mode mode)
{
    m_picker->button(int(mode))->setChecked(true);
    if (mode == m_sheetMode)
        return;
    m_sheetMode = mode;
    showFieldsOf(mode);
    replan();
}

// The stack takes the height of the shown page only, so the shorter rule leaves no gap. The
// rule's first field takes the keyboard, so typing goes there as the sheet opens or switches.
void BulkRenameSheet::showFieldsOf(Mode mode)
{
    m_fields->setCurrentIndex(int(mode));
    (mode == Mode::replace ? m_find : m_base)->setFocus();
    for (int page = 0; page < m_fields->count(); ++page)
        m_fields->widget(page)->setSizePolicy(QSizePolicy::Preferred,
                                              page == int(mode) ? QSizePolicy::Preferred : QSizePolicy::Ignored);
    m_fields->updateGeometry();
    adjustSize();
}

BulkRename::Mode BulkRenameSheet::mode() const
{
    if (m_sheetMode == Mode::sequence)
        return BulkRename::Mode::sequence(m_base->text(), m_start->value(), m_padding->value());
    return BulkRename::Mode::findReplace(m_find->text(), m_replace->text());
}

void BulkRenameSheet::replan()
{
    m_plan = BulkRename::plan(m_items, mode());
    static_cast<PlanModel *>(m_preview->model())->setPlan(m_plan);
    m_apply->setEnabled(std::any_of(m_plan.cbegin(), m_plan.cend(), [](const RenameEntry &e) { return e.changesName(); }));
}

void BulkRenameSheet::apply()
{
    // Planned again so that Return in a field applies exactly what the fields say now.
    m_plan = BulkRename::plan(m_items, mode());
    Q_EMIT applied(BulkRename::changes(m_plan));
    reject();
}

