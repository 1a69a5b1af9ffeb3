#include "service/pages/feededition.h"

#include "common/pagetext.h"
#include "service/pages/detailpage.h"
#include "service/pages/headlinepage.h"
#include "service/pages/tickertext.h"

#include <QCryptographicHash>

namespace {

QString identity(const FeedItem& item) {
    if (!item.id.isEmpty())
        return QStringLiteral("id:") + item.id;
    if (!item.link.isEmpty())
        return QStringLiteral("link:") + item.link;
    return QStringLiteral("title:") + item.title + u'\n' + item.published.toString(Qt::ISODate);
}

QString linkOf(const FeedItem& item) {
    const QByteArray digest = QCryptographicHash::hash(identity(item).toUtf8(), QCryptographicHash::Sha256);
    return FeedDetailFolder.toString() + QString::fromLatin1(digest.left(8).toHex()) + QStringLiteral(".html");
}

QString timeOf(const FeedItem& item) {
    if (!item.published.isValid())
        return QStringLiteral("--.--");
    // A day alone is the day the feed wrote: moved to another zone, midnight could change it.
    if (item.dayOnly)
        return item.published.toString(QStringLiteral("dd/MM"));
    return item.published.toLocalTime().toString(QStringLiteral("hh.mm"));
}

} // namespace

NewsEdition renderFeedEdition(QList<FeedItem> items) {
    sortNewestFirst(items, BarHeadlines);
    NewsEdition edition;
    QList<HeadlineRecord> records;
    for (const FeedItem& item : items) {
        if (records.size() == MaxFeedHeadlines)
            break;
        const QString title = PageText::shortened(tickerText(item.title), MaxTitleLength, PageText::Cut::AtBlank);
        if (title.isEmpty())
            continue; // nothing of it can be shown
        QString link = linkOf(item);
        // Two items of one identity are one item given twice: the first stands.
        if (edition.detailPages.contains(link))
            continue;
        const QString text = PageText::shortened(tickerText(item.text), MaxTextLength, PageText::Cut::AtBlank);
        edition.detailPages.insert(link, renderDetailPage(title, text.isEmpty() ? title : text, webAddress(item.link)));
        records.append({timeOf(item), title, std::move(link)});
    }
    edition.headlinePage = renderHeadlinePage(records);
    return edition;
}
