#pragma once

#include "SkinnedPopup.h"
#include "Tools/FlashWindowView.h"
#include "common/UI/QtMessageTarget.h"

#include <string>

namespace Glm {

/// Popup 136: the toy in use is set up. Header, how-to picture and text by
/// kind of toy; the bracelet and the jewelry box also play their
/// congratulation movie. Its end refreshes the main menu, which then shows
/// the toy as set up.
class CGLMBraceletCongratsDlg : public SkinnedPopup {
public:
    static constexpr int kDialogId = 136;
    static constexpr int kCloseId = 1201;
    static constexpr int kDoneId = 1220;
    static constexpr int kTextId = 1227;
    static constexpr int kHeaderId = 1285;
    static constexpr int kHowToId = 1286;
    static constexpr int kHowToX = 206;
    static constexpr int kHowToY = 240;
    static constexpr int kTextX = 322;
    static constexpr int kTextY = 240;
    /// The movie's rectangle.
    static constexpr int kMovieLeft = 206;
    static constexpr int kMovieTop = 232;
    static constexpr int kMovieRight = 538;
    static constexpr int kMovieBottom = 360;

    CGLMBraceletCongratsDlg(Glimmeries& application, MainFrame& frame);
    ~CGLMBraceletCongratsDlg() override;

    /// The movie of the last run (no movie window for the game).
    FlashWindowView& GetMovie() { return m_movie; }
    /// The file the movie plays from, "" for the game.
    const std::string& GetMoviePath() const { return m_moviePath; }

protected:
    void OnInitDialog() override;
    void OnCommand(int controlId) override;
    void OnShown() override;
    void done(int result) override;

private:
    void PlayMovie(const std::string& fileName, const std::string& resourceName);

    UI::QtMessageTarget m_target;
    FlashWindowView m_movie;
    std::string m_moviePath;
};

} // namespace Glm
