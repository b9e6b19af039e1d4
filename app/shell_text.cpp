#include "app/shell_text.h"

#include <clocale>
#include <cstdio>
#include <cstring>

#include <QStringDecoder>
#include <QStringEncoder>

#include "model/c_numbers.h"
#include "model/fraunhofer_lines.h"
#include "model/surface.h"
#include "model/text_bytes.h"

namespace kiro::app {

QString fromDesignBytes(const char* bytes) {
    const size_t length = std::strlen(bytes);
    if (isValidUtf8(bytes, length)) {
        return QString::fromUtf8(bytes, static_cast<qsizetype>(length));
    }
    QStringDecoder decoder("CP932");
    return decoder.decode(QByteArrayView(bytes, static_cast<qsizetype>(length)));
}

bool toDesignBytes(const QString& text, int limitBytes, QByteArray& out) {
    // Character by character, so that the cut never falls inside a double-byte character.
    QStringEncoder encoder("CP932");
    QByteArray encoded;
    bool full = false;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() ? 2 : 1;
        const QByteArray character = encoder.encode(text.mid(i, length));
        if (encoder.hasError()) {
            return false;
        }
        full = full || encoded.size() + character.size() > limitBytes;
        if (!full) {
            encoded += character;
        }
        i += length;
    }
    out = encoded;
    return true;
}

QString formatNumber(const char* format, double value) {
    // In the C locale whatever LC_NUMERIC says, so a decimal point is always written.
    char buffer[512];
    snprintfC(buffer, sizeof buffer, format, value);
    return QString::fromLatin1(buffer);
}

void useCNumbers() {
    std::setlocale(LC_NUMERIC, "C");
}

QString lineLabel(int slot) {
    const FraunhoferLine* line = fraunhoferLineAt(slot);
    return line == nullptr ? QString() : QString::fromLatin1(line->label);
}

} // namespace kiro::app
