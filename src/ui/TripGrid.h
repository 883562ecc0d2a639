#pragma once

#include <QTableView>

class QAction;
class TripLogModel;

// The trip grid of the statistics page: the trip log's model in white on black under a title
// row in the card colour, the designed column widths, columns the user can resize, cells
// edited in place. The current record is deleted with the Delete key or from the context menu
// once the user has confirmed it. When the layout scales the grid's font, the title row, the
// rows and the columns follow.
class TripGrid : public QTableView
{
    Q_OBJECT

public:
    static constexpr int kCellPixelSize = 15;
    static constexpr int kTitlePixelSize = 12;

    TripGrid(TripLogModel& model, QWidget* parent = nullptr);

    QAction* deleteAction() const { return m_deleteAction; }
    // Asks "Delete record?"; on Yes removes the current row. Returns whether it was removed.
    bool deleteCurrentRecord();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fitToFont();

    QAction* m_deleteAction = nullptr;
    int m_fittedPixelSize = kCellPixelSize;
};
