#pragma once
// The base of every screen: a child page of the frame painted with its
// 750 by 500 background, carrying image controls at pixel positions. A press
// on the background drags the whole frame. Tab visits the controls in
// reading order, and every control has a name for screen readers.

#include "ThinUI/C3StateButton.h"
#include "ThinUI/Image.h"
#include "ThinUI/StaticImage.h"
#include "ThinUI/TextLabel.h"
#include "common/UI/MessageTarget.h"

#include <QWidget>
#include <memory>
#include <string>

namespace Glm {

class Glimmeries;
class MainFrame;

/// The item ids of a screen's title-bar buttons; they differ per screen.
/// A zero id leaves that button out: the Menu button belongs only to the
/// pages reached from the main menu.
struct TitleButtonIds {
    int exit = 0;
    int minimize = 0;
    int help = 0;
    int menu = 0;
    /// Played by the Menu button before it leaves, when not empty.
    std::string menuSound;
};

class SkinnedScreen : public QWidget {
public:
    static constexpr int kExitX = 665;
    static constexpr int kExitY = 17;
    static constexpr int kMinimizeX = 639;
    static constexpr int kMinimizeY = 17;
    static constexpr int kHelpX = 62;
    static constexpr int kHelpY = 17;
    static constexpr int kMenuX = 85;
    static constexpr int kMenuY = 14;

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
    /// Places the standard title-bar buttons with these ids and handles
    /// their clicks: Exit hides the application to the notification area,
    /// Minimize minimises the frame, Help opens the FAQ page, Menu goes back
    /// to the main menu and hides this screen. Their clicks never reach
    /// OnCommand.
    void AddTitleButtons(const TitleButtonIds& ids);

    /// The show step: the frame calls it every time it shows the screen,
    /// before the screen becomes visible. Screens refresh their data and
    /// report their page here.
    virtual void OnShow() {}
    /// The screen has just been hidden (by the frame or by itself).
    virtual void OnHide() {}
    /// A message the frame passes on unchanged to this screen (the "next"
    /// messages of the upload screens, the main menu's refresh, toy
    /// arrivals and removals for the devices screen). 0 when not handled.
    virtual UI::LRESULT OnFrameMessage(const UI::Message& message);

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
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    /// True when controlId is one of the title-bar buttons (then handled).
    bool OnTitleButton(int controlId);

    Glimmeries& m_application;
    MainFrame& m_frame;
    int m_dialogId;
    std::unique_ptr<ThinUI::Image> m_background;
    bool m_redrawOnResize = true;
    bool m_created = false;
    int m_firstPaintResizes = 0;
    TitleButtonIds m_titleButtons;
};

} // namespace Glm
