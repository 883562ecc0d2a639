#include "ui/ScalingStyle.h"

#include <QApplication>
#include <QStyleOptionComplex>
#include <QWidget>

#include <cmath>

namespace {

constexpr const char* kDesignedPixelSize = "designedPixelSize";

int scaled(int value, double factor)
{
    return int(std::lround(value * factor));
}

} // namespace

ScalingStyle::ScalingStyle() : QProxyStyle() {}

void ScalingStyle::apply(QWidget* widget)
{
    static ScalingStyle* const style = [] {
        auto* s = new ScalingStyle;
        s->setParent(qApp);
        return s;
    }();
    widget->setProperty(kDesignedPixelSize, widget->font().pixelSize());
    widget->setStyle(style);
}

double ScalingStyle::factor(const QWidget* widget)
{
    if (!widget)
        return 1;
    const int designed = widget->property(kDesignedPixelSize).toInt();
    const int now = widget->font().pixelSize();
    if (designed <= 0 || now <= 0)
        return 1;
    return double(now) / designed;
}

int ScalingStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                              const QWidget* widget) const
{
    const int base = QProxyStyle::pixelMetric(metric, option, widget);
    switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing:
    case PM_ScrollBarExtent:
    case PM_ScrollBarSliderMin:
        return scaled(base, factor(widget));
    default:
        return base;
    }
}

QRect ScalingStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                   SubControl subControl, const QWidget* widget) const
{
    QRect rect = QProxyStyle::subControlRect(control, option, subControl, widget);
    const double f = factor(widget);
    if (f == 1 || !option)
        return rect;
    // The buttons at the right edge widen to the left; the text field gives way to them.
    SubControl button = SC_None;
    SubControl field = SC_None;
    if (control == CC_SpinBox) {
        button = SC_SpinBoxUp;
        field = SC_SpinBoxEditField;
    } else if (control == CC_ComboBox) {
        button = SC_ComboBoxArrow;
        field = SC_ComboBoxEditField;
    } else {
        return rect;
    }
    const int width = QProxyStyle::subControlRect(control, option, button, widget).width();
    const int grow = scaled(width, f) - width;
    const bool rightToLeft = option->direction == Qt::RightToLeft;
    if (subControl == field) {
        if (rightToLeft)
            rect.setLeft(rect.left() + grow);
        else
            rect.setRight(rect.right() - grow);
    } else if (subControl == button || (control == CC_SpinBox && subControl == SC_SpinBoxDown)) {
        if (rightToLeft)
            rect.setRight(rect.right() + grow);
        else
            rect.setLeft(rect.left() - grow);
    }
    return rect;
}
