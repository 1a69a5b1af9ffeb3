// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
// The intraday chart of one symbol, drawn into the applet's area of the chart page.
// Called through window.runApplet(area, width, height, params) with the applet element's
// size and its <param> values; asks the data host named by ASCIISERVER for the day's
// series of SYMBOL and draws it as a line with its price and time axes, the last price
// and its change from the previous close. Nothing else is requested.
//
// LiveChartsMath holds what the drawing computes, without a page: scales, ticks, labels
// and the data's address. It is tested on its own; the drawing below only paints.
var LiveChartsMath = (function() {
    'use strict';

    // However the numbers come, an axis never has more marks than this.
    var MaxTicks = 12;

    function two(n) { return (n < 10 ? '0' : '') + n; }

    // "15:35": the time of `seconds` (since 1970, UTC) on a clock `utcOffset` seconds ahead.
    function clock(seconds, utcOffset) {
        var d = new Date((seconds + utcOffset) * 1000);
        if (isNaN(d.getTime()))
            return '--:--';
        return two(d.getUTCHours()) + ':' + two(d.getUTCMinutes());
    }

    // "21034,25": two decimals and a decimal comma, as the bar writes prices.
    function decimal(n) { return isFinite(n) ? n.toFixed(2).replace('.', ',') : '-'; }

    // About five round steps (1, 2, 2.5 or 5 times a power of ten) across `range`.
    function priceStep(range) {
        var raw = range / 5;
        var power = Math.pow(10, Math.floor(Math.log(raw) / Math.LN10));
        var steps = [1, 2, 2.5, 5, 10];
        for (var i = 0; i < steps.length; ++i)
            if (steps[i] * power >= raw)
                return steps[i] * power;
        return 10 * power;
    }

    // The prices to mark between `low` and `high`: round steps, at most MaxTicks of them,
    // none when the numbers allow no distinct marks (a step lost in rounding, infinities).
    function priceTicks(low, high) {
        var ticks = [];
        var step = priceStep(high - low);
        if (!isFinite(step) || step <= 0)
            return ticks;
        for (var p = Math.ceil(low / step) * step; p <= high && ticks.length < MaxTicks; p += step) {
            if (ticks.length && p === ticks[ticks.length - 1])
                break;
            ticks.push(p);
        }
        return ticks;
    }

    // The times to mark from `first` to `last` (seconds since 1970): whole quarters, halves,
    // hours ... of the clock `utcOffset` seconds ahead, at most seven of them.
    function timeTicks(first, last, utcOffset) {
        var spans = [300, 900, 1800, 3600, 7200, 10800, 21600];
        var every = 0;
        for (var i = 0; i < spans.length && !every; ++i)
            if ((last - first) / spans[i] <= 7)
                every = spans[i];
        var ticks = [];
        if (!every)
            return ticks;
        for (var t = Math.ceil((first + utcOffset) / every) * every - utcOffset; t <= last && ticks.length < MaxTicks;
             t += every)
            ticks.push(t);
        return ticks;
    }

    // What the plot spans: the prices of the series, the previous close and the last price;
    // the times of the series (or five minutes from the quote's time when it is empty).
    function bounds(data) {
        var prices = data.points.map(function(p) { return p[1]; });
        prices.push(data.previousClose, data.last);
        var low = Math.min.apply(null, prices);
        var high = Math.max.apply(null, prices);
        if (!(high - low >= 1e-9)) {
            low -= 1;
            high += 1;
        }
        var first = data.points.length ? data.points[0][0] : data.time;
        var last = data.points.length ? data.points[data.points.length - 1][0] : data.time;
        if (!(last > first))
            last = first + 300;
        return {low: low, high: high, first: first, last: last};
    }

    // From time and price to the plot's pixels, inside `plot` {left, top, width, height}.
    function scale(range, plot) {
        return {
            x: function(t) { return plot.left + (t - range.first) / (range.last - range.first) * plot.width; },
            y: function(p) { return plot.top + (range.high - p) / (range.high - range.low) * plot.height; }
        };
    }

    // "+12,50 (+0,06%)": the change of the last price from the previous close.
    function changeText(last, previousClose) {
        var sign = last >= previousClose ? '+' : '-';
        var percent = Math.abs(last - previousClose) / previousClose * 100;
        return sign + decimal(Math.abs(last - previousClose)) + ' (' + sign + decimal(percent) + '%)';
    }

    // Where the data of SYMBOL are: on ASCIISERVER (with ASCIIPORT when the server names
    // no port), over `scheme` ("http:" or "https:", as the chart's own script came).
    function dataUrl(params, scheme) {
        var host = params.ASCIISERVER || '';
        if (host.indexOf(':') < 0 && params.ASCIIPORT)
            host += ':' + params.ASCIIPORT;
        return (scheme === 'https:' ? 'https:' : 'http:') + '//' + host +
               '/livecharts/series.json?symbol=' + encodeURIComponent(params.SYMBOL || '');
    }

    function isNumber(n) { return typeof n === 'number' && isFinite(n); }

    function usablePoint(point) {
        return Array.isArray(point) && point.length === 2 && isNumber(point[0]) && isNumber(point[1]);
    }

    // Whether `data` has what the chart draws, every number finite.
    function usable(data) {
        return !!data && isNumber(data.last) && isNumber(data.previousClose) && data.previousClose > 0 &&
               Array.isArray(data.points) && data.points.every(usablePoint) && isNumber(data.time) &&
               isNumber(data.utcOffset) && typeof data.symbol === 'string';
    }

    return {
        clock: clock,
        decimal: decimal,
        priceTicks: priceTicks,
        timeTicks: timeTicks,
        bounds: bounds,
        scale: scale,
        changeText: changeText,
        dataUrl: dataUrl,
        usable: usable
    };
})();

(function() {
'use strict';
if (typeof window === 'undefined')
    return; // read for its functions alone

var M = LiveChartsMath;
var Background = '#ffffff';
var Ink = '#202020';
var Grid = '#e4e4e4';
var Rising = '#008000';
var Falling = '#ff0000';
var Unavailable = 'Dati non disponibili';
var SampleMark = 'ESEMPIO - dati di esempio';
var Margin = {left: 8, right: 64, top: 30, bottom: 22};
var RetryMs = 1000;
var MaxTries = 20;
// The scheme this script came over, which the data are asked over too.
var scheme = document.currentScript ? new URL(document.currentScript.src, location.href).protocol : 'http:';

function message(ctx, width, height, text) {
    ctx.fillStyle = Background;
    ctx.fillRect(0, 0, width, height);
    ctx.strokeStyle = Grid;
    ctx.strokeRect(0.5, 0.5, width - 1, height - 1);
    ctx.fillStyle = Ink;
    ctx.font = '16px sans-serif';
    ctx.textAlign = 'center';
    ctx.textBaseline = 'middle';
    ctx.fillText(text, width / 2, height / 2);
}

function gridLine(ctx, x1, y1, x2, y2) {
    ctx.strokeStyle = Grid;
    ctx.beginPath();
    ctx.moveTo(x1, y1);
    ctx.lineTo(x2, y2);
    ctx.stroke();
}

function drawPriceAxis(ctx, chart) {
    ctx.textAlign = 'left';
    ctx.textBaseline = 'middle';
    M.priceTicks(chart.range.low, chart.range.high).forEach(function(p) {
        var y = Math.round(chart.at.y(p)) + 0.5;
        gridLine(ctx, chart.plot.left, y, chart.plot.left + chart.plot.width, y);
        ctx.fillStyle = Ink;
        ctx.fillText(M.decimal(p), chart.plot.left + chart.plot.width + 4, chart.at.y(p));
    });
}

function drawTimeAxis(ctx, chart, utcOffset) {
    ctx.textAlign = 'center';
    ctx.textBaseline = 'top';
    M.timeTicks(chart.range.first, chart.range.last, utcOffset).forEach(function(t) {
        var x = Math.round(chart.at.x(t)) + 0.5;
        gridLine(ctx, x, chart.plot.top, x, chart.plot.top + chart.plot.height);
        ctx.fillStyle = Ink;
        ctx.fillText(M.clock(t, utcOffset), chart.at.x(t), chart.plot.top + chart.plot.height + 4);
    });
    ctx.strokeStyle = Ink;
    ctx.strokeRect(chart.plot.left + 0.5, chart.plot.top + 0.5, chart.plot.width, chart.plot.height);
}

function drawSeries(ctx, chart, data, colour) {
    ctx.setLineDash([4, 3]); // the previous close
    ctx.strokeStyle = '#808080';
    ctx.beginPath();
    ctx.moveTo(chart.plot.left, chart.at.y(data.previousClose));
    ctx.lineTo(chart.plot.left + chart.plot.width, chart.at.y(data.previousClose));
    ctx.stroke();
    ctx.setLineDash([]);
    ctx.strokeStyle = colour;
    ctx.lineWidth = 2;
    ctx.beginPath();
    data.points.forEach(function(point, i) {
        if (i === 0)
            ctx.moveTo(chart.at.x(point[0]), chart.at.y(point[1]));
        else
            ctx.lineTo(chart.at.x(point[0]), chart.at.y(point[1]));
    });
    ctx.stroke();
}

// Symbol, last price, change and time above the plot.
function drawHeading(ctx, width, data, colour) {
    ctx.textAlign = 'left';
    ctx.textBaseline = 'middle';
    ctx.font = 'bold 13px sans-serif';
    ctx.fillStyle = Ink;
    var heading = data.symbol + '  ' + M.decimal(data.last);
    ctx.fillText(heading, Margin.left, Margin.top / 2);
    ctx.fillStyle = colour;
    ctx.fillText(M.changeText(data.last, data.previousClose), Margin.left + ctx.measureText(heading + '  ').width,
                 Margin.top / 2);
    ctx.font = '11px sans-serif';
    ctx.fillStyle = Ink;
    ctx.textAlign = 'right';
    ctx.fillText(M.clock(data.time, data.utcOffset) + ' ET', width - 4, Margin.top / 2);
}

function drawSampleMark(ctx, plot) {
    ctx.save();
    ctx.font = 'bold 40px sans-serif';
    ctx.fillStyle = 'rgba(192, 0, 0, 0.25)';
    ctx.textAlign = 'center';
    ctx.textBaseline = 'middle';
    ctx.fillText('ESEMPIO', plot.left + plot.width / 2, plot.top + plot.height / 2);
    ctx.font = 'bold 12px sans-serif';
    ctx.fillStyle = '#c00000';
    ctx.fillText(SampleMark, plot.left + plot.width / 2, plot.top + plot.height / 2 + 30);
    ctx.restore();
}

function draw(ctx, width, height, data) {
    var plot = {
        left: Margin.left,
        top: Margin.top,
        width: width - Margin.left - Margin.right,
        height: height - Margin.top - Margin.bottom
    };
    var range = M.bounds(data);
    var chart = {plot: plot, range: range, at: M.scale(range, plot)};
    var colour = data.last >= data.previousClose ? Rising : Falling;
    ctx.fillStyle = Background;
    ctx.fillRect(0, 0, width, height);
    ctx.font = '11px sans-serif';
    ctx.lineWidth = 1;
    drawPriceAxis(ctx, chart);
    drawTimeAxis(ctx, chart, data.utcOffset);
    drawSeries(ctx, chart, data, colour);
    drawHeading(ctx, width, data, colour);
    if (data.sample)
        drawSampleMark(ctx, plot);
}

// The page is named after what the chart shows.
function fail(ctx, width, height) {
    message(ctx, width, height, Unavailable);
    document.title = Unavailable;
}

function show(ctx, width, height, request) {
    var data = null;
    try {
        data = request.status === 200 ? JSON.parse(request.responseText) : null;
    } catch (e) {
        data = null;
    }
    if (!M.usable(data))
        return fail(ctx, width, height);
    draw(ctx, width, height, data);
    document.title = data.symbol;
}

function ask(ctx, width, height, url, tries) {
    var request = new XMLHttpRequest();
    request.open('GET', url);
    request.timeout = 15000;
    request.onload = function() {
        // 503: the data are on their way; asked again a moment later.
        if (request.status === 503 && tries + 1 < MaxTries)
            setTimeout(function() { ask(ctx, width, height, url, tries + 1); }, RetryMs);
        else
            show(ctx, width, height, request);
    };
    request.onerror = request.ontimeout = function() { fail(ctx, width, height); };
    request.send();
}

window.runApplet = function(area, width, height, params) {
    var canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    canvas.style.display = 'block';
    area.appendChild(canvas);
    ask(canvas.getContext('2d'), width, height, M.dataUrl(params, scheme), 0);
};
})();
