#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

#include <functional>

// Common ground of the painted instruments: a value held clamped to a scale, a background
// colour, and the two-layer painting every instrument uses. The static face (scale, ticks,
// bands, numbers) is rendered once into a pixmap at the device pixel ratio and blitted; only
// the moving part (needle, column, fill, pointer) is painted on every frame. The face is
// dropped when the size, the range, a face setting or the style changes.
//
// The moving parts keep to what the raster engine does fast: pixmap blits and opaque solid
// shapes. Gradient and translucent fills over more than a few dozen rows take its slow
// span-blending path (handed to a thread pool, tens of microseconds each), so such artwork is
// rendered into a layer with the face and blitted.
//
// Lengths in the settings are fractions of the instrument's own size; each instrument says of
// which dimension.
class InstrumentWidget : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(double minimum READ minimum WRITE setMinimum NOTIFY rangeChanged)
    Q_PROPERTY(double maximum READ maximum WRITE setMaximum NOTIFY rangeChanged)
    Q_PROPERTY(QColor backgroundColor READ backgroundColor WRITE setBackgroundColor NOTIFY
                   appearanceChanged)

public:
    double value() const { return m_value; }
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    QColor backgroundColor() const { return m_backgroundColor; }

    // A reversed range is put in order; a range with a bound that is not finite is ignored.
    // The value is clamped to the new range.
    void setRange(double minimum, double maximum);
    void setMinimum(double minimum);
    void setMaximum(double maximum);
    void setBackgroundColor(const QColor& color);

    // Bold sans-serif: the classic UI face where it exists, else one of the same metrics with
    // Cyrillic (Liberation Sans, Arimo, Nimbus Sans), else DejaVu Sans.
    static QFont defaultFont();

    // The numbers of `count` evenly spaced major ticks from minimum to maximum, all with the
    // fewest decimals (at most three) that show every one of them exactly.
    static QStringList scaleLabels(double minimum, double maximum, int count);
    // Visits the minor ticks between the major ones, then the major ticks, each with its
    // place on the scale (0 at the minimum, 1 at the maximum).
    static void forEachTick(int majors, int minors,
                            const std::function<void(double fraction, bool major)>& visit);

public Q_SLOTS:
    // Stores the value clamped to the scale; NaN stores the minimum.
    void setValue(double value);

Q_SIGNALS:
    void valueChanged(double value);
    void rangeChanged(double minimum, double maximum);
    void appearanceChanged();

protected:
    InstrumentWidget(double minimum, double maximum, const QColor& background, QWidget* parent);

    // Where a value stands on the scale: 0 at the minimum, 1 at the maximum.
    double fractionOf(double value) const;
    double valueFraction() const { return fractionOf(m_value); }

    // For setters of settings drawn on the face: stores, re-lays out and drops the face.
    template <typename T> void setFaceSetting(T& member, const T& value)
    {
        if (member == value)
            return;
        member = value;
        faceChanged();
    }
    // For settings of the moving part: stores and repaints.
    template <typename T> void setLiveSetting(T& member, const T& value)
    {
        if (member == value)
            return;
        member = value;
        layOut();
        update();
        Q_EMIT appearanceChanged();
    }
    void faceChanged();

    // Geometry from the size and the settings, run on resize and on every setting change, so
    // that paintFace and paintMovingPart only draw.
    virtual void layOut() {}
    // The static face, on the background already filled in.
    virtual void paintFace(QPainter& painter) = 0;
    // After the face: further cached layers an instrument keeps (renderLayer).
    virtual void faceRebuilt() {}
    // The live part, antialiased, in widget coordinates over the face.
    virtual void paintMovingPart(QPainter& painter) = 0;

    // A pixmap of `area` at the widget's device pixel ratio, painted by `paint` in widget
    // coordinates over `fill`. An opaque fill gives a pixmap without alpha, which blits as a
    // plain copy.
    QPixmap renderLayer(const QRectF& area, const std::function<void(QPainter&)>& paint,
                        const QColor& fill = Qt::transparent) const;

    // The cached face, for layers that start from a piece of it.
    const QPixmap& face() const { return m_face; }
    // A copy of `font` at a pixel size of `fraction` × `reference`, at least one pixel.
    static QFont scaledFont(const QFont& font, double fraction, double reference);
    // The baseline origin that centres the digits of `text` (their cap height) on anchor's y,
    // and the text on anchor's x, or starts it there when not `centred`.
    static QPointF textOrigin(const QFontMetricsF& metrics, const QString& text,
                              const QPointF& anchor, bool centred);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void rebuildFace();

    double m_minimum;
    double m_maximum;
    double m_value;
    QColor m_backgroundColor;
    QPixmap m_face;
    QSize m_faceSize; // the size the face was rendered for
    bool m_faceValid = false;
};
