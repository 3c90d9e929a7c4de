#include "ui/widgets/GradientProgressBar.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

GradientProgressBar::GradientProgressBar(QWidget* parent)
    : QProgressBar(parent), m_background(palette().color(QPalette::Button)) {
    setRange(0, 100);
    setValue(0);
}

QString GradientProgressBar::text() const {
    if (!m_showText || !inside() || maximum() == 0) return {};
    return QString::asprintf("%.0f%%", value() * 100.0 / maximum());
}

void GradientProgressBar::paintEvent(QPaintEvent*) {
    const int w = width(), h = height();
    // Painted off screen first and copied whole, so the bar never flickers.
    QImage image(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
    if (!inside()) {
        image.fill(palette().color(QPalette::Button));
    } else {
        image.fill(m_background);
        QPainter p(&image);
        const int dr = m_end.red() - m_start.red();
        const int dg = m_end.green() - m_start.green();
        const int db = m_end.blue() - m_start.blue();
        const int n = std::max({std::abs(dr), std::abs(dg), std::abs(db)});
        if (n > 0) {
            const double band = double(w) / n;
            const int filled = int(double(value()) / maximum() * w);
            for (int i = 0; i < n; ++i) {
                const int x0 = int(i * band), x1 = int((i + 1) * band);
                const auto mix = [i, n](int from, int d) { return int(from + double(i) * d / n); };
                p.fillRect(x0, 0, x1 - x0, h,
                           QColor(mix(m_start.red(), dr), mix(m_start.green(), dg),
                                  mix(m_start.blue(), db)));
                if (x1 > filled) break;  // the rest keeps the background
            }
        }
        if (m_showText) {
            p.setPen(m_text);
            p.setFont(font());
            p.drawText(image.rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
        }
    }
    QPainter(this).drawImage(0, 0, image);
}
