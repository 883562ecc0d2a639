#include "display/DisplayState.h"

#include "common/NumberFormat.h"

#include <QHash>

#include <algorithm>

namespace {

struct Definition
{
    const char* name;
    DisplayKind kind;
    const char* text; // UTF-8
    double minimum;
    double maximum;
    double value;
    bool visible;
};

constexpr Definition kDefinitions[] = {
#define TACHORA_DISPLAY_DEF(name, kind, text, lo, hi, value, visible)                              \
    {#name, DisplayKind::kind, text, lo, hi, value, visible},
    TACHORA_DISPLAY_ITEMS(TACHORA_DISPLAY_DEF)
#undef TACHORA_DISPLAY_DEF
};
static_assert(std::size(kDefinitions) == kDisplayItemCount);

const Definition& definition(DisplayId id)
{
    return kDefinitions[static_cast<size_t>(id)];
}

double clampTo(DisplayId id, double value)
{
    const Definition& d = definition(id);
    if (value != value) // NaN: the gauge cannot show it; take the minimum
        return d.minimum;
    return std::clamp(value, d.minimum, d.maximum);
}

} // namespace

DisplayState::DisplayState(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<DisplayId>();
    for (int i = 0; i < kDisplayItemCount; ++i) {
        const Definition& d = kDefinitions[i];
        Item& it = m_items[static_cast<size_t>(i)];
        it.visible = d.visible;
        switch (d.kind) {
        case DisplayKind::Dial:
            it.caption = QString::fromUtf8(d.text);
            it.value = d.value;
            break;
        case DisplayKind::Gauge:
            it.value = d.value;
            break;
        case DisplayKind::Choice:
            it.index = static_cast<int>(d.value);
            it.text = QString::fromUtf8(d.text);
            break;
        case DisplayKind::Edit:
            it.value = d.value;
            it.text = NumberFormat::fixed(d.value, 2);
            break;
        default:
            it.text = QString::fromUtf8(d.text);
            break;
        }
    }
}

QString DisplayState::name(DisplayId id)
{
    return QString::fromLatin1(definition(id).name);
}

std::optional<DisplayId> DisplayState::idFromName(const QString& name)
{
    static const QHash<QString, DisplayId> byName = [] {
        QHash<QString, DisplayId> h;
        for (int i = 0; i < kDisplayItemCount; ++i)
            h.insert(QString::fromLatin1(kDefinitions[i].name), static_cast<DisplayId>(i));
        return h;
    }();
    const auto it = byName.constFind(name);
    if (it == byName.constEnd())
        return std::nullopt;
    return *it;
}

DisplayKind DisplayState::kind(DisplayId id)
{
    return definition(id).kind;
}

double DisplayState::minimum(DisplayId id)
{
    return definition(id).minimum;
}

double DisplayState::maximum(DisplayId id)
{
    return definition(id).maximum;
}

QString DisplayState::text(DisplayId id) const
{
    return item(id).text;
}

void DisplayState::setText(DisplayId id, const QString& text)
{
    if (kind(id) == DisplayKind::Edit) {
        setTankText(text);
        return;
    }
    Item& it = item(id);
    if (it.text == text)
        return;
    it.text = text;
    Q_EMIT changed(id);
}

double DisplayState::value(DisplayId id) const
{
    return item(id).value;
}

void DisplayState::setValue(DisplayId id, double value)
{
    if (kind(id) == DisplayKind::Edit) {
        setTankValue(value);
        return;
    }
    Item& it = item(id);
    const double v = clampTo(id, value);
    if (it.value == v)
        return;
    it.value = v;
    Q_EMIT changed(id);
}

QString DisplayState::caption(DisplayId id) const
{
    return item(id).caption;
}

void DisplayState::setCaption(DisplayId id, const QString& caption)
{
    Item& it = item(id);
    if (it.caption == caption)
        return;
    it.caption = caption;
    Q_EMIT changed(id);
}

bool DisplayState::isVisible(DisplayId id) const
{
    return item(id).visible;
}

void DisplayState::setVisible(DisplayId id, bool visible)
{
    // The two export carriers on the main page are never shown, whatever anyone asks.
    if (id == DisplayId::LabelSpeedSrOut || id == DisplayId::LabelSpeedMaxOut)
        visible = false;
    Item& it = item(id);
    if (it.visible == visible)
        return;
    it.visible = visible;
    Q_EMIT changed(id);
}

bool DisplayState::isLit(DisplayId id) const
{
    return item(id).lit;
}

void DisplayState::setLit(DisplayId id, bool lit)
{
    Item& it = item(id);
    if (it.lit == lit)
        return;
    it.lit = lit;
    Q_EMIT changed(id);
}

int DisplayState::index(DisplayId id) const
{
    return item(id).index;
}

void DisplayState::setIndex(DisplayId id, int index)
{
    index = std::clamp(index, int(minimum(id)), int(maximum(id)));
    Item& it = item(id);
    if (it.index == index)
        return;
    it.index = index;
    Q_EMIT changed(id);
}

bool DisplayState::isChecked(DisplayId id) const
{
    return item(id).checked;
}

void DisplayState::setChecked(DisplayId id, bool checked)
{
    Item& it = item(id);
    if (it.checked == checked)
        return;
    it.checked = checked;
    Q_EMIT changed(id);
}

double DisplayState::tankValue() const
{
    return item(DisplayId::EditTank).value;
}

void DisplayState::setTankValue(double litres)
{
    Item& it = item(DisplayId::EditTank);
    // The edit holds the number within 0..100 and shows it with two decimals; its change
    // notification follows the shown text only.
    const double v = clampTo(DisplayId::EditTank, litres);
    const QString shown = NumberFormat::fixed(v, 2);
    const bool textChanged = shown != it.text;
    if (!textChanged && v == it.value)
        return;
    it.value = v;
    it.text = shown;
    Q_EMIT changed(DisplayId::EditTank);
    if (textChanged)
        Q_EMIT editTankChanged();
}

void DisplayState::setTankText(const QString& text)
{
    if (const auto v = NumberFormat::tryParseDecimal(text))
        setTankValue(*v);
}
