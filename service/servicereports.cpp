// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/servicereports.h"

#include "service/feed/feedrelay.h"
#include "service/http/localservice.h"
#include "service/market/quotesource.h"
#include "service/servicelog.h"

#include <QTimer>

namespace {

QString sourceOf(const QUrl& feed) { return feed.isLocalFile() ? feed.toLocalFile() : feed.toDisplayString(); }

QString stillServing(const FeedRelay& relay) {
    const QDateTime last = relay.lastUpdate();
    if (!last.isValid())
        return QStringLiteral("serving the sample news");
    return QStringLiteral("still serving the news of ") + sourceOf(relay.servedFeed()) +
           last.toString(QStringLiteral(" read at yyyy-MM-dd hh:mm"));
}

} // namespace

void reportFeed(const FeedRelay& relay, ServiceLog& log) {
    QObject::connect(&relay, &FeedRelay::updated, &relay, [&relay, &log](int items) {
        const QString feed = sourceOf(relay.servedFeed());
        log.state(QStringLiteral("feed"), QStringLiteral("serving ") + feed,
                  QStringLiteral("serving the news of %1 (%2 items)").arg(feed).arg(items), false);
        log.state(QStringLiteral("feed ") + relay.servedFeed().toString(), QString(), QString(), false);
        const auto warning = relay.lastWarning();
        const QString fault = warning ? feedWarningText(*warning) : QString();
        log.state(QStringLiteral("feed bytes ") + relay.servedFeed().toString(), fault,
                  fault.isEmpty() ? QString() : QStringLiteral("the feed %1: %2").arg(feed, fault), true);
    });
    QObject::connect(&relay, &FeedRelay::failed, &relay, [&relay, &log](const FeedFailure& failure) {
        const QString reason = feedFailureText(failure, relay.limits().timeout, relay.limits().maxBytes);
        log.state(
            QStringLiteral("feed ") + relay.feed().toString(), reason,
            QStringLiteral("cannot read the feed %1: %2; %3").arg(sourceOf(relay.feed()), reason, stillServing(relay)),
            true);
        // Served again after a failure: say so again.
        log.state(QStringLiteral("feed"), QString(), QString(), false);
    });
}

void reportQuotes(const QuoteSource& source, ServiceLog& log) {
    QObject::connect(
        &source, &QuoteSource::answered, &source, [&log](const QString& symbol, const QuoteFailure& failure) {
            const QString topic = QStringLiteral("quote ") + symbol;
            if (failure.kind == QuoteFailure::Kind::None) {
                log.state(topic, QString(), QStringLiteral("quotes of %1 from the provider again").arg(symbol), false);
                return;
            }
            const QString reason = quoteFailureText(failure, QuoteSource::Timeout, QuoteSource::MaxAnswerBytes);
            log.state(topic, reason, QStringLiteral("no quote of %1 from the provider: %2").arg(symbol, reason), true);
        });
}

void holdAnswersForFirstReading(LocalService& service, const FeedRelay& relay, std::chrono::milliseconds longest) {
    service.setAnswering(false);
    QObject::connect(
        &relay, &FeedRelay::readingFinished, &service, [&service] { service.setAnswering(true); },
        Qt::SingleShotConnection);
    QTimer::singleShot(longest, &service, [&service] { service.setAnswering(true); });
}
