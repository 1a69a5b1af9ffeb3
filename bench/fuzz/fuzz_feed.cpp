// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
// Any bytes as a feed: readFeed, then the pages made of its items, read back by the bar's
// own readers. Whatever the feed holds, every headline the bar shows has a detail page
// with a text, and no slot stays empty while the feed gave an item for it.
#include "bench/fuzz/fuzzcheck.h"
#include "news/detailreader.h"
#include "news/headlinereader.h"
#include "service/feed/feedreader.h"
#include "service/pages/feededition.h"

#include <algorithm>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FeedReading reading =
        readFeed(QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    FUZZ_CHECK(reading.failure.has_value() == reading.items.isEmpty());
    FUZZ_CHECK(reading.siteLink.isEmpty() || reading.siteLink.startsWith(u"http"));
    if (reading.items.isEmpty())
        return 0;
    const NewsEdition edition = renderFeedEdition(reading.items);
    const QString clock = u"08:41"_s;
    const HeadlineBatch batch = readHeadlines(decodeWindows1252(edition.headlinePage), {}, clock);
    const QString unavailable = unavailableCaption(clock);
    const qsizetype shown = std::min<qsizetype>(edition.detailPages.size(), HeadlineCount);
    for (int slot = 0; slot < HeadlineCount; ++slot) {
        const QString& caption = batch.captions[slot];
        // With fewer than five headlines the bar shows them again in the slots left over.
        FUZZ_CHECK(slot >= shown || caption != unavailable);
        if (caption == unavailable)
            continue;
        FUZZ_CHECK(caption.size() > 12 && QStringView(caption).mid(7, 3) == u" - ");
        const auto page = edition.detailPages.constFind(batch.links[slot]);
        FUZZ_CHECK(page != edition.detailPages.constEnd());
        FUZZ_CHECK(!readDetail(decodeWindows1252(*page)).trimmed().isEmpty());
    }
    return 0;
}
