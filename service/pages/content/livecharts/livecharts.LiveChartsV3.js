// The intraday chart of one symbol, drawn into the applet's area of the chart page.
// Called through window.runApplet(area, width, height, params) with the applet element's
// size and its <param> values; asks the data host named by ASCIISERVER for the day's
// series of SYMBOL and draws it as a line with its price and time axes, the last price
// and its change from the previous close. Nothing else is requested.
(function () {
  'use strict';

  var Background = '#ffffff';
  var Ink = '#202020';
  var Grid = '#e4e4e4';
  var Rising = '#008000';
  var Falling = '#ff0000';
  var Unavailable = 'Dati non disponibili';
  var SampleMark = 'ESEMPIO - dati di esempio';
  var Margin = { left: 8, right: 64, top: 30, bottom: 22 };
  var RetryMs = 1000;
  var MaxTries = 20;
  // Marks on an axis, at most: a step below the rounding of its numbers adds nothing.
  var MaxMarks = 12;

  function two(n) { return (n < 10 ? '0' : '') + n; }

  // "15:35", New York time.
  function clock(seconds, utcOffset) {
    var d = new Date((seconds + utcOffset) * 1000);
    return two(d.getUTCHours()) + ':' + two(d.getUTCMinutes());
  }

  function decimal(n) { return n.toFixed(2).replace('.', ','); }

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

  // About five round steps between low and high.
  function priceStep(range) {
    var raw = range / 5;
    var power = Math.pow(10, Math.floor(Math.log(raw) / Math.LN10));
    var steps = [1, 2, 2.5, 5, 10];
    for (var i = 0; i < steps.length; ++i)
      if (steps[i] * power >= raw) return steps[i] * power;
    return 10 * power;
  }

  function draw(ctx, width, height, data) {
    var points = data.points;
    var prices = points.map(function (p) { return p[1]; });
    prices.push(data.previousClose, data.last);
    var low = Math.min.apply(null, prices);
    var high = Math.max.apply(null, prices);
    if (high - low < 1e-9) { low -= 1; high += 1; }
    var first = points.length ? points[0][0] : data.time;
    var last = points.length ? points[points.length - 1][0] : data.time;
    if (last <= first) last = first + 300;

    var plotW = width - Margin.left - Margin.right;
    var plotH = height - Margin.top - Margin.bottom;
    function x(t) { return Margin.left + (t - first) / (last - first) * plotW; }
    function y(p) { return Margin.top + (high - p) / (high - low) * plotH; }

    ctx.fillStyle = Background;
    ctx.fillRect(0, 0, width, height);
    ctx.font = '11px sans-serif';
    ctx.lineWidth = 1;

    // Price axis on the right, with its grid.
    var step = priceStep(high - low);
    ctx.textAlign = 'left';
    ctx.textBaseline = 'middle';
    var firstMark = Math.ceil(low / step) * step;
    for (var k = 0, p = firstMark; k < MaxMarks && p <= high; p = firstMark + ++k * step) {
      ctx.strokeStyle = Grid;
      ctx.beginPath();
      ctx.moveTo(Margin.left, Math.round(y(p)) + 0.5);
      ctx.lineTo(Margin.left + plotW, Math.round(y(p)) + 0.5);
      ctx.stroke();
      ctx.fillStyle = Ink;
      ctx.fillText(decimal(p), Margin.left + plotW + 4, y(p));
    }

    // Time axis below, a mark every round number of minutes, at most seven marks.
    ctx.textAlign = 'center';
    ctx.textBaseline = 'top';
    var spans = [300, 900, 1800, 3600, 7200, 10800, 21600];
    var every = spans[spans.length - 1];
    for (var i = spans.length - 1; i >= 0 && (last - first) / spans[i] <= 7; --i) every = spans[i];
    var firstTime = Math.ceil((first + data.utcOffset) / every) * every - data.utcOffset;
    for (var m = 0, t = firstTime; m < MaxMarks && t <= last; t = firstTime + ++m * every) {
      ctx.strokeStyle = Grid;
      ctx.beginPath();
      ctx.moveTo(Math.round(x(t)) + 0.5, Margin.top);
      ctx.lineTo(Math.round(x(t)) + 0.5, Margin.top + plotH);
      ctx.stroke();
      ctx.fillStyle = Ink;
      ctx.fillText(clock(t, data.utcOffset), x(t), Margin.top + plotH + 4);
    }
    ctx.strokeStyle = Ink;
    ctx.strokeRect(Margin.left + 0.5, Margin.top + 0.5, plotW, plotH);

    // The previous close, dashed.
    ctx.setLineDash([4, 3]);
    ctx.strokeStyle = '#808080';
    ctx.beginPath();
    ctx.moveTo(Margin.left, y(data.previousClose));
    ctx.lineTo(Margin.left + plotW, y(data.previousClose));
    ctx.stroke();
    ctx.setLineDash([]);

    var up = data.last >= data.previousClose;
    ctx.strokeStyle = up ? Rising : Falling;
    ctx.lineWidth = 2;
    ctx.beginPath();
    points.forEach(function (point, i) {
      if (i === 0) ctx.moveTo(x(point[0]), y(point[1]));
      else ctx.lineTo(x(point[0]), y(point[1]));
    });
    ctx.stroke();

    // Heading: symbol, last price, change and time.
    var change = (data.last - data.previousClose) / data.previousClose * 100;
    ctx.textAlign = 'left';
    ctx.textBaseline = 'middle';
    ctx.font = 'bold 13px sans-serif';
    ctx.fillStyle = Ink;
    var heading = data.symbol + '  ' + decimal(data.last);
    ctx.fillText(heading, Margin.left, Margin.top / 2);
    var headingWidth = ctx.measureText(heading + '  ').width;
    ctx.fillStyle = up ? Rising : Falling;
    ctx.fillText((up ? '+' : '-') + decimal(Math.abs(data.last - data.previousClose)) + ' (' +
                 (up ? '+' : '-') + decimal(Math.abs(change)) + '%)', Margin.left + headingWidth, Margin.top / 2);
    ctx.font = '11px sans-serif';
    ctx.fillStyle = Ink;
    ctx.textAlign = 'right';
    ctx.fillText(clock(data.time, data.utcOffset) + ' ET', width - 4, Margin.top / 2);

    if (data.sample) {
      ctx.save();
      ctx.font = 'bold 40px sans-serif';
      ctx.fillStyle = 'rgba(192, 0, 0, 0.25)';
      ctx.textAlign = 'center';
      ctx.textBaseline = 'middle';
      ctx.fillText('ESEMPIO', Margin.left + plotW / 2, Margin.top + plotH / 2);
      ctx.font = 'bold 12px sans-serif';
      ctx.fillStyle = '#c00000';
      ctx.fillText(SampleMark, Margin.left + plotW / 2, Margin.top + plotH / 2 + 30);
      ctx.restore();
    }
  }

  function dataUrl(params) {
    var host = params.ASCIISERVER || '';
    if (host.indexOf(':') < 0 && params.ASCIIPORT) host += ':' + params.ASCIIPORT;
    return 'http://' + host + '/livecharts/series.json?symbol=' + encodeURIComponent(params.SYMBOL || '');
  }

  function usable(data) {
    return data && typeof data.last === 'number' && typeof data.previousClose === 'number' &&
      data.previousClose > 0 && Array.isArray(data.points) && typeof data.time === 'number' &&
      typeof data.utcOffset === 'number' && typeof data.symbol === 'string';
  }

  window.runApplet = function (area, width, height, params) {
    var canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    canvas.style.display = 'block';
    area.appendChild(canvas);
    var ctx = canvas.getContext('2d');
    var url = dataUrl(params);

    // The page is named after what the chart shows.
    function fail() {
      message(ctx, width, height, Unavailable);
      document.title = Unavailable;
    }

    function ask(tries) {
      var request = new XMLHttpRequest();
      request.open('GET', url);
      request.timeout = 15000;
      request.onload = function () {
        // 503: the data are on their way; asked again a moment later.
        if (request.status === 503 && tries + 1 < MaxTries) {
          setTimeout(function () { ask(tries + 1); }, RetryMs);
          return;
        }
        var data = null;
        try { data = request.status === 200 ? JSON.parse(request.responseText) : null; } catch (e) { data = null; }
        if (usable(data)) {
          draw(ctx, width, height, data);
          document.title = data.symbol;
        } else {
          fail();
        }
      };
      request.onerror = fail;
      request.ontimeout = fail;
      request.send();
    }
    ask(0);
  };
})();
