// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
// Runs the applets of a page without Java: for each <applet> element, the script that its
// codebase serves in place of the class ("livecharts.LiveChartsV3.class" is served as
// "livecharts.LiveChartsV3.js") is loaded and called as
//   window.runApplet(area, width, height, params)
// with an area of the applet's size put in the applet's place, and the values of its
// <param> elements by name. An applet whose script does not load, or defines no
// runApplet, leaves the page as it is; one that throws says so on the console. Applets run
// one after the other, and each one once: a browser engine running in one process may
// inject this script into a page more than once.
(function() {
'use strict';
var applets = Array.prototype.filter.call(document.getElementsByTagName('applet'), function(applet) {
    if (applet.hasAttribute('data-shim-run'))
        return false;
    applet.setAttribute('data-shim-run', '');
    return true;
});

function size(applet, name) {
    var value = parseInt(applet.getAttribute(name), 10);
    return value > 0 && value <= 4096 ? value : 0;
}

function run(index) {
    if (index >= applets.length)
        return;
    var applet = applets[index];
    var next = function() { run(index + 1); };
    var code = applet.getAttribute('code') || '';
    var codebase = (applet.getAttribute('codebase') || '').replace(/\/+$/, '');
    var width = size(applet, 'width');
    var height = size(applet, 'height');
    if (!/\.class$/.test(code) || !width || !height) {
        next();
        return;
    }

    var params = {};
    Array.prototype.forEach.call(
        applet.getElementsByTagName('param'),
        function(param) { params[param.getAttribute('name')] = param.getAttribute('value') || ''; });

    window.runApplet = undefined;
    var script = document.createElement('script');
    script.src = codebase + '/' + code.replace(/\.class$/, '.js');
    script.onload = function() {
        var runApplet = window.runApplet;
        window.runApplet = undefined;
        if (typeof runApplet === 'function') {
            var area = document.createElement('div');
            area.style.width = width + 'px';
            area.style.height = height + 'px';
            area.style.display = 'inline-block';
            applet.parentNode.insertBefore(area, applet);
            try {
                runApplet(area, width, height, params);
            } catch (e) {
                // The page stays as it is; whoever looks at the console learns why.
                console.error('applet ' + code + ': ' + (e && e.stack ? e.stack : e));
            }
        }
        next();
    };
    script.onerror = next;
    (document.head || document.documentElement).appendChild(script);
}
run(0);
})();
