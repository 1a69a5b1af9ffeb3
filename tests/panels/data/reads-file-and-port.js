// In the applet's place: tries to read the file %1 and the server at %2, and names the
// page with what it got.
window.runApplet = function() {
    var got = {};
    function tell(what, text) {
        got[what] = what + ':' + text;
        if (got.file && got.port)
            document.title = got.file + ' ' + got.port;
    }
    fetch('%1')
        .then(function(r) { return r.text(); })
        .then(function(t) { tell('file', t); }, function() { tell('file', 'refused'); });
    var request = new XMLHttpRequest();
    request.onload = function() { tell('port', request.responseText); };
    request.onerror = function() { tell('port', 'refused'); };
    request.open('GET', 'http://%2/');
    request.send();
};
