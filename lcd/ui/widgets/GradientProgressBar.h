#pragma once
// A progress bar filled with colour bands from a start colour to an end colour, as the
// download dialog shows it. With the position strictly inside the range:
//   n = the largest difference of the two colours' red, green or blue (0: no bands);
//   band i spans x from trunc(i * w / n) to trunc((i + 1) * w / n), full height, in
//   trunc(start + i * (end - start) / n) per component;
//   bands are painted from the left until one ends beyond trunc(position / maximum * w);
//   that band is still painted and the rest is the background colour;
//   with the text on, "%.0f%%" of position * 100 / maximum, centred, in the text colour.
// At either end of the range (or outside it) the bar is the button-face colour alone.

#include <QColor>
#include <QProgressBar>

class GradientProgressBar : public QProgressBar {
    Q_OBJECT
public:
    explicit GradientProgressBar(QWidget* parent = nullptr);

    void setStartColour(const QColor& c) { m_start = c, update(); }
    void setEndColour(const QColor& c) { m_end = c, update(); }
    void setBackgroundColour(const QColor& c) { m_background = c, update(); }
    void setTextColour(const QColor& c) { m_text = c, update(); }
    void setShowText(bool show) { m_showText = show, update(); }
    void setStep(int step) { m_step = step; }
    // Adds the step to the position.
    void stepIt() { setValue(value() + m_step); }

    // "50%", or empty while the position is at an end of the range or the text is off.
    QString text() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool inside() const { return value() > minimum() && value() < maximum(); }

    QColor m_start{255, 0, 0};
    QColor m_end{0, 0, 255};
    QColor m_background;
    QColor m_text{255, 255, 255};
    bool m_showText = false;
    int m_step = 10;
};
