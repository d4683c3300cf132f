// string8_t under random operation sequences, checked against a model of its
// text and storage size after every step.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "text/string8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kvo::string8 s;
    std::string text;
    std::size_t storage = 0;
    auto fit = [&storage](std::size_t required) {
        if (storage < required) storage = required + 16;
        else if (storage - required > 32) storage = required;
    };
    std::size_t i = 0;
    auto next = [&]() -> std::uint8_t { return i < size ? data[i++] : 0; };
    while (i < size) {
        std::uint8_t op = next();
        std::uint8_t length = next() % 80;
        std::uint8_t max_byte = next();
        std::size_t max = max_byte >= 200 ? kvo::whole_text : max_byte;
        std::string piece;
        for (std::uint8_t k = 0; k < length; ++k) piece.push_back(static_cast<char>('a' + next() % 26));
        bool own = (op & 0x10) && !text.empty() && text.size() < 1024;  // bounds self-doubling
        std::size_t own_from = own ? max_byte % text.size() : 0;
        const char* source = own ? s.get_text() + own_from : piece.c_str();
        std::string full = own ? text.substr(own_from) : piece;
        std::string added = full.substr(0, max < full.size() ? max : full.size());
        switch (op % 5) {
        case 0:
            s.append(source, max);
            text += added;
            fit(text.size() + 1);
            break;
        case 1:
            s.assign(source, max);
            text = added;
            fit(text.size() + 1);
            break;
        case 2:
            s.truncate(length);
            if (length < text.size()) {
                text.resize(length);
                fit(text.size() + 1);
            }
            break;
        case 3: {
            char* buffer = s.open_buffer(length);
            fit(static_cast<std::size_t>(length) + 1);
            std::size_t written = max_byte % (length + 1u);
            std::memset(buffer, 'W', written);
            s.close_buffer();
            text.assign(written, 'W');
            fit(text.size() + 1);
            break;
        }
        case 4:
            if (s.get_length() != text.size()) std::abort();
            break;
        }
        if (text != s.get_text() || s.storage().size() != storage) std::abort();
        if (text.empty() && s.get_text() != empty_text) std::abort();
    }
    return 0;
}
