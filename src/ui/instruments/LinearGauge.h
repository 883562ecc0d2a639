#pragma once

#include "ui/instruments/InstrumentWidget.h"

// A vertical scale with a pointer that slides in a rail, the minimum at the bottom, set in a
// lowered bevel on the card colour. The defaults are those of the sensor gauges (six numbered
// major ticks, thistle ticks, a black rail and band); only the range differs between them.
//
// Positions, lengths across the scale, the bevel and font pixel sizes are fractions of the
// width; the rail's length, tick thicknesses and the pointer's widths (which run along the
// scale) are fractions of the height. The pointer's tail sits at the rail's left edge and its
// tip points across the ticks.
class LinearGauge : public InstrumentWidget
{
    Q_OBJECT
    Q_PROPERTY(
        double scalePosition READ scalePosition WRITE setScalePosition NOTIFY appearanceChanged)
    Q_PROPERTY(
        int majorTickCount READ majorTickCount WRITE setMajorTickCount NOTIFY appearanceChanged)
    Q_PROPERTY(
        int minorTickCount READ minorTickCount WRITE setMinorTickCount NOTIFY appearanceChanged)
    Q_PROPERTY(
        QColor majorTickColor READ majorTickColor WRITE setMajorTickColor NOTIFY appearanceChanged)
    Q_PROPERTY(double majorTickLength READ majorTickLength WRITE setMajorTickLength NOTIFY
                   appearanceChanged)
    Q_PROPERTY(double majorTickThickness READ majorTickThickness WRITE setMajorTickThickness NOTIFY
                   appearanceChanged)
    Q_PROPERTY(
        QColor minorTickColor READ minorTickColor WRITE setMinorTickColor NOTIFY appearanceChanged)
    Q_PROPERTY(double minorTickLength READ minorTickLength WRITE setMinorTickLength NOTIFY
                   appearanceChanged)
    Q_PROPERTY(double minorTickThickness READ minorTickThickness WRITE setMinorTickThickness NOTIFY
                   appearanceChanged)
    Q_PROPERTY(
        bool numbersVisible READ numbersVisible WRITE setNumbersVisible NOTIFY appearanceChanged)
    Q_PROPERTY(QColor numberColor READ numberColor WRITE setNumberColor NOTIFY appearanceChanged)
    Q_PROPERTY(QFont numberFont READ numberFont WRITE setNumberFont NOTIFY appearanceChanged)
    Q_PROPERTY(double numberSize READ numberSize WRITE setNumberSize NOTIFY appearanceChanged)
    Q_PROPERTY(
        double numberPosition READ numberPosition WRITE setNumberPosition NOTIFY appearanceChanged)
    Q_PROPERTY(QColor railColor READ railColor WRITE setRailColor NOTIFY appearanceChanged)
    Q_PROPERTY(double railPosition READ railPosition WRITE setRailPosition NOTIFY appearanceChanged)
    Q_PROPERTY(double railWidth READ railWidth WRITE setRailWidth NOTIFY appearanceChanged)
    Q_PROPERTY(double railLength READ railLength WRITE setRailLength NOTIFY appearanceChanged)
    Q_PROPERTY(QColor pointerColor READ pointerColor WRITE setPointerColor NOTIFY appearanceChanged)
    Q_PROPERTY(double pointerWidth READ pointerWidth WRITE setPointerWidth NOTIFY appearanceChanged)
    Q_PROPERTY(double pointerTipWidth READ pointerTipWidth WRITE setPointerTipWidth NOTIFY
                   appearanceChanged)
    Q_PROPERTY(double pointerTipLength READ pointerTipLength WRITE setPointerTipLength NOTIFY
                   appearanceChanged)
    Q_PROPERTY(
        double pointerLength READ pointerLength WRITE setPointerLength NOTIFY appearanceChanged)
    Q_PROPERTY(double pointerTailIndent READ pointerTailIndent WRITE setPointerTailIndent NOTIFY
                   appearanceChanged)
    Q_PROPERTY(QColor bandColor READ bandColor WRITE setBandColor NOTIFY appearanceChanged)
    Q_PROPERTY(double bandPosition READ bandPosition WRITE setBandPosition NOTIFY appearanceChanged)
    Q_PROPERTY(double bandWidth READ bandWidth WRITE setBandWidth NOTIFY appearanceChanged)
    Q_PROPERTY(QColor bevelColor READ bevelColor WRITE setBevelColor NOTIFY appearanceChanged)
    Q_PROPERTY(double bevelWidth READ bevelWidth WRITE setBevelWidth NOTIFY appearanceChanged)
    Q_PROPERTY(double bevelRadius READ bevelRadius WRITE setBevelRadius NOTIFY appearanceChanged)

public:
    static constexpr double kDefaultMaximum = 100;
    static constexpr QSize kDesignedSize{65, 249};
    static constexpr QRgb kCardColor = 0xFF404040;

    explicit LinearGauge(QWidget* parent = nullptr);

    QSize sizeHint() const override { return kDesignedSize; }

    double scalePosition() const { return m_scalePosition; }
    int majorTickCount() const { return m_majorTickCount; }
    int minorTickCount() const { return m_minorTickCount; }
    QColor majorTickColor() const { return m_majorTickColor; }
    double majorTickLength() const { return m_majorTickLength; }
    double majorTickThickness() const { return m_majorTickThickness; }
    QColor minorTickColor() const { return m_minorTickColor; }
    double minorTickLength() const { return m_minorTickLength; }
    double minorTickThickness() const { return m_minorTickThickness; }
    bool numbersVisible() const { return m_numbersVisible; }
    QColor numberColor() const { return m_numberColor; }
    QFont numberFont() const { return m_numberFont; }
    double numberSize() const { return m_numberSize; }
    double numberPosition() const { return m_numberPosition; }
    QColor railColor() const { return m_railColor; }
    double railPosition() const { return m_railPosition; }
    double railWidth() const { return m_railWidth; }
    double railLength() const { return m_railLength; }
    QColor pointerColor() const { return m_pointerColor; }
    double pointerWidth() const { return m_pointerWidth; }
    double pointerTipWidth() const { return m_pointerTipWidth; }
    double pointerTipLength() const { return m_pointerTipLength; }
    double pointerLength() const { return m_pointerLength; }
    double pointerTailIndent() const { return m_pointerTailIndent; }
    QColor bandColor() const { return m_bandColor; }
    double bandPosition() const { return m_bandPosition; }
    double bandWidth() const { return m_bandWidth; }
    QColor bevelColor() const { return m_bevelColor; }
    double bevelWidth() const { return m_bevelWidth; }
    double bevelRadius() const { return m_bevelRadius; }

    void setScalePosition(double position) { setFaceSetting(m_scalePosition, position); }
    void setMajorTickCount(int count) { setFaceSetting(m_majorTickCount, count); }
    void setMinorTickCount(int count) { setFaceSetting(m_minorTickCount, count); }
    void setMajorTickColor(const QColor& color) { setFaceSetting(m_majorTickColor, color); }
    void setMajorTickLength(double length) { setFaceSetting(m_majorTickLength, length); }
    void setMajorTickThickness(double thickness)
    {
        setFaceSetting(m_majorTickThickness, thickness);
    }
    void setMinorTickColor(const QColor& color) { setFaceSetting(m_minorTickColor, color); }
    void setMinorTickLength(double length) { setFaceSetting(m_minorTickLength, length); }
    void setMinorTickThickness(double thickness)
    {
        setFaceSetting(m_minorTickThickness, thickness);
    }
    void setNumbersVisible(bool visible) { setFaceSetting(m_numbersVisible, visible); }
    void setNumberColor(const QColor& color) { setFaceSetting(m_numberColor, color); }
    void setNumberFont(const QFont& font) { setFaceSetting(m_numberFont, font); }
    void setNumberSize(double size) { setFaceSetting(m_numberSize, size); }
    void setNumberPosition(double position) { setFaceSetting(m_numberPosition, position); }
    void setRailColor(const QColor& color) { setFaceSetting(m_railColor, color); }
    void setRailPosition(double position) { setFaceSetting(m_railPosition, position); }
    void setRailWidth(double width) { setFaceSetting(m_railWidth, width); }
    // The rail's length also bounds the scale, which ends where the pointer's tip still fits.
    void setRailLength(double length) { setFaceSetting(m_railLength, length); }
    void setPointerColor(const QColor& color) { setLiveSetting(m_pointerColor, color); }
    void setPointerWidth(double width) { setLiveSetting(m_pointerWidth, width); }
    // The scale's ends depend on the tip's width, so it is a face setting.
    void setPointerTipWidth(double width) { setFaceSetting(m_pointerTipWidth, width); }
    void setPointerTipLength(double length) { setLiveSetting(m_pointerTipLength, length); }
    void setPointerLength(double length) { setLiveSetting(m_pointerLength, length); }
    void setPointerTailIndent(double indent) { setLiveSetting(m_pointerTailIndent, indent); }
    void setBandColor(const QColor& color) { setFaceSetting(m_bandColor, color); }
    void setBandPosition(double position) { setFaceSetting(m_bandPosition, position); }
    void setBandWidth(double width) { setFaceSetting(m_bandWidth, width); }
    void setBevelColor(const QColor& color) { setFaceSetting(m_bevelColor, color); }
    void setBevelWidth(double width) { setFaceSetting(m_bevelWidth, width); }
    void setBevelRadius(double radius) { setFaceSetting(m_bevelRadius, radius); }

protected:
    void layOut() override;
    void paintFace(QPainter& painter) override;
    void paintMovingPart(QPainter& painter) override;

private:
    double levelOf(double fraction) const;

    double m_scalePosition = 0.25;
    int m_majorTickCount = 6;
    int m_minorTickCount = 1;
    QColor m_majorTickColor = QColor::fromRgba(0xFFD8BFD8);
    double m_majorTickLength = 0.3;
    double m_majorTickThickness = 0.01;
    QColor m_minorTickColor = QColor::fromRgba(0xFFD8BFD8);
    double m_minorTickLength = 0.2;
    double m_minorTickThickness = 0.005;
    bool m_numbersVisible = true;
    QColor m_numberColor = Qt::white;
    QFont m_numberFont = defaultFont();
    double m_numberSize = 0.13;
    double m_numberPosition = 0.57;
    QColor m_railColor = Qt::black;
    double m_railPosition = 0.15;
    double m_railWidth = 0.1;
    double m_railLength = 0.9;
    QColor m_pointerColor{0xFF, 0x45, 0x00};
    double m_pointerWidth = 0.03;
    double m_pointerTipWidth = 0.05;
    double m_pointerTipLength = 0.2;
    double m_pointerLength = 0.3;
    double m_pointerTailIndent = 0.15;
    QColor m_bandColor = Qt::black;
    double m_bandPosition = 0.2;
    double m_bandWidth = 0.05;
    QColor m_bevelColor = Qt::black;
    double m_bevelWidth = 0.05;
    double m_bevelRadius = 0.15;

    // Laid out from the size and the settings.
    QRectF m_rail;
    double m_scaleTop = 0;
    double m_scaleBottom = 0;
};
