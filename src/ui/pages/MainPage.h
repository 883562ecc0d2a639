#pragma once

#include <QWidget>

class DisplayBinder;

// sTabSheet1: five columns of cards — distance, fuel and average consumption; the engine
// dial with the speed; the instant consumption bar; the tank bar; the coolant thermometer.
class MainPage : public QWidget
{
    Q_OBJECT

public:
    MainPage(DisplayBinder& binder, QWidget* parent = nullptr);
};
