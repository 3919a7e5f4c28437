#pragma once
// The base of every popup: a modal dialog over the frame's top-left corner,
// cut to a rounded box by "BACKGROUND_POPUP_MASK", filled with flat purple,
// with a header picture, a close button and its command buttons. It ends
// with 1 (confirmed) or 2 (closed or cancelled). Enter presses the focused
// button, or else the popup's main button; Escape presses the close button.

#include "ThinUI/C3StateButton.h"
#include "ThinUI/StaticImage.h"
#include "ThinUI/TextLabel.h"

#include <QDialog>
#include <string>
#include <vector>

namespace Glm {

class Glimmeries;
class MainFrame;

class SkinnedPopup : public QDialog {
public:
    static constexpr int kConfirm = 1;
    static constexpr int kCancel = 2;
    static constexpr ThinUI::ColorRef kBodyColor = 0xA05EA1;

    SkinnedPopup(Glimmeries& application, MainFrame& frame, int dialogId);
    ~SkinnedPopup() override;

    /// Builds the controls anew, shapes the window and runs it modally over
    /// the frame. Returns the ending result.
    int DoModal();
    /// Ends the modal run with result.
    void EndDialog(int result);

    int GetDialogId() const { return m_dialogId; }
    /// The button Enter presses when no button has the focus: the first
    /// command button in reading order that does more than close the popup.
    ThinUI::C3StateButton* GetMainButton() const;
    /// The button Escape presses: the close box, else a Cancel or No-thanks
    /// button; null when the popup has none (Escape then ends it with 2).
    ThinUI::C3StateButton* GetCloseButton() const;

    ThinUI::C3StateButton* AddButton(const std::string& pictureName, unsigned frames, int controlId, int x,
                                     int y);
    ThinUI::StaticImage* AddStaticImage(const std::string& pictureName, int controlId, int x, int y);
    /// A white, bold, transparent "arial" label of height 14.
    ThinUI::TextLabel* AddBodyLabel(int controlId, int x, int y, unsigned stringId = 0);

protected:
    /// Creates the controls of one run.
    virtual void OnInitDialog() = 0;
    virtual void OnCommand(int controlId);
    /// The popup has just been shown (its sound, its page report).
    virtual void OnShown() {}

    Glimmeries& GetApplication() { return m_application; }
    MainFrame& GetFrame() { return m_frame; }

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    /// The popup inside the frame: runs modally with the frame's pages
    /// disabled beneath it.
    int RunInsideFrame();
    std::vector<ThinUI::C3StateButton*> ButtonsInReadingOrder() const;

    Glimmeries& m_application;
    MainFrame& m_frame;
    int m_dialogId;
};

} // namespace Glm
