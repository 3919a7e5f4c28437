#include "GLMBraceletCongratsDlg.h"

#include "Glimmeries.h"
#include "MainFrame.h"
#include "ToyInUse.h"
#include "common/Ex/Exceptions.h"
#include "common/Mod/Mod.h"
#include "common/UI/Messages.h"

#include <algorithm>
#include <filesystem>

namespace Glm {

namespace {

constexpr unsigned kToyGoneString = 153;
constexpr unsigned kBraceletText = 116;
constexpr unsigned kJewelryBoxText = 121;
constexpr unsigned kGameText = 122;
// The popup's box, inside its mask, with a small margin.
constexpr int kBoxLeft = 190;
constexpr int kBoxRight = 558;
constexpr int kGap = 6;

const char* CongratsPage(std::uint32_t kind) {
    switch (kind) {
    case kBraceletProduct:
        return "SetUpBraceletCongrats";
    case kGameProduct:
        return "SetUpLCDgameCongrats";
    case kJewelryBoxProduct:
        return "SetUpJewelryBoxCongrats";
    default:
        return nullptr;
    }
}

} // namespace

CGLMBraceletCongratsDlg::CGLMBraceletCongratsDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedPopup(application, frame, kDialogId),
      // The movie's clicks mean nothing here.
      m_target([](const UI::Message&) -> UI::LRESULT { return 0; }) {}

CGLMBraceletCongratsDlg::~CGLMBraceletCongratsDlg() {
    m_movie.DestroyClientWindow();
}

void CGLMBraceletCongratsDlg::OnInitDialog() {
    // The previous run's movie went with its controls.
    m_movie.DestroyClientWindow();
    m_moviePath.clear();
    AddButton("POPUP_EXIT_BUTTONS", 3, kCloseId, 521, 146);
    AddButton("POPUP_DONE_BUTTONS", 3, kDoneId, 298, 364);
    const std::optional<Toy> toy = FindToyInUse(GetApplication());
    const std::uint32_t kind = toy.has_value() ? toy->GetType() : 0;
    const char* header = "POPUP_CONGRATS";
    const char* howTo = "POPUP_LCDGAME_USE";
    unsigned text = kGameText;
    if (kind == kBraceletProduct) {
        header = "POPUP_BRACELET_READY";
        howTo = "POPUP_BRACELET_USE";
        text = kBraceletText;
    } else if (kind == kJewelryBoxProduct) {
        header = "POPUP_JEWELRY_BOX_READY";
        howTo = "POPUP_JEWELRYBOX_USE";
        text = kJewelryBoxText;
    }
    AddStaticImage(header, kHeaderId, 199, 145);
    ThinUI::StaticImage* picture = AddStaticImage(howTo, kHowToId, kHowToX, kHowToY);
    ThinUI::TextLabel* label = AddBodyLabel(kTextId, kTextX, kTextY, text);
    // A text too wide to stand beside the picture inside the popup's box
    // moves left, and the picture goes beneath it, clear of Done.
    const int width = label->width();
    if (kTextX + width > kBoxRight) {
        label->move(std::max(kBoxLeft, kBoxRight - width), kTextY);
        picture->move(kBoxLeft, kTextY + label->height() + kGap);
    }
    if (kind == kBraceletProduct) {
        PlayMovie("bracelet_congrats.swf", "BRACELET_CONGRATS");
    } else if (kind == kJewelryBoxProduct) {
        PlayMovie("jewelry_box_congrats.swf", "JEWELRY_BOX_CONGRATS");
    }
    // The movie plays behind the picture and the text, which it would
    // otherwise hide.
    if (QWidget* movie = m_movie.GetWindow()) {
        movie->lower();
    }
}

void CGLMBraceletCongratsDlg::PlayMovie(const std::string& fileName, const std::string& resourceName) {
    try {
        // Beside the application: its data directory, writable also where
        // the program's own directory is not.
        const std::string path = GetApplication().GetDataDirectory() + "/" + fileName;
        std::error_code ignored;
        if (!std::filesystem::exists(path, ignored)) {
            Mod::ExtractResourceToDisk(resourceName, "SWF", path);
        }
        m_moviePath = path;
        m_movie.CreateClientWindow(
            this, QRect(QPoint(kMovieLeft, kMovieTop), QPoint(kMovieRight - 1, kMovieBottom - 1)), &m_target);
        // Any FlashVars make the view keep its click message, and the movie
        // is drawn on the popup's purple.
        m_movie.SetAvatar(0, "&&", 0, UI::WM_GLM_SETUP_MOVIE, kBodyColor);
        m_movie.LoadUrl(path);
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("CGLMBraceletCongratsDlg::OnInitDialog");
    }
}

void CGLMBraceletCongratsDlg::OnShown() {
    const std::optional<Toy> toy = FindToyInUse(GetApplication());
    if (!toy.has_value() || !toy->IsPresent()) {
        return;
    }
    GetApplication().PlaySound("CONGRATS_SOUND");
    if (const char* page = CongratsPage(toy->GetType())) {
        GetApplication().Report(page);
    }
}

void CGLMBraceletCongratsDlg::OnCommand(int controlId) {
    UI::MessageTarget& frame = GetFrame().Target();
    if (controlId == kDoneId) {
        EndDialog(kConfirm);
        if (IsToyInUsePresent(GetApplication())) {
            frame.Send(UI::WM_GLM_MAIN_MENU_REFRESH);
        } else {
            frame.Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
        }
    } else if (controlId == kCloseId) {
        GetApplication().PlaySound("CLOSE_SOUND");
        EndDialog(kCancel);
        frame.Send(UI::WM_GLM_MAIN_MENU_REFRESH);
    }
}

void CGLMBraceletCongratsDlg::done(int result) {
    // The movie stops with the popup, however it ends.
    m_movie.DestroyClientWindow();
    SkinnedPopup::done(result);
}

} // namespace Glm
