#pragma once

#include "display/DisplayItems.h"

#include <QObject>
#include <QString>

#include <array>
#include <optional>

enum class DisplayKind { Label, Gauge, Dial, Lamp, Picture, Choice, Check, Edit, Group };

// One id per display item; the names are the window's component names.
enum class DisplayId : int {
#define TACHORA_DISPLAY_ID(name, kind, text, lo, hi, value, visible) name,
    TACHORA_DISPLAY_ITEMS(TACHORA_DISPLAY_ID)
#undef TACHORA_DISPLAY_ID
};

constexpr int kDisplayItemCount = 0
#define TACHORA_DISPLAY_COUNT(name, kind, text, lo, hi, value, visible) +1
    TACHORA_DISPLAY_ITEMS(TACHORA_DISPLAY_COUNT)
#undef TACHORA_DISPLAY_COUNT
    ;

// Everything the window shows: label texts, gauge values clamped to their scales, the dial's
// caption, lamps, shown and hidden pictures, the active page, the statistics filter, the tank
// edit. Logic writes here, widgets follow through changed(); nothing here knows a widget.
// Texts read back exactly as set, because several readers (gauges fed from labels, the host
// export) take the text as the value.
class DisplayState : public QObject
{
    Q_OBJECT

public:
    explicit DisplayState(QObject* parent = nullptr);

    static QString name(DisplayId id);
    static std::optional<DisplayId> idFromName(const QString& name);
    static DisplayKind kind(DisplayId id);
    static double minimum(DisplayId id);
    static double maximum(DisplayId id);

    // Labels (and the tank edit's shown text, the group's and check box's captions).
    QString text(DisplayId id) const;
    void setText(DisplayId id, const QString& text);

    // Gauges and the dial: the value is stored clamped to the scale and read back clamped.
    double value(DisplayId id) const;
    void setValue(DisplayId id, double value);

    // The dial's caption text, independent of its (clamped) value.
    QString caption(DisplayId id) const;
    void setCaption(DisplayId id, const QString& caption);

    bool isVisible(DisplayId id) const;
    void setVisible(DisplayId id, bool visible);

    // Lamps.
    bool isLit(DisplayId id) const;
    void setLit(DisplayId id, bool lit);

    // Choices (the active page, the statistics filter) and the check box.
    int index(DisplayId id) const;
    void setIndex(DisplayId id, int index);
    bool isChecked(DisplayId id) const;
    void setChecked(DisplayId id, bool checked);

    // The tank edit: a number held within 0..100 and shown with two decimals. Setting its text
    // sets the number the text holds (clamped); a text that is no number changes nothing.
    double tankValue() const;
    void setTankValue(double litres);
    void setTankText(const QString& text);

Q_SIGNALS:
    // Any property of the item changed.
    void changed(DisplayId id);
    // The tank edit's shown text changed.
    void editTankChanged();

private:
    struct Item
    {
        QString text;
        QString caption;
        double value = 0;
        int index = 0;
        bool visible = true;
        bool lit = false;
        bool checked = false;
    };
    Item& item(DisplayId id) { return m_items[static_cast<size_t>(id)]; }
    const Item& item(DisplayId id) const { return m_items[static_cast<size_t>(id)]; }

    std::array<Item, kDisplayItemCount> m_items;
};

Q_DECLARE_METATYPE(DisplayId)
