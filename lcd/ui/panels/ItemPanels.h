#pragma once
// The item property panels: each shows the selected item's coordinates, sizes and colour
// and writes every edit straight back into the item (on each keystroke, not on leaving the
// box). Controls are named by their resource numbers (objectName "10100"), so a caller can
// find them. A run of edits in one control is one undo step.

#include <QWidget>
#include <functional>
#include <optional>

#include "base/Colour.h"

class CItemBase;
class PropertyPanels;
class QButtonGroup;
class QComboBox;
class QFormLayout;
class QLineEdit;
class QPushButton;
class QSpinBox;
class ColourSwatch;

class ItemPanel : public QWidget {
    Q_OBJECT
public:
    explicit ItemPanel(PropertyPanels& owner, QWidget* parent = nullptr);
    // Reads the selected item into the controls (nothing without one).
    virtual void refresh() = 0;

protected:
    using Apply = std::function<void(CItemBase&, int32_t)>;
    CItemBase* item() const;
    // One edit of control `id` on the selected item, as one step of its undo run.
    void editItem(int id, const std::function<void(CItemBase&)>& change);
    // An edit box named by its control number.
    QLineEdit* plainBox(int id);
    // A number box; a typed number goes to `apply`, other text changes nothing.
    QLineEdit* numberBox(int id, Apply apply);
    // A number box with its spin buttons; with `zeroIsNoValue` a "0" is not applied.
    QSpinBox* spinBox(int id, int min, int max, Apply apply, bool zeroIsNoValue = false);
    // The value of a number box, if it holds a number.
    std::optional<int32_t> valueOf(int id) const;
    // Shows a value without it counting as an edit.
    void display(int id, int32_t value);
    // "起点" / "终点" style group of two boxes.
    QFormLayout* group(QFormLayout* into, const QString& title);
    // The "圆心" group (boxes 10101, 10153); either box moves the centre to both values.
    void centreGroup(QFormLayout* into, std::function<void(CItemBase&, int32_t, int32_t)> move);
    // The colour swatch 1018, "..." 1019 and the code box 1020; "..." and a typed code
    // colour the selection through the page's SetColour.
    void colourRow(QFormLayout* form, const QString& label);
    void showColour(const CItemBase& item);
    // The widgets' note: the module receives them as one line.
    void lineNote(QFormLayout* form);

    PropertyPanels& m_owner;
    ColourSwatch* m_swatch = nullptr;
    QLineEdit* m_code = nullptr;
    QPushButton* m_more = nullptr;
};

class TwoPointPanel : public ItemPanel {
    Q_OBJECT
public:
    explicit TwoPointPanel(PropertyPanels& owner, QWidget* parent = nullptr);
    void refresh() override;

protected:
    // The control numbers of x1, y1, x2, y2 (the line panel has its own).
    TwoPointPanel(PropertyPanels& owner, const int (&ids)[4], const QString& colourLabel,
                  QWidget* parent);

private:
    int m_ids[4];
};

class LinePanel : public TwoPointPanel {
    Q_OBJECT
public:
    explicit LinePanel(PropertyPanels& owner, QWidget* parent = nullptr);
};

class CirclePanel : public ItemPanel {
    Q_OBJECT
public:
    explicit CirclePanel(PropertyPanels& owner, QWidget* parent = nullptr);
    void refresh() override;
};

class ArcPanel : public ItemPanel {
    Q_OBJECT
public:
    explicit ArcPanel(PropertyPanels& owner, QWidget* parent = nullptr);
    void refresh() override;
};

class TextPanel : public ItemPanel {
    Q_OBJECT
public:
    explicit TextPanel(PropertyPanels& owner, QWidget* parent = nullptr);
    void refresh() override;
};

class NumberPanel : public ItemPanel {
    Q_OBJECT
public:
    explicit NumberPanel(PropertyPanels& owner, QWidget* parent = nullptr);
    void refresh() override;

private:
    void pickColour(bool fore);

    QComboBox* m_font;
    QButtonGroup* m_sign;
    QButtonGroup* m_align;
    ColourSwatch* m_foreSwatch;
    ColourSwatch* m_backSwatch;
    QLineEdit* m_foreCode;
    QLineEdit* m_backCode;
};

// The animation widget's value and its box; the interval and "增加图片" stay on the panel
// (no behaviour of the widget is designed yet, so they do not reach the item).
class AnimationPanel : public ItemPanel {
    Q_OBJECT
public:
    explicit AnimationPanel(PropertyPanels& owner, QWidget* parent = nullptr);
    void refresh() override;
};
