#pragma once
// A bevelled progress bar drawn from a palette derived from one base colour,
// with a marquee mode that runs diagonal stripes while the end is unknown.

#include "Colors.h"

#include <QBasicTimer>
#include <QColor>
#include <QWidget>
#include <array>

namespace ThinUI {

class ProgressBar : public QWidget {
public:
    static constexpr int kMarqueePeriodMs = 25;
    static constexpr int kMarqueePhases = 16;

    /// Palette entries: three successively lighter tones, two successively
    /// darker ones, the dark-shadow and button-shadow colours, their mean.
    enum PaletteEntry {
        Light1,
        Light2,
        Light3,
        Dark1,
        Dark2,
        DarkShadow,
        ButtonShadow,
        ShadowMean,
        PaletteSize
    };
    using Palette = std::array<QColor, PaletteSize>;

    ProgressBar();
    ~ProgressBar() override;

    /// Places the bar on dialog with its item id at (x, y) sized cx by cy.
    bool Attach(QWidget* dialog, int controlId, int x, int y, int cx, int cy);

    void SetBaseColor(ColorRef color);
    void SetBackgroundColor(ColorRef color);
    void SetRange(int minimum, int maximum);
    void SetPosition(int position);
    void SetVertical(bool vertical);
    void StartMarquee();
    void StopMarquee();

    bool IsMarquee() const { return m_marquee; }
    int GetPhase() const { return m_phase; }
    int GetPosition() const { return m_position; }
    const Palette& GetPalette() const { return m_palette; }

    /// The palette for a base colour (lighter: +51 per channel, a channel
    /// that would pass 255 keeps its value; darker: -51, a channel below 51
    /// keeps its value).
    static Palette DerivePalette(ColorRef base, QColor darkShadow, QColor buttonShadow);

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    ColorRef m_baseColor;
    ColorRef m_backgroundColor = 0;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
    bool m_vertical = false;
    bool m_marquee = false;
    int m_phase = 0;
    QBasicTimer m_marqueeTimer;
    Palette m_palette;
};

} // namespace ThinUI
