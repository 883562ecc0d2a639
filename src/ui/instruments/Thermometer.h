#pragma once

#include "ui/instruments/ColorBand.h"
#include "ui/instruments/InstrumentWidget.h"

// A vertical thermometer: a glass tube with a bulb at the bottom and a column that rises with
// the value, ticks and numbered major ticks on its right, coloured bands along the tick tips.
// The defaults are those of the engine-temperature thermometer (0 to 120 °C).
//
// Lengths across the scale (tick lengths, the column, the band's position and width, font pixel
// sizes) are fractions of the width; tick thicknesses, which run along the scale, and the bulb's
// diameter are fractions of the height. The band's position is measured from the foot of the
// ticks to its outer edge.
class Thermometer : public InstrumentWidget
{
    Q_OBJECT
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
    Q_PROPERTY(QList<ColorBand> bands READ bands WRITE setBands NOTIFY appearanceChanged)
    Q_PROPERTY(double bandPosition READ bandPosition WRITE setBandPosition NOTIFY appearanceChanged)
    Q_PROPERTY(double bandWidth READ bandWidth WRITE setBandWidth NOTIFY appearanceChanged)
    Q_PROPERTY(QColor columnColor READ columnColor WRITE setColumnColor NOTIFY appearanceChanged)
    Q_PROPERTY(QColor tubeColor READ tubeColor WRITE setTubeColor NOTIFY appearanceChanged)
    Q_PROPERTY(double columnWidth READ columnWidth WRITE setColumnWidth NOTIFY appearanceChanged)
    Q_PROPERTY(double bulbSize READ bulbSize WRITE setBulbSize NOTIFY appearanceChanged)

public:
    static constexpr double kDefaultMaximum = 120;
    static constexpr QSize kDesignedSize{75, 230};

    explicit Thermometer(QWidget* parent = nullptr);

    QSize sizeHint() const override { return kDesignedSize; }

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
    QList<ColorBand> bands() const { return m_bands; }
    double bandPosition() const { return m_bandPosition; }
    double bandWidth() const { return m_bandWidth; }
    QColor columnColor() const { return m_columnColor; }
    QColor tubeColor() const { return m_tubeColor; }
    double columnWidth() const { return m_columnWidth; }
    double bulbSize() const { return m_bulbSize; }

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
    void setBands(const QList<ColorBand>& bands) { setFaceSetting(m_bands, bands); }
    void setBandPosition(double position) { setFaceSetting(m_bandPosition, position); }
    void setBandWidth(double width) { setFaceSetting(m_bandWidth, width); }
    // The column's colour also fills the bulb and the neck below the scale, on the face.
    void setColumnColor(const QColor& color) { setFaceSetting(m_columnColor, color); }
    void setTubeColor(const QColor& color) { setFaceSetting(m_tubeColor, color); }
    void setColumnWidth(double width) { setFaceSetting(m_columnWidth, width); }
    void setBulbSize(double size) { setFaceSetting(m_bulbSize, size); }

protected:
    void layOut() override;
    void paintFace(QPainter& painter) override;
    void faceRebuilt() override;
    void paintMovingPart(QPainter& painter) override;

private:
    double levelOf(double fraction) const;
    void paintGlint(QPainter& painter) const;

    int m_majorTickCount = 5;
    int m_minorTickCount = 2;
    QColor m_majorTickColor = Qt::white;
    double m_majorTickLength = 0.25;
    double m_majorTickThickness = 0.01;
    QColor m_minorTickColor = Qt::white;
    double m_minorTickLength = 0.15;
    double m_minorTickThickness = 0.005;
    bool m_numbersVisible = true;
    QColor m_numberColor = Qt::white;
    QFont m_numberFont = defaultFont();
    double m_numberSize = 0.1;
    QList<ColorBand> m_bands{{QColor::fromRgba(0xFF0000FF), 0.5},
                             {QColor::fromRgba(0xFF00FF7F), 0.27},
                             {QColor::fromRgba(0xFFFF0000), 0.23}};
    double m_bandPosition = 0.25;
    double m_bandWidth = 0.05;
    QColor m_columnColor = QColor::fromRgba(0xFF696969);
    QColor m_tubeColor = Qt::black;
    double m_columnWidth = 0.15;
    double m_bulbSize = 0.2;

    // Laid out from the size and the settings.
    double m_tubeX = 0;      // centre line of the tube
    double m_columnHalf = 0; // half the column's width
    double m_glassHalf = 0;  // half the glass tube's outer width
    double m_bulbRadius = 0;
    QPointF m_bulbCenter;
    double m_tubeTop = 0;
    double m_scaleTop = 0;
    double m_scaleBottom = 0;
    double m_tickFoot = 0;
    QBrush m_columnBrush;
    QRectF m_columnArea; // the column at the top of the scale, down into the neck
    QPixmap m_column;    // the face over m_columnArea with the full column on it
};
