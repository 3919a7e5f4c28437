#pragma once
// A text on a dialog in its own font and colours, sized to its text.

#include "Colors.h"

#include <QFont>
#include <QWidget>
#include <string>

namespace ThinUI {

class TextLabel : public QWidget {
public:
    /// Placement of the label when it is resized to its text.
    enum Style : unsigned {
        Left = 0,
        Center = 1,      // keeps the horizontal centre
        Right = 2,       // keeps the right edge
        CenterImage = 4, // keeps the vertical centre (otherwise the top)
    };

    /// textColor 0 means the system button-text colour, backgroundColor 0 the
    /// button-face colour and kTransparent no background. height is the cell
    /// height of a line in pixels; stringId 0 means no string-table text.
    TextLabel(ColorRef textColor, ColorRef backgroundColor, bool underline, int weight, int height,
              std::string faceName, unsigned stringId = 0, unsigned style = Left);
    ~TextLabel() override;

    /// Places the label on dialog with its item id at (x, y), builds its font
    /// and, with a string id, sets that text. False without a dialog, or when
    /// the string id is absent from the string table: the label then keeps
    /// the position and size it had.
    bool Attach(QWidget* dialog, int controlId, int x, int y);
    /// Sets the text, resizes the label to it and repaints what lies beneath.
    void SetText(const std::string& text);

    const QString& GetText() const { return m_text; }
    int GetControlId() const { return m_controlId; }
    const QFont& GetFont() const { return m_font; }
    /// The client size the text needs: the width of the first (longest line
    /// + 4) characters of the whole text, and one line height per line.
    QSize TextSize() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildFont();
    void SizeToText();

    ColorRef m_textColor;
    ColorRef m_backgroundColor;
    bool m_underline;
    int m_weight;
    int m_height;
    std::string m_faceName;
    unsigned m_stringId;
    unsigned m_style;
    int m_controlId = 0;
    QFont m_font;
    QString m_text;
};

} // namespace ThinUI
