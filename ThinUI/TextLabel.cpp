#include "TextLabel.h"

#include "Accessibility.h"
#include "Controls.h"
#include "StringSource.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <algorithm>

namespace ThinUI {

TextLabel::TextLabel(ColorRef textColor, ColorRef backgroundColor, bool underline, int weight, int height,
                     std::string faceName, unsigned stringId, unsigned style)
    : m_textColor(textColor), m_backgroundColor(backgroundColor), m_underline(underline), m_weight(weight),
      m_height(height), m_faceName(std::move(faceName)), m_stringId(stringId), m_style(style) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    SetAccessibleRole(*this, QAccessible::StaticText);
    BuildFont();
}

TextLabel::~TextLabel() = default;

void TextLabel::BuildFont() {
    m_font = QApplication::font();
    m_font.setUnderline(m_underline);
    if (m_weight > 0) {
        m_font.setWeight(static_cast<QFont::Weight>(std::clamp(m_weight, 1, 1000)));
    }
    if (!m_faceName.empty()) {
        m_font.setFamily(QString::fromStdString(m_faceName));
    }
    if (m_height > 0) {
        // The height is a line's cell height (ascent plus descent), as the
        // skins were laid out for; Qt sizes fonts by the em, so scale.
        m_font.setPixelSize(m_height);
        const int cell = QFontMetrics(m_font).height();
        if (cell > 0 && cell != m_height) {
            m_font.setPixelSize(std::max(1, (m_height * m_height + cell / 2) / cell));
        }
    }
    setFont(m_font);
}

bool TextLabel::Attach(QWidget* dialog, int controlId, int x, int y) {
    m_controlId = controlId;
    if (dialog == nullptr) {
        return false;
    }
    if (m_stringId != 0) {
        const std::optional<std::string> text = LoadText(m_stringId);
        if (!text) {
            return false;
        }
        PlaceControl(this, dialog, controlId, x, y);
        SetText(*text);
        return true;
    }
    PlaceControl(this, dialog, controlId, x, y);
    SizeToText();
    return true;
}

void TextLabel::SetText(const std::string& text) {
    m_text = QString::fromStdString(text);
    // A screen reader reads the label as the text it shows, on one line.
    setAccessibleName(m_text.simplified());
    SizeToText();
    if (parentWidget() != nullptr) {
        // A transparent label shows its parent: what was under the old text
        // must be painted again.
        parentWidget()->update();
    }
    update();
}

QSize TextLabel::TextSize() const {
    const qsizetype lineCount = m_text.count(u'\n') + 1;
    qsizetype longest = 0;
    for (const QStringView line : QStringView(m_text).split(u'\n')) {
        longest = std::max(longest, line.size());
    }
    // The width is measured on the leading characters of the whole text, line
    // ends included, not on the longest line: labels were laid out that way.
    QString leading = m_text.left(longest + 4);
    leading.replace(u'\n', u' ');
    const QFontMetrics metrics(m_font);
    return {metrics.horizontalAdvance(leading), metrics.height() * static_cast<int>(lineCount)};
}

void TextLabel::SizeToText() {
    const QSize size = TextSize();
    const QRect old = geometry();
    int x = old.x();
    int y = old.y();
    if ((m_style & Center) != 0) {
        x = old.x() + old.width() / 2 - size.width() / 2;
    } else if ((m_style & Right) != 0) {
        x = old.x() + old.width() - size.width();
    }
    if ((m_style & CenterImage) != 0) {
        y = old.y() + old.height() / 2 - size.height() / 2;
    }
    setGeometry(x, y, size.width(), size.height());
}

void TextLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_backgroundColor != kTransparent) {
        const QColor background =
            m_backgroundColor == 0 ? palette().color(QPalette::Button) : ToQColor(m_backgroundColor);
        painter.fillRect(rect(), background);
    }
    painter.setFont(m_font);
    painter.setPen(m_textColor == 0 ? palette().color(QPalette::ButtonText) : ToQColor(m_textColor));
    int flags = Qt::AlignTop;
    if ((m_style & Center) != 0) {
        flags = Qt::AlignHCenter;
    } else if ((m_style & Right) != 0) {
        flags = Qt::AlignRight;
    } else {
        flags = Qt::AlignLeft;
    }
    flags |= (m_style & CenterImage) != 0 ? Qt::AlignVCenter : Qt::AlignTop;
    painter.drawText(rect(), flags, m_text);
}

void TextLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        update();
    }
    QWidget::changeEvent(event);
}

} // namespace ThinUI
