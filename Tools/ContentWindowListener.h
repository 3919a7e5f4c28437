#pragma once
// What a content window tells its owner: the content is ready, it failed, or
// the user pressed the left button on it.

#include <string>

namespace Web {

class ContentWindow;

class ContentWindowListener {
public:
    virtual ~ContentWindowListener() = default;
    /// The content has finished loading.
    virtual void OnContentReady(ContentWindow* window) = 0;
    /// Loading failed or timed out; the text may be empty.
    virtual void OnContentError(ContentWindow* window, const std::string& error) = 0;
    /// The user pressed the left button on the content (clicks is always 1).
    virtual void OnContentClick(ContentWindow* window, int clicks) = 0;
};

} // namespace Web
