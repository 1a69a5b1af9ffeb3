// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/feed/feedencoding.h"

#include "common/windows1252.h"

#include <QStringDecoder>
#include <QStringList>

namespace {

QString encodingName(QByteArrayView name) { return QString::fromLatin1(name).trimmed().toLower(); }

// The encoding the XML declaration names, lower-case; empty without one.
QString declaredEncoding(QByteArrayView document) {
    if (!document.startsWith("<?xml"))
        return {};
    const qsizetype end = document.indexOf("?>");
    if (end < 0)
        return {};
    const QByteArrayView declaration = document.first(end);
    qsizetype at = declaration.indexOf("encoding");
    if (at < 0)
        return {};
    at += 8;
    const auto skipBlanks = [&declaration, &at] {
        while (at < declaration.size() && QChar::isSpace(uchar(declaration.at(at))))
            ++at;
    };
    skipBlanks();
    if (at >= declaration.size() || declaration.at(at) != '=')
        return {};
    ++at;
    skipBlanks();
    if (at >= declaration.size() || (declaration.at(at) != '"' && declaration.at(at) != '\''))
        return {};
    const qsizetype close = declaration.indexOf(declaration.at(at), at + 1);
    return close < 0 ? QString() : encodingName(declaration.sliced(at + 1, close - at - 1));
}

bool isWestern(const QString& name) {
    static const QStringList western = {
        QStringLiteral("iso-8859-1"),   QStringLiteral("iso8859-1"), QStringLiteral("iso_8859-1"),
        QStringLiteral("latin1"),       QStringLiteral("latin-1"),   QStringLiteral("l1"),
        QStringLiteral("windows-1252"), QStringLiteral("cp1252"),    QStringLiteral("x-cp1252"),
        QStringLiteral("us-ascii"),     QStringLiteral("ascii")};
    return western.contains(name);
}

// The length of the valid UTF-8 sequence at `at`, 0 when the byte there starts none.
qsizetype utf8Sequence(QByteArrayView bytes, qsizetype at) {
    const auto byte = [&bytes](qsizetype i) { return static_cast<unsigned char>(bytes.at(i)); };
    const unsigned char lead = byte(at);
    qsizetype length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (at + length > bytes.size() || byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF)
            return 0;
    return length;
}

// UTF-8 with each byte outside a valid sequence read as Windows-1252; `firstInvalid` is
// where the first such byte is.
QString repairedUtf8(QByteArrayView bytes, qsizetype& firstInvalid) {
    QString text(bytes.size(), Qt::Uninitialized); // never more characters than bytes
    QChar* out = text.data();
    qsizetype at = 0;
    while (at < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes.at(at));
        if (lead < 0x80) {
            *out++ = QChar(char16_t(lead));
            ++at;
            continue;
        }
        const qsizetype length = utf8Sequence(bytes, at);
        if (length == 0) {
            *out++ = windows1252Char(bytes.at(at));
            if (firstInvalid < 0)
                firstInvalid = at;
            ++at;
            continue;
        }
        char32_t code = lead & (0xFF >> (length + 1));
        for (qsizetype i = 1; i < length; ++i)
            code = (code << 6) | (static_cast<unsigned char>(bytes.at(at + i)) & 0x3F);
        if (QChar::requiresSurrogates(code)) {
            *out++ = QChar(QChar::highSurrogate(code));
            *out++ = QChar(QChar::lowSurrogate(code));
        } else {
            *out++ = QChar(char16_t(code));
        }
        at += length;
    }
    text.truncate(out - text.constData());
    return text;
}

// Where the first byte is that `name` finds invalid: the decoder is fed one byte at a time.
qsizetype firstInvalidByte(QByteArrayView bytes, const QString& name) {
    QStringDecoder decoder(name.toLatin1().constData());
    for (qsizetype at = 0; at < bytes.size(); ++at) {
        static_cast<void>(decoder.decode(bytes.sliced(at, 1)));
        if (decoder.hasError())
            return at;
    }
    return bytes.size();
}

FeedWarning invalidBytes(QByteArrayView bytes, qsizetype at, const QString& name) {
    const QByteArrayView before = bytes.first(at);
    const qsizetype lineStart = before.lastIndexOf('\n') + 1;
    QStringDecoder decoder(name.toLatin1().constData());
    const QString lineBefore = decoder.decode(before.sliced(lineStart));
    return {FeedWarning::Kind::InvalidBytes, name, before.count('\n') + 1, lineBefore.size() + 1};
}

} // namespace

FeedText decodeFeedDocument(QByteArrayView document, QByteArrayView httpCharset) {
    if (const auto marked = QStringConverter::encodingForData(document); marked && *marked != QStringConverter::Utf8)
        return {};
    if (document.startsWith("\xEF\xBB\xBF"))
        document = document.sliced(3);
    QString name = declaredEncoding(document);
    if (name.isEmpty())
        name = encodingName(httpCharset);
    // Without a byte order mark, a document whose markup reads as ASCII is not UTF-16 or
    // UTF-32, whatever it declares.
    if (name.isEmpty() || name == u"utf8" || name.startsWith(u"utf-16") || name.startsWith(u"utf-32"))
        name = QStringLiteral("utf-8");

    if (isWestern(name))
        return {decodeWindows1252(document), std::nullopt};
    if (name == u"utf-8") {
        if (document.isValidUtf8())
            return {};
        qsizetype firstInvalid = -1;
        QString text = repairedUtf8(document, firstInvalid);
        return {std::move(text), invalidBytes(document, firstInvalid, QStringLiteral("UTF-8"))};
    }
    QStringDecoder decoder(name.toLatin1().constData());
    if (!decoder.isValid())
        return {decodeWindows1252(document), FeedWarning{FeedWarning::Kind::UnknownEncoding, name}};
    QString text = decoder.decode(document);
    if (!decoder.hasError())
        return {std::move(text), std::nullopt};
    return {decodeWindows1252(document), invalidBytes(document, firstInvalidByte(document, name), name)};
}
