// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "common/serviceaccess.h"
#include "net/httpfetch.h"
#include "panels/browserlink.h"
#include "service/http/localservice.h"

#include "browserstandin.h"

#include <QDesktopServices>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

// Pages of the user's own service opened in the browser, which has no key: the news site's
// home page leads the browser straight to the feed's site, whatever the service tells a
// caller without the key.
class TestBrowserLink : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void opensWhereTheServiceLeads_data() {
        QTest::addColumn<bool>("keyed");   // the program knows the service's key
        QTest::addColumn<QString>("site"); // the feed's own site; empty: the sample news
        QTest::addColumn<QString>("opened");

        QTest::newRow("feed of the user's own")
            << true << u"https://notizie.example.org/"_s << u"https://notizie.example.org/"_s;
        QTest::newRow("sample news") << true << QString() << u"HOME"_s;
        QTest::newRow("a service without a key") << false << u"https://notizie.example.org/"_s << u"HOME"_s;
    }
    void opensWhereTheServiceLeads() {
        QFETCH(bool, keyed);
        QFETCH(QString, site);
        QFETCH(QString, opened);
        LocalService service;
        QVERIFY(service.start(QHostAddress::LocalHost, 0));
        const QByteArray key = "0123456789abcdef0123456789abcdef";
        service.requireKey(key, false);
        HttpFetch::setServiceKey(service.port(), keyed ? key : QByteArray());
        if (!site.isEmpty()) {
            FeedItem item{u"1"_s, {}, u"Titolo"_s, u"Testo."_s, {}};
            QVERIFY(service.newsPublisher().publish(FeedReading{{item}, std::nullopt, site}));
        }
        const QUrl home(u"http://127.0.0.1:%1/"_s.arg(service.port()));
        BrowserStandIn browser;
        QDesktopServices::setUrlHandler(u"http"_s, &browser, "open");
        QDesktopServices::setUrlHandler(u"https"_s, &browser, "open");
        BrowserLink link;
        QSignalSpy done(&link, &BrowserLink::opened);
        link.open(home);
        QTRY_COMPARE(done.size(), 1);
        QCOMPARE(browser.opened, QList<QUrl>{opened == u"HOME" ? home : QUrl(opened)});
    }
};

QTEST_MAIN(TestBrowserLink)
#include "tst_browserlink.moc"
