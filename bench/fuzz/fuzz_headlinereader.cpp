// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
// readHeadlines on any fetched headline page.
#include "bench/fuzz/fuzzcheck.h"
#include "news/headlinereader.h"

using namespace Qt::StringLiterals;

namespace {
const HeadlineLinks PreviousLinks = {u"/n/prima.html"_s, u"/n/seconda.html"_s, u"/n/terza.html"_s, u"/n/quarta.html"_s,
                                     u"/n/quinta.html"_s};
const QString Clock = u"08:41"_s;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString page = fetchedText(data, size);
    if (page.isEmpty())
        return 0; // the bar never reads an empty body
    const HeadlineBatch batch = readHeadlines(page, PreviousLinks, Clock);
    const QString unavailable = unavailableCaption(Clock);
    const bool noRecord = !page.contains(u"StrilloTelevideo");
    for (int slot = 0; slot < HeadlineCount; ++slot) {
        const QString& caption = batch.captions[slot];
        const QString& link = batch.links[slot];
        FUZZ_CHECK(caption.startsWith(u"  ") && caption.endsWith(u"  "));
        if (caption != unavailable) {
            // "  hh:mm - Titolo  ": five characters of time, a title with no tab and no
            // lead of an accent pair left.
            FUZZ_CHECK(caption.size() >= 12 && QStringView(caption).mid(7, 3) == u" - ");
            FUZZ_CHECK(!QStringView(caption).mid(2, 5).contains(u'.'));
            const QStringView title = QStringView(caption).mid(10, caption.size() - 12);
            FUZZ_CHECK(!title.contains(u'\t') && !title.contains(QChar(0x00C3)));
        }
        // A link is cut from the page, or the one the ticker held.
        FUZZ_CHECK(link == PreviousLinks[slot] || page.contains(link));
        if (noRecord)
            FUZZ_CHECK(caption == unavailable && link == PreviousLinks[slot]);
    }
    return 0;
}
