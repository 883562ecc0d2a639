#pragma once

#include <QProxyStyle>

// The application's style, with the parts it draws at a fixed size — check and radio
// indicators, the buttons of spin boxes and combo boxes, scroll bars — grown and shrunk with
// the widget's font. The layout scales fonts with everything else, so these parts keep their
// proportions at any window size instead of staying at their designed pixel size.
class ScalingStyle : public QProxyStyle
{
    Q_OBJECT

public:
    // Gives the widget this style; its current font size counts as the designed one.
    static void apply(QWidget* widget);

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                         SubControl subControl, const QWidget* widget = nullptr) const override;

private:
    ScalingStyle();
    // The widget's font size over its designed one.
    static double factor(const QWidget* widget);
};
