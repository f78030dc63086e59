#include "Error.h"

#include "Cp932.h"

namespace zentrok {

std::string FormatWith(std::string_view pattern, std::string_view arg)
{
    std::string out(pattern);
    const std::size_t at = out.find("%s");
    if (at != std::string::npos) out.replace(at, 2, arg);
    return out;
}

std::string ErrorBoxText(std::string_view message)
{
    std::string text(message);
    const std::size_t last = LastCharStart(message);
    if (last == npos) return text;
    const bool singleByte = last + 1 == message.size();
    if (!(singleByte && static_cast<unsigned char>(message[last]) <= '.')) text += '.';
    return text;
}

} // namespace zentrok
