#include "platform/Sentences.h"

#include <QCoreApplication>

namespace plannery {

std::string translated(const char* context, const char* text,
                       std::initializer_list<std::string_view> args) {
    const std::string sentence = QCoreApplication::translate(context, text).toStdString();
    std::string result;
    result.reserve(sentence.size());
    for (std::size_t i = 0; i < sentence.size(); ++i) {
        const char next = i + 1 < sentence.size() ? sentence[i + 1] : '\0';
        const auto index = static_cast<std::size_t>(next - '1');
        if (sentence[i] == '%' && next >= '1' && next <= '9' && index < args.size()) {
            result += *(args.begin() + index);
            ++i;
        } else {
            result += sentence[i];
        }
    }
    return result;
}

} // namespace plannery
