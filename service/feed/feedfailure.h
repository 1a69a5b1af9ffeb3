// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QMetaType>
#include <QString>

#include <chrono>

// Why a reading of the feed gave the service nothing to serve. It stays a value until it
// is printed: feedFailureText() words it for the service's log.
struct FeedFailure {
    enum class Kind {
        Unreachable,    // refused, host not found, unreachable
        TimedOut,       // no complete answer within the time-out
        TooLarge,       // the document is larger than the size cap
        Redirect,       // too many redirects, or one from https to http
        Interrupted,    // the transfer broke off
        HttpStatus,     // the server answered with a status other than 2xx
        FileUnreadable, // the local file cannot be opened or read
        Empty,          // the document is empty
        NotXml,         // the document does not begin with markup: no XML at all
        NotWellFormed,  // the document is not well-formed XML
        NotAFeed,       // the document is neither RSS nor Atom
        NoItems,        // the feed has no items
        NothingToShow,  // no item has a title the bar can show
    };
    Kind kind;
    int status = 0; // HttpStatus: the status the server answered with
    // What completes the text: the network library's or the server's words, the file's
    // name and error, the XML error with its line and column, the root element's name.
    QString detail;
};
Q_DECLARE_METATYPE(FeedFailure)

// One line in English, for the service's log; `timeout` and `maxBytes` are the limits the
// feed was fetched with.
QString feedFailureText(const FeedFailure& failure, std::chrono::milliseconds timeout, qint64 maxBytes);

// A fault of a feed document that was read all the same, for the service's log.
struct FeedWarning {
    enum class Kind {
        InvalidBytes,    // bytes not valid in the document's encoding, read as Windows-1252
        UnknownEncoding, // an encoding this system does not know: read as Windows-1252
    };
    Kind kind;
    QString encoding; // as the document or the server named it
    qint64 line = 0;  // InvalidBytes: where the first such byte is, from 1
    qint64 column = 0;
    friend bool operator==(const FeedWarning&, const FeedWarning&) = default;
};

// One line in English, for the service's log.
QString feedWarningText(const FeedWarning& warning);
