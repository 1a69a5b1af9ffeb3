// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <chrono>

class FeedRelay;
class LocalService;
class QuoteSource;
class ServiceLog;

// What the service tells of its sources, wired from their signals to the log.

// The feed being served, once and again after a change; each new kind of failure of
// each feed, with what is served meanwhile.
void reportFeed(const FeedRelay& relay, ServiceLog& log);

// Each new kind of failure of the quote provider for each symbol, and its end.
void reportQuotes(const QuoteSource& source, ServiceLog& log);

// Until `relay`'s first reading is in, the service leaves new connections waiting: a bar
// started together with the service then shows the feed at once rather than the sample
// news until its next refresh. The wait is bounded by `longest`, one fetch time-out,
// shorter than the time the bar waits for an answer however many feeds are tried.
void holdAnswersForFirstReading(LocalService& service, const FeedRelay& relay, std::chrono::milliseconds longest);
