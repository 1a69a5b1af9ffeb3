// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <QUrl>

#include <optional>

// Which feeds the service reads, in the order it tries them. The first of these that is
// given wins: --sample (no feed: the sample news), --feed, the environment variable
// ZEFIRINA_FEED, the line "feed = URL|FILE" of the user's configuration file, the default
// feeds. A feed given by the user is read alone; the default feeds are tried in turn.

// Why a feed as the user wrote it cannot be read.
enum class FeedAddressProblem {
    None,
    InvalidUrl,        // an http or https URL without a host, or not a URL
    UnsupportedScheme, // a URL of another scheme than http, https or file
    NoFile,            // a file that does not exist or is not a readable file
};

// One line in English about `given`, for the service's log.
QString feedAddressProblemText(FeedAddressProblem problem, const QString& given);

struct FeedChoice {
    QList<QUrl> feeds; // empty: serve the sample news
    QString origin;    // where the choice came from, for the service's first message
    // Why the feed the user chose (`given`) cannot be read; the sample news then.
    FeedAddressProblem problem = FeedAddressProblem::None;
    QString given = {};
};

// The news service's latest-news page as RSS, then the broadcaster's all-news feed.
inline const QList<QUrl> DefaultFeeds{
    QUrl(QStringLiteral("https://www.servizitelevideo.rai.it/televideo/pub/rss101.xml")),
    QUrl(QStringLiteral("https://www.rainews.it/rss/tutti"))};

inline constexpr char FeedVariable[] = "ZEFIRINA_FEED";

// A feed as a user writes it: an http or https URL, a file: URL, or a path, relative ones
// taken from `base`. Nothing, with `problem` set, for another scheme or a URL without host.
std::optional<QUrl> feedAddress(const QString& text, const QString& base, FeedAddressProblem* problem);

// The value of the last "feed = ..." line of a configuration file; empty when none.
// Lines starting with '#' or ';' are comments; blanks around the '=' do not count.
QString configuredFeed(QStringView configText);

// `commandLineFeed` as read by ServiceCommandLine; the other texts as found, empty when
// not set. A relative path in the configuration file is taken from the file's folder.
FeedChoice chooseFeeds(bool sample, const std::optional<QUrl>& commandLineFeed, const QString& environment,
                       const QString& configText, const QString& configFile);

// The user's configuration file: zefirina/zefirina.conf in the per-user configuration
// folder (~/.config on Linux, %LOCALAPPDATA% on Windows).
QString userConfigFile();
