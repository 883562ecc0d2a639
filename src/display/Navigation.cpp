#include "display/Navigation.h"

#include "display/DisplayState.h"

Navigation::Navigation(DisplayState& display)
    : m_display(display)
{
}

int Navigation::pageOf(Place place)
{
    // The bar's order differs from the page order: main, sensors, statistics, settings, fuel.
    switch (place) {
    case Place::Main:
        return 0;
    case Place::Statistics:
        return 2;
    case Place::Sensors:
        return 1;
    case Place::Fuel:
        return 4;
    case Place::Settings:
        break;
    }
    return 3;
}

DisplayId Navigation::normalPicture(Place place)
{
    switch (place) {
    case Place::Main:
        return DisplayId::Image7;
    case Place::Statistics:
        return DisplayId::Image6;
    case Place::Sensors:
        return DisplayId::Image5;
    case Place::Fuel:
        return DisplayId::Image4;
    case Place::Settings:
        break;
    }
    return DisplayId::Image3;
}

DisplayId Navigation::highlightedPicture(Place place)
{
    switch (place) {
    case Place::Main:
        return DisplayId::Image12;
    case Place::Statistics:
        return DisplayId::Image11;
    case Place::Sensors:
        return DisplayId::Image10;
    case Place::Fuel:
        return DisplayId::Image9;
    case Place::Settings:
        break;
    }
    return DisplayId::Image8;
}

void Navigation::click(Place target)
{
    m_display.setIndex(DisplayId::sPageControl1, pageOf(target));
    for (Place place : {Place::Main, Place::Statistics, Place::Sensors, Place::Fuel, Place::Settings}) {
        const bool own = place == target;
        m_display.setVisible(highlightedPicture(place), own);
        m_display.setVisible(normalPicture(place), !own);
    }
}
