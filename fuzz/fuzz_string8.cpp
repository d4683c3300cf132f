// string8_t under random operation sequences, checked against a model of its
// text and storage size after every step.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/string_model.h"
#include "text/string8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kvo::string8 s;
    string_model model;
    std::size_t i = 0;
    auto next = [&]() -> std::uint8_t { return i < size ? data[i++] : 0; };
    while (i < size) {
        std::uint8_t op = next();
        std::uint8_t length = next() % 80;
        std::uint8_t max_byte = next();
        std::size_t max = max_byte >= 200 ? kvo::whole_text : max_byte;
        std::string piece;
        for (std::uint8_t k = 0; k < length; ++k) piece.push_back(static_cast<char>('a' + next() % 26));
        bool own = (op & 0x10) && !model.text.empty() && model.text.size() < 1024;  // bounds self-doubling
        std::size_t own_from = own ? max_byte % model.text.size() : 0;
        const char* source = own ? s.get_text() + own_from : piece.c_str();
        std::string full = own ? model.text.substr(own_from) : piece;
        std::string added = full.substr(0, max < full.size() ? max : full.size());
        switch (op % 5) {
        case 0:
            s.append(source, max);
            model.append(added);
            break;
        case 1:
            s.assign(source, max);
            model.assign(added);
            break;
        case 2:
            s.truncate(length);
            model.truncate(length);
            break;
        case 3: {
            std::string written(max_byte % (length + 1u), 'W');
            std::memcpy(s.open_buffer(length), written.data(), written.size());
            s.close_buffer();
            model.buffer(length, written);
            break;
        }
        case 4:
            if (s.get_length() != model.text.size()) std::abort();
            break;
        }
        if (model.text != s.get_text() || s.storage().size() != model.storage) std::abort();
        if (model.text.empty() && s.get_text() != empty_text) std::abort();
    }
    return 0;
}
