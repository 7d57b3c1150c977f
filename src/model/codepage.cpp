#include "model/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include "text/control_characters.h"

namespace tarnik {

namespace {
constexpr const char* kCodePage = "windows-1250";
constexpr char kSubstitute = 0x1A;  // what the encoder writes for a missing character
constexpr char kUnknown = '?';
}  // namespace

std::string toCp1250(const QString& text)
{
    QStringEncoder encoder(kCodePage);
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    // Encoded one character at a time, so that a missing character can be told
    // apart from a real U+001A and a surrogate pair stays one character.
    for (qsizetype i = 0; i < text.size();) {
        qsizetype width = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            width = 2;
        if (width == 1 && text[i].isSurrogate()) {  // half a pair: no character at all
            out.push_back(kUnknown);
            ++i;
            continue;
        }
        const QStringView one = QStringView(text).mid(i, width);
        const QByteArray bytes = encoder.encode(one);
        const bool realSubstitute = width == 1 && text[i].unicode() == 0x1A;
        if (bytes.size() == 1 && (bytes[0] != kSubstitute || realSubstitute))
            out.push_back(bytes[0]);
        else
            out.push_back(kUnknown);
        i += width;
    }
    return out;
}

QString fromCp1250(std::string_view bytes)
{
    QStringDecoder decoder(kCodePage);
    return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string readableText(std::string_view cp1250)
{
    return escapeControlCharacters(fromCp1250(cp1250).toStdString());
}

}  // namespace tarnik
