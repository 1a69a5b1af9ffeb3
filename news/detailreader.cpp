#include "news/detailreader.h"

#include "news/pagetext.h"
#include "news/textrepair.h"

using PageText::cut;
using PageText::find;
using PageText::keepUnlessFailed;

namespace {
QString tidyCommasAndBlanks(QString text) {
    text.replace(QStringLiteral(","), QStringLiteral(", "));
    text.replace(QStringLiteral("  "), QStringLiteral(" "));
    for (char16_t digit = u'0'; digit <= u'9'; ++digit)
        text.replace(QStringLiteral(", ") + QChar(digit), QStringLiteral(",") + QChar(digit));
    return text;
}
} // namespace

QString readDetail(QStringView page) {
    qsizetype marker = 0, firstDiv = 0, secondDiv = 0;
    keepUnlessFailed(marker, find(page, 1, u"popup05"));
    keepUnlessFailed(firstDiv, find(page, marker, u"</div>"));
    keepUnlessFailed(secondDiv, find(page, firstDiv + 1, u"</div>"));
    QString text;
    keepUnlessFailed(text, cut(page, firstDiv + 10, secondDiv - firstDiv - 12));
    return repairAccents(tidyCommasAndBlanks(std::move(text)));
}

QString detailFailureText(const QString& message) {
    return QStringLiteral("\r\n") + message + QStringLiteral("\r\n");
}
