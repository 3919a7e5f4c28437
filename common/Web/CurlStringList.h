#pragma once
// Owner of one libcurl string list (a request's header lines). The list is
// freed with its owner or when another list is moved over it, and an append
// that runs out of memory leaves the list as it was instead of losing it.
// libcurl does not copy the list: it must outlive every transfer of a
// handle that was given it.

#include <curl/curl.h>
#include <memory>
#include <string>

namespace Web {

class CurlStringList {
public:
    /// Appends a copy of text. Returns false, with the list unchanged, when
    /// libcurl has no memory.
    bool Append(const std::string& text) {
        curl_slist* head = curl_slist_append(m_head.get(), text.c_str());
        if (head == nullptr) {
            return false;
        }
        if (!m_head) {
            m_head.reset(head);
        }
        return true;
    }

    /// The list for CURLOPT_HTTPHEADER and the like; null while empty.
    curl_slist* Get() const { return m_head.get(); }

private:
    struct Free {
        void operator()(curl_slist* list) const { curl_slist_free_all(list); }
    };
    std::unique_ptr<curl_slist, Free> m_head;
};

} // namespace Web
