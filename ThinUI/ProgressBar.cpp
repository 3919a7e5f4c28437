#include "ProgressBar.h"

#include "Controls.h"

#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QTimerEvent>

namespace ThinUI {

namespace {

int Lighter(int channel) {
    return channel + 51 > 255 ? channel : channel + 51;
}
int Darker(int channel) {
    return channel < 51 ? channel : channel - 51;
}
QColor Step(const QColor& color, int (*step)(int)) {
    return QColor(step(color.red()), step(color.green()), step(color.blue()));
}
ColorRef FromQColor(const QColor& color) {
    return Rgb(color.red(), color.green(), color.blue());
}

} // namespace

ProgressBar::ProgressBar() : m_baseColor(FromQColor(QPalette().color(QPalette::Highlight))) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetBaseColor(m_baseColor);
}

ProgressBar::~ProgressBar() = default;

bool ProgressBar::Attach(QWidget* dialog, int controlId, int x, int y, int cx, int cy) {
    if (!PlaceControl(this, dialog, controlId, x, y)) {
        return false;
    }
    resize(cx, cy);
    return true;
}

ProgressBar::Palette ProgressBar::DerivePalette(ColorRef base, QColor darkShadow, QColor buttonShadow) {
    Palette palette;
    const QColor color = ToQColor(base);
    palette[Light1] = Step(color, Lighter);
    palette[Light2] = Step(palette[Light1], Lighter);
    palette[Light3] = Step(palette[Light2], Lighter);
    palette[Dark1] = Step(color, Darker);
    palette[Dark2] = Step(palette[Dark1], Darker);
    palette[DarkShadow] = darkShadow;
    palette[ButtonShadow] = buttonShadow;
    palette[ShadowMean] =
        QColor((darkShadow.red() + buttonShadow.red()) / 2, (darkShadow.green() + buttonShadow.green()) / 2,
               (darkShadow.blue() + buttonShadow.blue()) / 2);
    return palette;
}

void ProgressBar::SetBaseColor(ColorRef color) {
    m_baseColor = color;
    const QPalette system;
    m_palette = DerivePalette(color, system.color(QPalette::Shadow), system.color(QPalette::Dark));
    update();
}

void ProgressBar::SetBackgroundColor(ColorRef color) {
    m_backgroundColor = color;
    update();
}

void ProgressBar::SetRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
    update();
}

void ProgressBar::SetPosition(int position) {
    m_position = position;
    update();
}

void ProgressBar::SetVertical(bool vertical) {
    m_vertical = vertical;
    update();
}

void ProgressBar::StartMarquee() {
    m_marquee = true;
    m_phase = 0;
    m_marqueeTimer.start(kMarqueePeriodMs, this);
    update();
}

void ProgressBar::StopMarquee() {
    m_marquee = false;
    m_marqueeTimer.stop();
    update();
}

void ProgressBar::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_marqueeTimer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    m_phase = (m_phase + 1) % kMarqueePhases;
    update();
}

void ProgressBar::paintEvent(QPaintEvent*) {
    // Painted off-screen first so the stripes never flicker.
    QPixmap buffer(size());
    QPainter painter(&buffer);
    painter.fillRect(rect(), ToQColor(m_backgroundColor));
    const int width = this->width();
    const int height = this->height();
    if (m_marquee) {
        painter.fillRect(rect(), m_palette[Light3]);
        painter.setPen(QPen(ToQColor(m_baseColor), 4));
        for (int x = -height - kMarqueePhases + m_phase; x < width + height; x += kMarqueePhases) {
            painter.drawLine(x, height, x + height, 0);
        }
        painter.setPen(m_palette[Dark1]);
        painter.drawRect(0, 0, width - 1, height - 1);
    } else if (m_maximum > m_minimum) {
        const int span = m_maximum - m_minimum;
        const int clamped = std::clamp(m_position, m_minimum, m_maximum) - m_minimum;
        QRect filled;
        if (m_vertical) {
            const int extent = clamped * height / span;
            filled = QRect(0, height - extent, width, extent);
        } else {
            filled = QRect(0, 0, clamped * width / span, height);
        }
        if (!filled.isEmpty()) {
            painter.fillRect(filled, m_palette[Light3]);
            painter.setPen(m_palette[Light1]);
            painter.drawLine(filled.topLeft(), filled.topRight());
            painter.drawLine(filled.topLeft(), filled.bottomLeft());
            painter.setPen(m_palette[Dark1]);
            painter.drawLine(filled.bottomLeft(), filled.bottomRight());
            painter.drawLine(filled.topRight(), filled.bottomRight());
        }
    }
    painter.end();
    QPainter(this).drawPixmap(0, 0, buffer);
}

} // namespace ThinUI
