#pragma once
// The base of every screen: a child page of the frame painted with its
// 750 by 500 background, carrying image controls at pixel positions. A press
// on the background drags the whole frame.

#include "ThinUI/C3StateButton.h"
#include "ThinUI/Image.h"
#include "ThinUI/StaticImage.h"
#include "ThinUI/TextLabel.h"

#include <QWidget>
#include <memory>
#include <string>

namespace Glm {

class Glimmeries;
class MainFrame;

class SkinnedScreen : public QWidget {
public:
    /// dialogId is the screen's dialog number; background may be missing,
    /// the screen is then left unpainted with its controls still there.
    SkinnedScreen(Glimmeries& application, MainFrame& frame, int dialogId,
                  std::unique_ptr<ThinUI::Image> background);
    ~SkinnedScreen() override;

    /// Creates the screen's controls (once). False when a control cannot be
    /// placed; the screen should then not be shown.
    bool Create();

    int GetDialogId() const { return m_dialogId; }
    /// How often the first paint has resized the screen (0 before it, 1 after).
    int GetFirstPaintResizes() const { return m_firstPaintResizes; }

    /// A vertical strip button from the picture name ("EXIT_BUTTONS"), owned
    /// by the screen, at (x, y) with its item id.
    ThinUI::C3StateButton* AddButton(const std::string& pictureName, unsigned frames, int controlId, int x,
                                     int y);
    ThinUI::StaticImage* AddStaticImage(const std::string& pictureName, int controlId, int x, int y);

protected:
    /// Builds the screen's controls. Returns false on failure.
    virtual bool OnInitDialog() = 0;
    /// A button with that id was clicked.
    virtual void OnCommand(int controlId);

    Glimmeries& GetApplication() { return m_application; }
    MainFrame& GetFrame() { return m_frame; }

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    Glimmeries& m_application;
    MainFrame& m_frame;
    int m_dialogId;
    std::unique_ptr<ThinUI::Image> m_background;
    bool m_redrawOnResize = true;
    bool m_created = false;
    int m_firstPaintResizes = 0;
};

} // namespace Glm
