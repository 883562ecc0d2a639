#pragma once

#include "ui/instruments/ColorStop.h"
#include "ui/instruments/InstrumentWidget.h"

// A vertical bar of separate blocks filling upward from the bottom, set in a frame of the
// control colour. A lit block takes the colour its middle has on the colour stops, with a
// metal-look shading; an empty block shows the empty colour. Any value above the minimum lights
// at least one block, so a nearly empty tank still shows. The defaults are those of the
// instant-consumption bar (0 to 100, lime, orange and red).
//
// Block and gap sizes are fractions of the height; the border gap and the corner radius are
// fractions of the width (the border is as wide at the top and bottom as at the sides).
class SegmentedBar : public InstrumentWidget
{
    Q_OBJECT
    Q_PROPERTY(
        QList<ColorStop> colorStops READ colorStops WRITE setColorStops NOTIFY appearanceChanged)
    Q_PROPERTY(double stopBlend READ stopBlend WRITE setStopBlend NOTIFY appearanceChanged)
    Q_PROPERTY(double blockSize READ blockSize WRITE setBlockSize NOTIFY appearanceChanged)
    Q_PROPERTY(double blockGap READ blockGap WRITE setBlockGap NOTIFY appearanceChanged)
    Q_PROPERTY(QColor emptyBlockColor READ emptyBlockColor WRITE setEmptyBlockColor NOTIFY
                   appearanceChanged)
    Q_PROPERTY(QColor controlColor READ controlColor WRITE setControlColor NOTIFY appearanceChanged)
    Q_PROPERTY(double borderGap READ borderGap WRITE setBorderGap NOTIFY appearanceChanged)
    Q_PROPERTY(double cornerRadius READ cornerRadius WRITE setCornerRadius NOTIFY appearanceChanged)
    Q_PROPERTY(bool metallic READ metallic WRITE setMetallic NOTIFY appearanceChanged)

public:
    static constexpr double kDefaultMaximum = 100;
    static constexpr QSize kDesignedSize{25, 230};

    explicit SegmentedBar(QWidget* parent = nullptr);

    QSize sizeHint() const override { return kDesignedSize; }

    QList<ColorStop> colorStops() const { return m_colorStops; }
    double stopBlend() const { return m_stopBlend; }
    double blockSize() const { return m_blockSize; }
    double blockGap() const { return m_blockGap; }
    QColor emptyBlockColor() const { return m_emptyBlockColor; }
    QColor controlColor() const { return m_controlColor; }
    double borderGap() const { return m_borderGap; }
    double cornerRadius() const { return m_cornerRadius; }
    bool metallic() const { return m_metallic; }

    void setColorStops(const QList<ColorStop>& stops) { setFaceSetting(m_colorStops, stops); }
    // The length of a smooth change between two colours, as a fraction of the scale.
    void setStopBlend(double blend) { setFaceSetting(m_stopBlend, blend); }
    void setBlockSize(double size) { setFaceSetting(m_blockSize, size); }
    void setBlockGap(double gap) { setFaceSetting(m_blockGap, gap); }
    void setEmptyBlockColor(const QColor& color) { setFaceSetting(m_emptyBlockColor, color); }
    void setControlColor(const QColor& color) { setFaceSetting(m_controlColor, color); }
    void setBorderGap(double gap) { setFaceSetting(m_borderGap, gap); }
    void setCornerRadius(double radius) { setFaceSetting(m_cornerRadius, radius); }
    void setMetallic(bool metallic) { setFaceSetting(m_metallic, metallic); }

    // The blocks as laid out at the current size, counted from the bottom.
    int blockCount() const { return int(m_blocks.size()); }
    QRectF blockRect(int index) const { return m_blocks.value(index); }
    int litBlockCount() const;

protected:
    void layOut() override;
    void paintFace(QPainter& painter) override;
    void faceRebuilt() override;
    void paintMovingPart(QPainter& painter) override;

private:
    void paintBlocks(QPainter& painter, bool lit) const;

    QList<ColorStop> m_colorStops{{0.25, QColor::fromRgba(0xFF00FF00), false},
                                  {0.9, QColor::fromRgba(0xFFFFA500), false},
                                  {1.0, QColor::fromRgba(0xFFFF0000), false}};
    double m_stopBlend = 0.1;
    double m_blockSize = 0.03;
    double m_blockGap = 0.01;
    QColor m_emptyBlockColor = Qt::black;
    QColor m_controlColor = QColor::fromRgba(0xFFA9A9A9);
    double m_borderGap = 0.05;
    double m_cornerRadius = 0.05;
    bool m_metallic = true;

    // Laid out from the size and the settings, on whole device pixels.
    QRectF m_inner;
    QList<QRectF> m_blocks;
    QPixmap m_lit; // every block lit, over m_inner
};
