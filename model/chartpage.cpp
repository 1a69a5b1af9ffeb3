// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "model/chartpage.h"

#include "common/htmlescape.h"

namespace {
// Printable ASCII but the characters HTML gives a meaning. Control characters are escaped
// too: a symbol file that ends in a line break must not split the page's SYMBOL line.
bool plainInAttribute(char32_t c) {
    return c >= 0x20 && c < 0x7F && c != U'&' && c != U'\'' && c != U'"' && c != U'<' && c != U'>';
}

// `host` as written in the hosts ("name" or "name:port") serves `url`.
bool serves(const QString& host, const QUrl& url) {
    const QUrl served(QStringLiteral("http://") + host);
    if (!served.isValid() || served.host() != url.host())
        return false;
    const int port = url.port(url.scheme() == u"https" ? 443 : 80);
    return served.port() < 0 ? port == 80 || port == 443 : port == served.port();
}
} // namespace

QUrl chartPageAddress(const ServiceHosts& hosts) {
    return QUrl(QStringLiteral("http://%1/livecharts/%2").arg(hosts.chartApplet, ChartPageFileName));
}

bool chartPageMayRequest(const ServiceHosts& hosts, const QUrl& url) {
    const QString scheme = url.scheme();
    if (scheme == u"data" || scheme == u"blob")
        return true;
    return (scheme == u"http" || scheme == u"https") &&
           (serves(hosts.chartApplet, url) || serves(hosts.chartData, url));
}

QByteArray chartPageText(const ServiceHosts& hosts, const QString& symbol) {
    static const char* const lines[] = {
        "<applet codebase='http://{applet}/livecharts' code='livecharts.LiveChartsV3.class' "
        "archive='LiveChartsV3.jar' Name = 'LiveCharts' id='LiveCharts' width='610' height='337' "
        "mayscript='MAYSCRIPT'>",
        "<param name='ISFREE' value='1' />",
        "<param name='HelpURL' "
        "value='http://{help}/LycosHelp/help/financewebsite/htdocs/financewebsite_form.htm' />",
        "<param name='SymURL' value='http://{quote}/qc/lookup/symbol_search.aspx?boards=0' />",
        "<param name='WaterMark' value='http://{applet}/livecharts/LCWatermark.gif' />",
        "<param name='NavBar' value='http://{quote}/qc/livecharts/navbar.aspx?symbols=' />",
        "<param name='SymbolChange' value='1' />",
        "<param name='ASCIISERVER' value='{data}' />",
        "<param name='ASCIIPORT' value='80' />",
        "<param name='User' value='qmzr' />",
        "<param name='Pswd' value='qmzr' />",
        "<param name='SYMBOL' value='{symbol}' />",
        "<param name='AdImageURL' value='http://{applet}/livecharts/ad.gif' />",
        "<param name='AdLinkURL' value='http://{quote}/qc/subs/qmetastock.aspx' />",
        "<param name='SMALLCHART' "
        "value='http://{quote}/qc/livecharts/default.aspx?wd=640&amp;ht=424&amp;symbols=,_blank' />",
        "<param name='MEDCHART' "
        "value='http://{quote}/qc/livecharts/default.aspx?wd=710&amp;ht=400&amp;symbols=,_blank' />",
        "<param name='BIGCHART' "
        "value='http://{quote}/qc/livecharts/default.aspx?wd=910&amp;ht=500&amp;symbols=,_blank' />",
        "<param name='irritantURL' value='http://{quote}/qc/livecharts/ot_timedout.html?timeout=100' />",
        "</applet>",
    };
    const QString escapedSymbol = escapedHtml(symbol, plainInAttribute, HtmlReferences::Named);
    QByteArray page;
    for (const char* line : lines) {
        const QString text = QString::fromLatin1(line)
                                 .replace(QStringLiteral("{applet}"), hosts.chartApplet)
                                 .replace(QStringLiteral("{help}"), hosts.chartHelp)
                                 .replace(QStringLiteral("{quote}"), hosts.quote)
                                 .replace(QStringLiteral("{data}"), hosts.chartData)
                                 .replace(QStringLiteral("{symbol}"), escapedSymbol);
        page += "  " + text.toLatin1() + "\r\n";
    }
    return page;
}
