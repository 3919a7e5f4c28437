#include "SkinnedScreen.h"

#include "Glimmeries.h"
#include "KeyboardAccess.h"
#include "MainFrame.h"
#include "ThinUI/Controls.h"
#include "ThinUI/ImageStrip.h"
#include "ThinUI/ResourceImage.h"
#include "common/UI/Messages.h"

#include <QHideEvent>
#include <QMouseEvent>
#include <QPainter>

namespace Glm {

SkinnedScreen::SkinnedScreen(Glimmeries& application, MainFrame& frame, int dialogId,
                             std::unique_ptr<ThinUI::Image> background)
    : QWidget(&frame), m_application(application), m_frame(frame), m_dialogId(dialogId),
      m_background(std::move(background)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The template's size until the background has been loaded.
    setGeometry(0, 0, MainFrame::kWidth, MainFrame::kHeight);
    hide();
}

SkinnedScreen::~SkinnedScreen() = default;

bool SkinnedScreen::Create() {
    if (m_created) {
        return true;
    }
    m_created = OnInitDialog();
    return m_created;
}

ThinUI::C3StateButton* SkinnedScreen::AddButton(const std::string& pictureName, unsigned frames,
                                                int controlId, int x, int y) {
    auto strip = std::make_unique<ThinUI::ImageStrip>(
        std::make_unique<ThinUI::ResourceImage>(pictureName, "JPG"), true, frames);
    // The screen owns its controls as their Qt parent.
    auto* button = ThinUI::AdoptControl(*this, std::make_unique<ThinUI::C3StateButton>(std::move(strip)));
    button->Attach(this, controlId, x, y);
    return button;
}

ThinUI::StaticImage* SkinnedScreen::AddStaticImage(const std::string& pictureName, int controlId, int x,
                                                   int y) {
    auto* image = ThinUI::AdoptControl(
        *this,
        std::make_unique<ThinUI::StaticImage>(std::make_unique<ThinUI::ResourceImage>(pictureName, "JPG")));
    image->Attach(this, controlId, x, y);
    return image;
}

void SkinnedScreen::AddTitleButtons(const TitleButtonIds& ids) {
    m_titleButtons = ids;
    if (ids.exit != 0) {
        AddButton("EXIT_BUTTONS", 3, ids.exit, kExitX, kExitY);
    }
    if (ids.minimize != 0) {
        AddButton("MINIMIZE_BUTTONS", 3, ids.minimize, kMinimizeX, kMinimizeY);
    }
    if (ids.help != 0) {
        AddButton("HELP_BUTTONS", 3, ids.help, kHelpX, kHelpY);
    }
    if (ids.menu != 0) {
        AddButton("MENU_BUTTONS", 3, ids.menu, kMenuX, kMenuY);
    }
}

bool SkinnedScreen::OnTitleButton(int controlId) {
    if (controlId == 0) {
        return false;
    }
    if (controlId == m_titleButtons.exit) {
        m_application.PlaySound("EXIT_SOUND");
        // The same path as the tray menu's Hide item.
        m_frame.Target().Send(UI::WM_GLM_TRAY_COMMAND, UI::ID_TRAY_HIDE);
        return true;
    }
    if (controlId == m_titleButtons.minimize) {
        m_application.PlaySound("MINIMIZE_SOUND");
        m_frame.showMinimized();
        return true;
    }
    if (controlId == m_titleButtons.help) {
        m_application.PlaySound("HELP_SOUND");
        m_application.OpenUrl(m_application.GetParameter("GLM_FAQ_URL"));
        return true;
    }
    if (controlId == m_titleButtons.menu) {
        if (!m_titleButtons.menuSound.empty()) {
            m_application.PlaySound(m_titleButtons.menuSound);
        }
        m_frame.Target().Send(UI::WM_GLM_SCREEN_DONE);
        hide();
        return true;
    }
    return false;
}

void SkinnedScreen::OnCommand(int) {}

UI::LRESULT SkinnedScreen::OnFrameMessage(const UI::Message&) {
    return 0;
}

void SkinnedScreen::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Screens add and relabel controls as they go; naming runs at every show.
    NameUnnamedControls(*this, m_dialogId);
    LetEnterChooseListItems(*this);
}

bool SkinnedScreen::focusNextPrevChild(bool next) {
    if (isHidden()) {
        // The focus was on this screen as it went: the frame holds it until
        // Tab enters the screen shown next.
        m_frame.setFocus(Qt::OtherFocusReason);
        return true;
    }
    return MoveFocusInReadingOrder(*this, next);
}

void SkinnedScreen::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Only the screen's own hide counts: hiding the frame to the tray or
    // minimising it leaves the screen the current one.
    if (isHidden()) {
        OnHide();
    }
}

bool SkinnedScreen::event(QEvent* event) {
    if (event->type() == ThinUI::CommandEvent::Type()) {
        const int controlId = static_cast<ThinUI::CommandEvent*>(event)->GetControlId();
        if (!OnTitleButton(controlId)) {
            OnCommand(controlId);
        }
        return true;
    }
    return QWidget::event(event);
}

void SkinnedScreen::paintEvent(QPaintEvent*) {
    if (!m_background->IsLoaded()) {
        if (!m_background->Load()) {
            return;
        }
        // The page takes the size of its picture once, at its first paint.
        ++m_firstPaintResizes;
        // When each page first reaches the screen: how long a start takes.
        m_application.GetLogger().Log("Screen " + std::to_string(m_dialogId) + " first painted");
        resize(m_background->GetWidth(), m_background->GetHeight());
        if (m_redrawOnResize) {
            update();
        }
    }
    QPainter painter(this);
    if (m_frame.testAttribute(Qt::WA_TranslucentBackground) && !m_frame.mask().isEmpty()) {
        // Where the frame is see-through (compositors that do not cut
        // windows to a shape), what lies outside the mask stays unpainted.
        painter.setClipRegion(m_frame.mask().translated(-pos()));
    }
    m_background->Draw(painter, 0, 0, m_background->GetWidth(), m_background->GetHeight(), 0, 0);
}

void SkinnedScreen::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_frame.BeginMove(m_frame, event->globalPosition());
    }
}

void SkinnedScreen::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) != 0) {
        m_frame.ContinueMove(event->globalPosition());
    }
}

void SkinnedScreen::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_frame.EndMove();
    }
}

} // namespace Glm
