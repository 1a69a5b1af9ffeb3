// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/pages/sitecontent.h"

#include "service/pages/detailpage.h"

#include <QDirIterator>
#include <QFile>

namespace {

const QString ResourceRoot = QStringLiteral(":/zefirina-service");

QByteArray resource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        // The resources are compiled in: a missing one is a build mistake, not a run-time
        // condition, but the service still answers the other routes.
        qWarning("zefirina-service: missing resource %s", qPrintable(path));
        return {};
    }
    return file.readAll();
}

bool hasMarkup(const QString& text) { return text.contains(u'<') || text.contains(u'>') || text.contains(u'&'); }

struct NewsItem {
    QString title;
    QString text;
};

// An item file holds the title on its first line and the text on the following lines,
// which are joined with single blanks so that editors' line wrapping and line endings do
// not reach the page.
std::optional<NewsItem> parseItem(const QByteArray& bytes) {
    const QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    NewsItem item{lines.value(0).trimmed(), {}};
    QStringList paragraph;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (!line.isEmpty())
            paragraph.append(line);
    }
    item.text = paragraph.join(u' ');
    if (item.title.isEmpty() || item.text.isEmpty() || hasMarkup(item.title) || hasMarkup(item.text))
        return std::nullopt;
    return item;
}

} // namespace

SiteContent::SiteContent()
    : m_headlinePage(resource(ResourceRoot + QStringLiteral("/notizietelevideo.html"))),
      m_newsHomePage(resource(ResourceRoot + QStringLiteral("/home.html"))),
      m_makerPage(resource(ResourceRoot + QStringLiteral("/zefirina.html"))) {
    loadDetailPages();
}

void SiteContent::loadDetailPages() {
    // "notizie/2026/12/06/mercati.txt" holds the item linked as "/notizie/2026/12/06/mercati.html".
    const QString itemSuffix = QStringLiteral(".txt");
    QDirIterator files(ResourceRoot + QStringLiteral("/notizie"), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        if (!path.endsWith(itemSuffix))
            continue;
        const auto item = parseItem(resource(path));
        if (!item) {
            qWarning("zefirina-service: skipping malformed news item %s", qPrintable(path));
            continue;
        }
        const QString link = path.mid(ResourceRoot.size()).chopped(itemSuffix.size()) + QStringLiteral(".html");
        m_detailPages.insert(link, renderDetailPage(item->title, item->text));
    }
}

std::optional<QByteArray> SiteContent::detailPage(QStringView link) const {
    const auto page = m_detailPages.constFind(link.toString());
    if (page == m_detailPages.constEnd())
        return std::nullopt;
    return *page;
}
