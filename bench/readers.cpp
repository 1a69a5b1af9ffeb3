// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
// Median time to read a 1 MiB page with each reader, from raw bytes: the decoding that the
// transfer does, then the reader itself.
//   zefirina-bench-readers [rounds]
#include "common/windows1252.h"
#include "market/quotereader.h"
#include "news/detailreader.h"
#include "news/headlinereader.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
constexpr qsizetype PageBytes = 1024 * 1024;

// Fills a page up to 1 MiB by repeating `block` (UTF-8 accents and commas included),
// between a fixed head and tail.
QByteArray page(const QByteArray& head, const QByteArray& block, const QByteArray& tail) {
    QByteArray bytes = head;
    while (bytes.size() + block.size() + tail.size() <= PageBytes)
        bytes += block;
    return bytes + QByteArray(PageBytes - bytes.size() - tail.size(), ' ') + tail;
}

double medianMs(int rounds, const std::function<void()>& read) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        read();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::nth_element(times.begin(), times.begin() + rounds / 2, times.end());
    return times[rounds / 2];
}
} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    const QByteArray headlines = page({},
                                      "<div class=\"StrilloTelevideo\"><a href=\"/n/1.html\">14.05&nbsp;Citt\xc3\xa0 "
                                      "e perch\xc3\xa9 \xc3\xa8 cos\xc3\xac</a></div>\n",
                                      {});
    const QByteArray detail = page("<div class=\"popup05\"><h2>T</h2></div>\r\n\r\n",
                                   "Il livello \xc3\xa8 salito, oggi 12,5 cm,in pi\xc3\xb9.  ", "\r\n</div>");
    const QByteArray quote = page("<span>  4:00pm                            ET</abbr><br /></span>"
                                  "Last price:</b><b>21034.25 <span>0.31%</sp "
                                  "                                    Shows primary price"
                                  "Open:                         21100.00",
                                  "<td>filler 123.45</td>\n", {});
    const HeadlineLinks noLinks;
    const FuturesQuote noQuote;
    std::printf(
        "headline page 1 MiB: median %.2f ms over %d rounds\n",
        medianMs(rounds, [&] { readHeadlines(decodeWindows1252(headlines), noLinks, QStringLiteral("12:00")); }),
        rounds);
    std::printf("detail page 1 MiB:   median %.2f ms over %d rounds\n",
                medianMs(rounds, [&] { readDetail(decodeWindows1252(detail)); }), rounds);
    std::printf("quote page 1 MiB:    median %.2f ms over %d rounds\n",
                medianMs(rounds, [&] { readQuote(decodeWindows1252(quote), noQuote); }), rounds);
    return 0;
}
