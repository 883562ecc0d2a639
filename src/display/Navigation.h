#pragma once

class DisplayState;
enum class DisplayId : int;

// The navigation bar: five places, each a normal and a highlighted picture over one page.
// A click makes its page the active one and highlights its own place only.
class Navigation
{
public:
    enum class Place { Main, Statistics, Sensors, Fuel, Settings }; // top to bottom

    explicit Navigation(DisplayState& display);

    static int pageOf(Place place);
    static DisplayId normalPicture(Place place);
    static DisplayId highlightedPicture(Place place);

    void click(Place place);

    // The click handlers, named after the normal picture of their place.
    void Image7Click() { click(Place::Main); }
    void Image6Click() { click(Place::Statistics); }
    void Image5Click() { click(Place::Sensors); }
    void Image4Click() { click(Place::Fuel); }
    void Image3Click() { click(Place::Settings); }

private:
    DisplayState& m_display;
};
