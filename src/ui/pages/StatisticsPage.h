#pragma once

#include <QWidget>

class DisplayBinder;
class FlatButton;
class RadioGroup;
class TachoraApp;
class TripGrid;

// sTabSheet4: the summary of the current trip or of a period of trips, the period filter,
// the trip grid and the button that empties the trip log.
class StatisticsPage : public QWidget
{
    Q_OBJECT

public:
    StatisticsPage(TachoraApp& app, DisplayBinder& binder, QWidget* parent = nullptr);

    RadioGroup* filter() const { return m_filter; }
    TripGrid* grid() const { return m_grid; }
    FlatButton* clearButton() const { return m_clear; }

private:
    RadioGroup* m_filter = nullptr;
    TripGrid* m_grid = nullptr;
    FlatButton* m_clear = nullptr;
};
