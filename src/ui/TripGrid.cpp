#include "ui/TripGrid.h"

#include "trip/TripLogModel.h"
#include "ui/Dashboard.h"
#include "ui/ScalingStyle.h"

#include <QAction>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <cmath>

namespace {

const QColor kLineColor(0x70, 0x70, 0x70);

// Cells keep their text close to the grid lines, so that a time fits its narrow column.
class TightCellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem wider(option);
        wider.rect.adjust(-kSpare, 0, kSpare, 0);
        painter->save();
        painter->setClipRect(option.rect);
        QStyledItemDelegate::paint(painter, wider, index);
        painter->restore();
    }

private:
    static constexpr int kSpare = 2;
};

} // namespace

TripGrid::TripGrid(TripLogModel& model, QWidget* parent) : QTableView(parent)
{
    setModel(&model);
    setItemDelegate(new TightCellDelegate(this));
    setFont(Dashboard::verdana(kCellPixelSize));
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::AlternateBase, Qt::black);
    pal.setColor(QPalette::Text, Qt::white);
    pal.setColor(QPalette::Highlight, QColor(0x1c, 0x4e, 0x80));
    pal.setColor(QPalette::HighlightedText, Qt::white);
    // The grid lines (the style draws them a little darker than the window colour) and the
    // frame.
    pal.setColor(QPalette::Window, kLineColor.lighter(120));
    pal.setColor(QPalette::Mid, kLineColor);
    pal.setColor(QPalette::WindowText, kLineColor);
    setPalette(pal);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    QPalette bars = palette();
    bars.setColor(QPalette::Window, Qt::black);
    bars.setColor(QPalette::Button, Dashboard::cardColor());
    bars.setColor(QPalette::WindowText, Qt::white);
    bars.setColor(QPalette::ButtonText, Qt::white);
    for (QScrollBar* bar : {verticalScrollBar(), horizontalScrollBar()}) {
        bar->setPalette(bars);
        ScalingStyle::apply(bar);
    }
    setShowGrid(true);
    setWordWrap(false);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    verticalHeader()->hide();
    QHeaderView* titles = horizontalHeader();
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setStretchLastSection(false);
    titles->setHighlightSections(false);
    titles->setDefaultAlignment(Qt::AlignCenter);
    titles->setFont(Dashboard::verdana(kTitlePixelSize, false, true));
    const QColor card = Dashboard::cardColor();
    titles->setStyleSheet(
        QStringLiteral("QHeaderView { background-color: black; }"
                       "QHeaderView::section { background-color: %1; color: white;"
                       " border: none; border-right: 1px solid black;"
                       " border-bottom: 1px solid black; padding: 2px 1px; }")
            .arg(card.name()));
    for (int column = 0; column < TripLogModel::ColumnCount; ++column)
        titles->resizeSection(column, TripLogModel::columnWidth(column));
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);

    m_deleteAction = new QAction(QStringLiteral("Delete record"), this);
    connect(m_deleteAction, &QAction::triggered, this, [this] { deleteCurrentRecord(); });
    addAction(m_deleteAction);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

bool TripGrid::deleteCurrentRecord()
{
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return false;
    const auto answer =
        QMessageBox::question(this, QStringLiteral("Tachora"), QStringLiteral("Delete record?"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return false;
    // The row may have gone while the question was up.
    const QModelIndex row = currentIndex();
    return row.isValid() && model()->removeRow(row.row());
}

void TripGrid::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier &&
        state() != QAbstractItemView::EditingState) {
        deleteCurrentRecord();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TripGrid::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitToFont();
}

void TripGrid::fitToFont()
{
    // The layout scales the cell font; everything measured in pixels goes along with it.
    const int pixelSize = font().pixelSize();
    if (pixelSize <= 0 || pixelSize == m_fittedPixelSize)
        return;
    const double factor = double(pixelSize) / m_fittedPixelSize;
    m_fittedPixelSize = pixelSize;
    QHeaderView* titles = horizontalHeader();
    QFont titleFont = titles->font();
    titleFont.setPixelSize(
        qMax(1, int(std::lround(kTitlePixelSize * double(pixelSize) / kCellPixelSize))));
    titles->setFont(titleFont);
    for (int column = 0; column < titles->count(); ++column)
        titles->resizeSection(column, int(std::lround(titles->sectionSize(column) * factor)));
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
}
