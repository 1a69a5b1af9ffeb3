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
