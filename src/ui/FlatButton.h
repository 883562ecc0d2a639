#pragma once

#include <QAbstractButton>

// A flat button: only its caption until the pointer is over it, then a thin frame; pressed,
// it lights up a little. It has no background of its own, so it takes the look of whatever
// it lies on (a card or the black page).
class FlatButton : public QAbstractButton
{
    Q_OBJECT

public:
    FlatButton(const QString& text, const QFont& font, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};
