#pragma once

#include <QWidget>

class DisplayBinder;

// sTabSheet2: six columns of cards, each a gauge over its number — air flow, fuel flow,
// coolant temperature, battery voltage, manifold pressure, intake air temperature — and the
// engine speed text for the host export at the page's foot.
class SensorsPage : public QWidget
{
    Q_OBJECT

public:
    explicit SensorsPage(DisplayBinder& binder, QWidget* parent = nullptr);
};
