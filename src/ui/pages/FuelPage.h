#pragma once

#include <QWidget>

class DisplayBinder;
class TachoraApp;

// sTabSheet5: the fuel in the tank in litres between the buttons that correct it, the button
// that fills the tank, and the distance the fuel left still allows.
class FuelPage : public QWidget
{
    Q_OBJECT

public:
    FuelPage(TachoraApp& app, DisplayBinder& binder, QWidget* parent = nullptr);
};
