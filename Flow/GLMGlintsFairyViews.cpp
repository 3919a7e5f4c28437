#include "GLMGlintsFairyViews.h"

#include "Glimmeries.h"
#include "ThinUI/TextLabel.h"
#include "ToyInUse.h"
#include "common/Ex/Exceptions.h"
#include "common/Mod/Mod.h"
#include "webapi/UploadBodies.h"

namespace Glm {

void GlintFairyViews::Slot::CreateClientWindow(QWidget* parent, const QRect& rect,
                                               UI::MessageTarget* parentTarget) {
    view.CreateClientWindow(parent, rect, parentTarget);
}

void GlintFairyViews::Slot::SetAvatar(UI::WPARAM wParam, const std::string& flashVars, UI::LPARAM lParam,
                                      std::uint32_t clickMessage, std::uint32_t backgroundColor) {
    if (!flashVars.empty()) {
        fairyId = std::to_string(lParam);
    }
    view.SetAvatar(wParam, flashVars, lParam, clickMessage, backgroundColor);
}

void GlintFairyViews::Slot::LoadUrl(const std::string& path) {
    view.LoadUrl(path);
}

std::int32_t GlintFairyViews::Show(Glimmeries& application, QWidget* screen, UI::MessageTarget* target,
                                   std::uint32_t clickMessage, const QRect& firstRect, int distance,
                                   const std::string& userId) {
    Destroy();
    std::array<AvatarView*, kCount> views{&m_slots[0], &m_slots[1], &m_slots[2]};
    return application.GetWebApi().DisplayFairies(screen, clickMessage,
                                                  application.GetParameter("SWF_AVATAR_AND_BUTTERFLY"), views,
                                                  firstRect, distance, userId, target);
}

void GlintFairyViews::Destroy() {
    for (Slot& slot : m_slots) {
        slot.view.DestroyClientWindow();
        slot.fairyId.clear();
    }
}

void GlintFairyViews::ShowBalances(Glimmeries& application,
                                   const std::array<ThinUI::TextLabel*, kCount>& labels, unsigned textId) {
    for (std::size_t k = 0; k < kCount; ++k) {
        ThinUI::TextLabel* label = labels[k];
        const std::string& fairyId = m_slots[k].fairyId;
        std::string points;
        std::string errorCode;
        if (fairyId.empty() || application.GetWebApi().GetGlintPoints(fairyId, points, errorCode) != 0) {
            // A balance the service did not give is not shown as some number.
            label->hide();
            continue;
        }
        label->SetText(GlintText(textId, {points}));
        label->show();
    }
}

std::string GlintFairyName(Glimmeries& application, const std::string& fairyId) {
    std::string name;
    if (application.GetWebApi().ObtainFairyProfileByFairyId(fairyId, name) == 0 && !name.empty()) {
        return name;
    }
    // The toy's own Fairy is named only when the points go to that Fairy:
    // another Fairy's name would tell the user a wrong recipient.
    const std::optional<Toy> toy = FindToyInUse(application);
    if (toy && toy->IsPresent() && toy->GetType() != kBraceletProduct && toy->GetFairyId() == fairyId) {
        return toy->GetFairyName();
    }
    return name;
}

std::string GlintText(unsigned textId, std::initializer_list<std::string> values) {
    try {
        return FormatText(Mod::LoadString(textId, 1024), values);
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::GlintText");
        return {};
    }
}

} // namespace Glm
