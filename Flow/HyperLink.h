#pragma once
// A text link on a screen: drawn in its own font and underlined, in its link
// colour until it has been followed, its visited colour afterwards and its
// hover colour while the pointer is over it (or the keyboard's focus is on
// it). A click, Enter or Space posts the screen a command with the link's
// item id, as a button does; screen readers see a link named by its text.

#include "ThinUI/Colors.h"

#include <QFont>
#include <QString>
#include <QWidget>

namespace Glm {

class HyperLink : public QWidget {
public:
    // The colours a link takes unless its screen gives its own.
    static constexpr ThinUI::ColorRef kDefaultLinkColor = ThinUI::Rgb(0, 0, 255);
    static constexpr ThinUI::ColorRef kDefaultVisitedColor = ThinUI::Rgb(128, 0, 128);
    static constexpr ThinUI::ColorRef kDefaultHoverColor = ThinUI::Rgb(255, 0, 0);

    explicit HyperLink(const QString& text);

    /// The links' font: the face "arial" with the weight, scaled so that a
    /// line's cell (ascent plus descent) is cellHeight pixels, as the
    /// screens' label heights are meant.
    static QFont MakeFont(int cellHeight, QFont::Weight weight);
    ~HyperLink() override;

    /// Places the link on dialog with its item id at (x, y). A zero size
    /// keeps the size the link's text needs in its font at that moment.
    bool Attach(QWidget* dialog, int controlId, int x, int y, int cx = 0, int cy = 0);
    void SetLinkFont(const QFont& font);
    /// The three colour slots: link, visited, hover.
    void SetColors(ThinUI::ColorRef link, ThinUI::ColorRef visited, ThinUI::ColorRef hover);
    void SetText(const QString& text);

    const QString& GetText() const { return m_text; }
    int GetControlId() const { return m_controlId; }
    const QFont& GetFont() const { return m_font; }
    ThinUI::ColorRef GetLinkColor() const { return m_link; }
    ThinUI::ColorRef GetVisitedColor() const { return m_visited; }
    ThinUI::ColorRef GetHoverColor() const { return m_hover; }
    bool IsVisited() const { return m_wasVisited; }
    /// The size the text needs in the link's font.
    QSize TextSize() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    /// Follows the link: it takes its visited colour and the screen gets
    /// its command.
    void Follow();

    QString m_text;
    QFont m_font;
    ThinUI::ColorRef m_link = kDefaultLinkColor;
    ThinUI::ColorRef m_visited = kDefaultVisitedColor;
    ThinUI::ColorRef m_hover = kDefaultHoverColor;
    int m_controlId = 0;
    bool m_pressed = false;
    bool m_hovering = false;
    bool m_wasVisited = false;
};

} // namespace Glm
