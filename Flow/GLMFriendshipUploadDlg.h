#pragma once
// Screen 137, "AddFriends": the friendships touched on the bracelet in use,
// named by the web service, together with those its Fairy already has
// online. Each entry opens as a letter (the popups of GLMFriendshipLetterDlg,
// GLMFriendshipAnswerDlg); an answered friendship leaves the bracelet.

#include "SkinnedScreen.h"
#include "webapi/FriendRecord.h"

#include <QIcon>
#include <QListWidget>
#include <cstdint>
#include <string>
#include <vector>

namespace Glm {

/// The friendship list: icon and text on each row, rows a fixed distance
/// apart, the skin showing through, scrolled only by the page's arrows.
class FriendshipListView : public QListWidget {
public:
    explicit FriendshipListView(QWidget* parent);
    /// Where the item with that index is drawn, in the list's pixels.
    QRect ItemRect(int index) const;
};

class CGLMFriendshipUploadDlg : public SkinnedScreen {
public:
    static constexpr int kDialogId = 137;
    static constexpr int kHelpId = 1150;
    static constexpr int kExitId = 1151;
    static constexpr int kMinimizeId = 1152;
    static constexpr int kMenuId = 1232;
    static constexpr int kBackId = 1035;
    static constexpr int kUpId = 1190;
    static constexpr int kDownId = 1191;
    static constexpr int kImageId = 1033;
    static constexpr int kErrorImageId = 1036;
    static constexpr int kListId = 1034;

    static constexpr int kListX = 139;
    static constexpr int kListY = 229;
    static constexpr int kListWidth = 480;
    static constexpr int kListHeight = 218;
    /// From the top of one row to the top of the next.
    static constexpr int kRowDistance = 77;
    /// The icons' height: one press of an arrow scrolls this far.
    static constexpr int kScrollStep = 48;
    static constexpr int kIconSize = 48;
    /// A row's text is cut to this many characters.
    static constexpr std::size_t kMaxTextLength = 76;
    /// The arrows show from this many entries on.
    static constexpr int kEntriesWithArrows = 4;

    CGLMFriendshipUploadDlg(Glimmeries& application, MainFrame& frame);
    ~CGLMFriendshipUploadDlg() override;

    void OnShow() override;
    /// WM_GLM_FRIENDSHIP_NEXT rebuilds the list.
    UI::LRESULT OnFrameMessage(const UI::Message& message) override;

    /// The entries in list order.
    const std::vector<FriendRecord>& GetEntries() const { return m_entries; }
    /// The entry with that index, null when there is none.
    const FriendRecord* GetEntry(std::intptr_t index) const;
    FriendshipListView* GetList() { return m_list; }
    /// Opens the entry with that index (the list's double click).
    void Open(int index);

protected:
    bool OnInitDialog() override;
    void OnCommand(int controlId) override;

private:
    void Refresh();
    void Scroll(int amount);
    const QIcon& IconOf(std::int32_t status) const;

    FriendshipListView* m_list = nullptr;
    QWidget* m_image = nullptr;
    QWidget* m_errorImage = nullptr;
    QWidget* m_up = nullptr;
    QWidget* m_down = nullptr;
    /// "FAIRY", "FAIRY_BLUE", "FAIRY_GREEN", "FAIRY_YELLOW", "FAIRY_RED".
    std::vector<QIcon> m_icons;
    std::vector<FriendRecord> m_entries;
};

/// The letters' shared steps ------------------------------------------------

/// The string-table text with its "%s" filled in order; "" when the table
/// lacks the id (logged).
std::string FriendshipText(unsigned stringId, std::initializer_list<std::string> values = {});
/// The error text for a refused friendship answer: 163 for
/// "TOO_MANY_FRIENDS", 186 for "NOT_FOUND", 185 for any other code.
unsigned FriendshipErrorString(const std::string& errorCode);
/// Takes clickId out of every slot of the bracelet in use that holds it,
/// writing each slot alone. 0 when no slot holds it any more. On a failed
/// write the toy's copy keeps the slot, as the toy does, so the entry is
/// still offered; the result is the device library's code (1 when no toy
/// is in use).
std::int32_t RemoveFromBracelet(Glimmeries& application, std::uint32_t clickId);

} // namespace Glm
