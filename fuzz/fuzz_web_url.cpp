// URL splitting on any text: either a clean split or InvalidUrlException.
#include "common/Web/HttpExceptions.h"
#include "common/Web/Url.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    try {
        const Web::Url url(input);
        // What a request is made of never carries blanks or control characters.
        for (const std::string& part : {url.GetHostName(), url.GetObjectName()}) {
            for (char c : part) {
                if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7f) {
                    __builtin_trap();
                }
            }
        }
        if (url.GetHostName().empty() || url.GetPort() == 0) {
            __builtin_trap();
        }
    } catch (const Web::InvalidUrlException&) {
    }
    return 0;
}
