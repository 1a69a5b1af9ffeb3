// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/feed/feedchoice.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

std::optional<QUrl> feedAddress(const QString& text, const QString& base, FeedAddressProblem* problem) {
    const QString trimmed = text.trimmed();
    const bool hasScheme = trimmed.contains(QStringLiteral("://"));
    const QString scheme = trimmed.section(QStringLiteral("://"), 0, 0).toLower();
    if (hasScheme && (scheme == u"http" || scheme == u"https")) {
        const QUrl url(trimmed, QUrl::StrictMode);
        if (url.isValid() && !url.host().isEmpty())
            return url;
        *problem = FeedAddressProblem::InvalidUrl;
        return std::nullopt;
    }
    if (hasScheme && scheme != u"file") {
        *problem = FeedAddressProblem::UnsupportedScheme;
        return std::nullopt;
    }
    // A path as it is, or a file: URL. "C:\feeds\rss.xml" is a path, not a URL.
    const QString path = hasScheme ? QUrl(trimmed).toLocalFile() : trimmed;
    if (path.isEmpty()) {
        *problem = FeedAddressProblem::NoFile;
        return std::nullopt;
    }
    return QUrl::fromLocalFile(QFileInfo(QDir(base), path).absoluteFilePath());
}

QString feedAddressProblemText(FeedAddressProblem problem, const QString& given) {
    switch (problem) {
    case FeedAddressProblem::None:
        break;
    case FeedAddressProblem::InvalidUrl:
        return QStringLiteral("invalid feed URL '%1'").arg(given);
    case FeedAddressProblem::UnsupportedScheme:
        return QStringLiteral("unsupported feed URL '%1': expected http, https or a file").arg(given);
    case FeedAddressProblem::NoFile:
        return QStringLiteral("feed file '%1' not found").arg(given);
    }
    return {};
}

QString configuredFeed(QStringView configText) {
    QString feed;
    for (const QStringView line : configText.split(u'\n')) {
        const QStringView text = line.trimmed();
        if (text.startsWith(u'#') || text.startsWith(u';'))
            continue;
        const qsizetype equals = text.indexOf(u'=');
        if (equals > 0 && text.left(equals).trimmed() == u"feed")
            feed = text.mid(equals + 1).trimmed().toString();
    }
    return feed;
}

FeedChoice chooseFeeds(bool sample, const std::optional<QUrl>& commandLineFeed, const QString& environment,
                       const QString& configText, const QString& configFile) {
    if (sample)
        return {{}, QStringLiteral("--sample")};
    if (commandLineFeed)
        return {{*commandLineFeed}, QStringLiteral("--feed")};
    const auto chosen = [](const QString& text, const QString& base, const QString& origin) {
        FeedChoice choice{{}, origin, FeedAddressProblem::None, text};
        if (const auto url = feedAddress(text, base, &choice.problem))
            choice.feeds = {*url};
        return choice;
    };
    if (!environment.trimmed().isEmpty())
        return chosen(environment, QDir::currentPath(), QString::fromLatin1(FeedVariable));
    const QString configured = configuredFeed(configText);
    if (!configured.isEmpty())
        return chosen(configured, QFileInfo(configFile).absolutePath(), configFile);
    return {DefaultFeeds, QStringLiteral("default")};
}

QString userConfigFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/zefirina/zefirina.conf");
}
