#pragma once

#include <QGroupBox>
#include <QList>

class QRadioButton;

// A group box drawn the same under every style: a black area of its own with a thin grey
// frame and its caption in white at the top left. Its controls are placed by hand.
class GroupBox : public QGroupBox
{
    Q_OBJECT

public:
    GroupBox(const QString& title, const QFont& font, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A radio group: the items as radio buttons in columns, filled column by column, sharing
// the group's height below the caption. A click of the user on an item reports it;
// setSelected() is the program's own change and reports nothing.
class RadioGroup : public GroupBox
{
    Q_OBJECT

public:
    RadioGroup(const QString& title, const QStringList& items, int columns, const QFont& font,
               const QRect& geometry, QWidget* parent = nullptr);

    int selected() const;
    void setSelected(int index);
    QRadioButton* button(int index) const { return m_buttons.value(index); }
    int count() const { return int(m_buttons.size()); }

Q_SIGNALS:
    void itemClicked(int index);

private:
    QList<QRadioButton*> m_buttons;
};
