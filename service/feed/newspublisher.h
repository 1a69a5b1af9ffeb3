// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "service/feed/feedreader.h"

// Where the feed relay hands every reading of a feed that gave items: whoever serves the
// news from them. The relay knows nothing more of it.
class NewsPublisher {
public:
    virtual ~NewsPublisher() = default;

    // The news of `reading` are served from now on. False, and the news served before
    // stay, when none of its items can be shown.
    virtual bool publish(const FeedReading& reading) = 0;
};
