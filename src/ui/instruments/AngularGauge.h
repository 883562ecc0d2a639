#pragma once

#include "ui/instruments/ColorBand.h"
#include "ui/instruments/InstrumentWidget.h"

#include <QPointF>
#include <QStaticText>

// A round dial: the scale runs clockwise from the lower left over the top to the lower right,
// leaving its gap at the bottom, with ticks, numbered major ticks, coloured bands outside the
// scale ring, a needle with a tail, a two-disc hub and a caption text that is independent of
// the value. The defaults are those of the engine-speed dial (0 to 7000 rpm).
//
// Every length is a fraction of the dial's radius (half the smaller side): radii, tick and
// needle lengths and widths, the hub discs' radii, font pixel sizes, and the caption's offset
// from the centre (x to the right, y downwards).
class AngularGauge : public InstrumentWidget
{
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption NOTIFY captionChanged)
    Q_PROPERTY(QColor captionColor READ captionColor WRITE setCaptionColor NOTIFY appearanceChanged)
    Q_PROPERTY(QFont captionFont READ captionFont WRITE setCaptionFont NOTIFY appearanceChanged)
    Q_PROPERTY(double captionSize READ captionSize WRITE setCaptionSize NOTIFY appearanceChanged)
    Q_PROPERTY(QPointF captionPosition READ captionPosition WRITE setCaptionPosition NOTIFY
                   appearanceChanged)
    Q_PROPERTY(double sweepAngle READ sweepAngle WRITE setSweepAngle NOTIFY appearanceChanged)
    Q_PROPERTY(double scaleRadius READ scaleRadius WRITE setScaleRadius NOTIFY appearanceChanged)
    Q_PROPERTY(QColor scaleColor READ scaleColor WRITE setScaleColor NOTIFY appearanceChanged)
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
    Q_PROPERTY(double numberRadius READ numberRadius WRITE setNumberRadius NOTIFY appearanceChanged)
    Q_PROPERTY(QList<ColorBand> bands READ bands WRITE setBands NOTIFY appearanceChanged)
    Q_PROPERTY(double bandOffset READ bandOffset WRITE setBandOffset NOTIFY appearanceChanged)
    Q_PROPERTY(double bandWidth READ bandWidth WRITE setBandWidth NOTIFY appearanceChanged)
    Q_PROPERTY(QColor needleColor READ needleColor WRITE setNeedleColor NOTIFY appearanceChanged)
    Q_PROPERTY(double needleLength READ needleLength WRITE setNeedleLength NOTIFY appearanceChanged)
    Q_PROPERTY(double needleTailLength READ needleTailLength WRITE setNeedleTailLength NOTIFY
                   appearanceChanged)
    Q_PROPERTY(
        double needleTipWidth READ needleTipWidth WRITE setNeedleTipWidth NOTIFY appearanceChanged)
    Q_PROPERTY(double needleTailWidth READ needleTailWidth WRITE setNeedleTailWidth NOTIFY
                   appearanceChanged)
    Q_PROPERTY(double needleTailIndent READ needleTailIndent WRITE setNeedleTailIndent NOTIFY
                   appearanceChanged)
    Q_PROPERTY(QColor hubColor READ hubColor WRITE setHubColor NOTIFY appearanceChanged)
    Q_PROPERTY(double hubSize READ hubSize WRITE setHubSize NOTIFY appearanceChanged)
    Q_PROPERTY(QColor hubCapColor READ hubCapColor WRITE setHubCapColor NOTIFY appearanceChanged)
    Q_PROPERTY(double hubCapSize READ hubCapSize WRITE setHubCapSize NOTIFY appearanceChanged)

public:
    static constexpr double kDefaultMaximum = 7000;
    static constexpr QSize kDesignedSize{215, 215};
    static constexpr QRgb kCardColor = 0xFF404040;

    explicit AngularGauge(QWidget* parent = nullptr);

    QSize sizeHint() const override { return kDesignedSize; }

    QString caption() const { return m_caption; }
    QColor captionColor() const { return m_captionColor; }
    QFont captionFont() const { return m_captionFont; }
    double captionSize() const { return m_captionSize; }
    QPointF captionPosition() const { return m_captionPosition; }
    double sweepAngle() const { return m_sweepAngle; }
    double scaleRadius() const { return m_scaleRadius; }
    QColor scaleColor() const { return m_scaleColor; }
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
    double numberRadius() const { return m_numberRadius; }
    QList<ColorBand> bands() const { return m_bands; }
    double bandOffset() const { return m_bandOffset; }
    double bandWidth() const { return m_bandWidth; }
    QColor needleColor() const { return m_needleColor; }
    double needleLength() const { return m_needleLength; }
    double needleTailLength() const { return m_needleTailLength; }
    double needleTipWidth() const { return m_needleTipWidth; }
    double needleTailWidth() const { return m_needleTailWidth; }
    double needleTailIndent() const { return m_needleTailIndent; }
    QColor hubColor() const { return m_hubColor; }
    double hubSize() const { return m_hubSize; }
    QColor hubCapColor() const { return m_hubCapColor; }
    double hubCapSize() const { return m_hubCapSize; }

    void setCaptionColor(const QColor& color) { setLiveSetting(m_captionColor, color); }
    void setCaptionFont(const QFont& font) { setLiveSetting(m_captionFont, font); }
    void setCaptionSize(double size) { setLiveSetting(m_captionSize, size); }
    void setCaptionPosition(const QPointF& position)
    {
        setLiveSetting(m_captionPosition, position);
    }
    void setSweepAngle(double degrees) { setFaceSetting(m_sweepAngle, degrees); }
    void setScaleRadius(double radius) { setFaceSetting(m_scaleRadius, radius); }
    void setScaleColor(const QColor& color) { setFaceSetting(m_scaleColor, color); }
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
    void setNumberRadius(double radius) { setFaceSetting(m_numberRadius, radius); }
    void setBands(const QList<ColorBand>& bands) { setFaceSetting(m_bands, bands); }
    void setBandOffset(double offset) { setFaceSetting(m_bandOffset, offset); }
    void setBandWidth(double width) { setFaceSetting(m_bandWidth, width); }
    void setNeedleColor(const QColor& color) { setLiveSetting(m_needleColor, color); }
    void setNeedleLength(double length) { setLiveSetting(m_needleLength, length); }
    void setNeedleTailLength(double length) { setLiveSetting(m_needleTailLength, length); }
    void setNeedleTipWidth(double width) { setLiveSetting(m_needleTipWidth, width); }
    void setNeedleTailWidth(double width) { setLiveSetting(m_needleTailWidth, width); }
    void setNeedleTailIndent(double indent) { setLiveSetting(m_needleTailIndent, indent); }
    // The hub is drawn over the needle but never moves, so it is cached with the face.
    void setHubColor(const QColor& color) { setFaceSetting(m_hubColor, color); }
    void setHubSize(double size) { setFaceSetting(m_hubSize, size); }
    void setHubCapColor(const QColor& color) { setFaceSetting(m_hubCapColor, color); }
    void setHubCapSize(double size) { setFaceSetting(m_hubCapSize, size); }

    // The angle of a value, in degrees clockwise from twelve o'clock (negative to the left).
    double angleOf(double value) const;

public Q_SLOTS:
    void setCaption(const QString& caption);

Q_SIGNALS:
    void captionChanged(const QString& caption);

protected:
    void layOut() override;
    void paintFace(QPainter& painter) override;
    void faceRebuilt() override;
    void paintMovingPart(QPainter& painter) override;

private:
    QPointF pointAt(double radius, double degrees) const;
    void layOutCaption();
    void paintHub(QPainter& painter) const;

    QString m_caption = QStringLiteral("0");
    QColor m_captionColor = Qt::white;
    QFont m_captionFont = defaultFont();
    double m_captionSize = 0.2;
    QPointF m_captionPosition{0, 0.7};
    double m_sweepAngle = 270;
    double m_scaleRadius = 0.9;
    QColor m_scaleColor = Qt::white;
    int m_majorTickCount = 8;
    int m_minorTickCount = 1;
    QColor m_majorTickColor = Qt::white;
    double m_majorTickLength = 0.05;
    double m_majorTickThickness = 0.02;
    QColor m_minorTickColor = Qt::white;
    double m_minorTickLength = 0.02;
    double m_minorTickThickness = 0.01;
    bool m_numbersVisible = true;
    QColor m_numberColor = Qt::white;
    QFont m_numberFont = defaultFont();
    double m_numberSize = 0.09;
    double m_numberRadius = 0.75;
    QList<ColorBand> m_bands{{QColor::fromRgba(0xFF008000), 0.85},
                             {QColor::fromRgba(0xFFFF0000), 0.3}};
    double m_bandOffset = 0.01;
    double m_bandWidth = 0.05;
    QColor m_needleColor{0xFF, 0x45, 0x00};
    double m_needleLength = 0.78;
    double m_needleTailLength = 0.4;
    double m_needleTipWidth = 0.04;
    double m_needleTailWidth = 0.07;
    double m_needleTailIndent = 0.07;
    QColor m_hubColor{0x80, 0x80, 0x80, 100};
    double m_hubSize = 0.2;
    QColor m_hubCapColor = QColor::fromRgba(0xFF708090);
    double m_hubCapSize = 0.143;

    // Laid out from the size and the settings.
    QPointF m_center;
    double m_radius = 0;
    QColor m_shadowColor;
    QRectF m_hubRect;
    QPixmap m_hub;
    QStaticText m_captionText;
    QFont m_captionPixelFont;
    QPointF m_captionOrigin;
};
