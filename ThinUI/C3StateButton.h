#pragma once
// An image button with normal, mouse-over, pressed and disabled frames. A
// click is posted to the dialog as a CommandEvent with the button's id. The
// keyboard reaches it with Tab (it then shows its mouse-over frame) and
// clicks it with Enter or Space; assistive technology sees a button named
// after its picture.

#include "ImageStrip.h"

#include <QWidget>
#include <memory>
#include <string>

namespace ThinUI {

class C3StateButton : public QWidget {
public:
    explicit C3StateButton(std::unique_ptr<ImageStrip> strip);
    ~C3StateButton() override;

    /// Places the button on dialog with its item id at (x, y); takes the size
    /// (cx, cy) when either is non-zero, otherwise the first paint sizes it
    /// to one frame. False without a dialog.
    bool Attach(QWidget* dialog, int controlId, int x, int y, int cx = 0, int cy = 0);
    /// Enables or disables the button; a disabled button shows frame 3 when
    /// its strip has one and otherwise keeps the frame it showed last.
    void SetEnabled(bool enabled);

    int GetControlId() const { return m_controlId; }
    bool IsHover() const { return m_hover; }
    bool IsPressed() const { return m_pressed; }
    const ImageStrip& GetStrip() const { return *m_strip; }
    /// The resource name of the strip's picture ("" for a picture that is
    /// not a resource).
    const std::string& GetPictureName() const { return m_pictureName; }
    /// Clicks the button as a released left button over it does.
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    /// The state to show: 3 disabled, 2 pressed over, 1 over, 0 otherwise.
    unsigned ChooseState() const;

    std::unique_ptr<ImageStrip> m_strip;
    std::string m_pictureName;
    int m_controlId = 0;
    bool m_hover = false;
    bool m_pressed = false;
    bool m_disabled = false;
};

} // namespace ThinUI
