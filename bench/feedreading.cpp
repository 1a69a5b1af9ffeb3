// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
// Median time to read a 1 MiB feed: readFeed on the bytes as fetched, then the pages the
// service writes from its items.
//   zefirina-bench-feed [rounds]
#include "service/feed/feedreader.h"
#include "service/pages/feededition.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
constexpr qsizetype FeedBytes = 1024 * 1024;

// An RSS 2.0 feed of items a minute apart, with the HTML, entities and accents real feeds
// carry, up to 1 MiB.
QByteArray feed() {
    QByteArray bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>"
                       "<title>Notizie</title><link>https://notizie.example.org/</link>\n";
    const QByteArray tail = "</channel></rss>\n";
    for (int i = 0;; ++i) {
        const QByteArray item =
            "<item><title>Citt\xc3\xa0 e perch\xc3\xa9 &amp; cos\xc3\xac, notizia " + QByteArray::number(i) +
            "</title><link>/articoli/" + QByteArray::number(i) + ".html</link><guid>n" + QByteArray::number(i) +
            "</guid><pubDate>Sun, 06 Dec 2026 " + QByteArray::number(10 + i / 60 % 12) + ":" +
            QByteArray::number(10 + i % 50) +
            ":00 +0100</pubDate><description><![CDATA[<p>Il livello <b>\xc3\xa8</b> salito, oggi 12,5 cm "
            "in pi\xc3\xb9 &ndash; dice il <a href=\"/meteo\">meteo</a>.</p>]]></description></item>\n";
        if (bytes.size() + item.size() + tail.size() > FeedBytes)
            break;
        bytes += item;
    }
    return bytes + QByteArray(FeedBytes - bytes.size() - tail.size(), ' ') + tail;
}

double medianMs(int rounds, const std::function<void()>& run) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::nth_element(times.begin(), times.begin() + rounds / 2, times.end());
    return times[rounds / 2];
}
} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const QByteArray document = feed();
    qsizetype items = 0;
    const double read = medianMs(rounds, [&] { items = readFeed(document).items.size(); });
    const double pages = medianMs(rounds, [&] { renderFeedEdition(readFeed(document).items); });
    std::printf("feed 1 MiB (%lld items): read median %.1f ms, read and pages median %.1f ms over %d rounds\n",
                static_cast<long long>(items), read, pages, rounds);
    return 0;
}
