// The viewer page's script. Spectators open the viewer page "index.htm"; this script keeps
// reloading the data page "Velmora.htm" of the same folder in a small child frame, shows the
// picture that the newest good data page names, marks the presenter's pointer on it, and takes
// the spectator to the presenter's homepage when the presentation ends.
//
// The build puts this file on one line of the viewer page: end every statement with ";", keep
// comments on lines of their own, and use 7-bit ASCII only. No closing tags inside strings.
var velmoraViewer = (function () {
  var defaultRefreshMs = 2000;
  // A tiny interval from the settings must not hammer the presenter's server.
  var minRefreshMs = 250;
  var refreshMs = defaultRefreshMs;
  var frame = null;
  var stage = null;
  var picture = null;
  var marker = null;
  var reloadTimer = null;
  var requestCount = 0;
  var loadSerial = 0;
  var shownSerial = 0;
  var shownKey = '';
  var wantedKey = '';
  var seenRunning = false;
  var ended = false;

  function uniqueQuery() {
    requestCount += 1;
    return '?t=' + new Date().getTime() + '-' + requestCount;
  }

  // The values of the data page in the frame, or null while the frame holds no complete,
  // well-formed data page (half uploaded, missing, an error page of the server).
  function readData() {
    try {
      var win = frame.contentWindow;
      if (!win || win.document.getElementsByTagName('span').length === 0) {
        return null;
      }
      var bild = win.iBild;
      var nr = win.iNr;
      var time = win.iTime;
      var site = win.iSite;
      var x = win.iMouseX;
      var y = win.iMouseY;
      var refresh = win.iRefresh;
      if (typeof bild !== 'string' || !/^[0-9]+$/.test(bild)) {
        return null;
      }
      if (typeof nr !== 'string' || !/^-?[0-9]+$/.test(nr)) {
        return null;
      }
      if (typeof time !== 'string' || typeof site !== 'string') {
        return null;
      }
      if (typeof x !== 'number' || typeof y !== 'number' || typeof refresh !== 'number') {
        return null;
      }
      if (!isFinite(x) || !isFinite(y) || !isFinite(refresh)) {
        return null;
      }
      return {bild: bild, nr: parseInt(nr, 10), time: time, site: site, x: x, y: y,
              refresh: refresh};
    } catch (e) {
      return null;
    }
  }

  // Where the end of the presentation leads, or '' to stay. Only web addresses are followed: a
  // homepage text such as "javascript:..." must not run in the spectator's browser. An empty
  // homepage field is stored as "http://", a scheme without a host, which names no page.
  function homepageAddress(site) {
    var s = site.replace(/^\s+|\s+$/g, '');
    if (s === '' || /^https?:\/\/$/i.test(s)) {
      return '';
    }
    if (/^https?:\/\//i.test(s)) {
      return s;
    }
    var scheme = /^([a-z][a-z0-9+.\-]*):/i.exec(s);
    if (scheme && scheme[1].indexOf('.') < 0) {
      return '';
    }
    return 'http://' + s;
  }

  function placeMarker(x, y, width, height) {
    // The capture has moved the position by (-4, -9): the marker's top left corner goes there,
    // and the centre of its cross, 4 to the right and 9 down, sits on the pointer itself.
    var hotX = x + 4;
    var hotY = y + 9;
    var hidden = (x === 0 && y === 0) || hotX < 0 || hotY < 0 || hotX >= width || hotY >= height;
    marker.style.left = x + 'px';
    marker.style.top = y + 'px';
    marker.style.display = hidden ? 'none' : 'block';
  }

  function forget(key) {
    if (wantedKey === key) {
      wantedKey = '';
    }
  }

  function show(img, data, key, serial) {
    if (ended || serial < shownSerial || !(img.naturalWidth > 0)) {
      forget(key);
      return;
    }
    shownSerial = serial;
    shownKey = key;
    forget(key);
    img.id = 'velmoraPicture';
    img.setAttribute('data-picture', data.bild);
    img.setAttribute('data-counter', String(data.nr));
    stage.replaceChild(img, picture);
    picture = img;
    placeMarker(data.x, data.y, img.naturalWidth, img.naturalHeight);
  }

  // The new picture is fetched aside and swapped in only once it is complete, so spectators
  // never see half a picture; the unique query keeps caches from handing out an old one.
  function loadPicture(data, key) {
    loadSerial += 1;
    var serial = loadSerial;
    var img = document.createElement('img');
    img.alt = '';
    img.style.display = 'block';
    img.onload = function () {
      var done = function () {
        show(img, data, key, serial);
      };
      if (img.decode) {
        img.decode().then(done, function () {
          forget(key);
        });
      } else {
        done();
      }
    };
    img.onerror = function () {
      forget(key);
    };
    img.src = 'Velmora' + data.bild + '.png' + uniqueQuery();
  }

  // False when the browser refuses the address; the spectator then stays as without a homepage
  // rather than on a viewer that has stopped reloading.
  function leaveFor(address) {
    try {
      window.location.href = address;
    } catch (e) {
      return false;
    }
    ended = true;
    clearTimeout(reloadTimer);
    return true;
  }

  // Called by each data page once it has loaded, and by the frame's own load event.
  function imgLoad() {
    if (ended || !frame) {
      return;
    }
    var data = readData();
    if (!data) {
      return;
    }
    refreshMs = Math.max(minRefreshMs, data.refresh);
    // The counter falls back to 0 only when the presenter clears the presentation.
    if (data.nr > 0) {
      seenRunning = true;
    } else if (seenRunning) {
      seenRunning = false;
      var address = homepageAddress(data.site);
      if (address !== '' && leaveFor(address)) {
        return;
      }
      // Nowhere to go: the spectator sees the black pictures of the Clear, and the reloads go on
      // so that the next presentation shows up once its counter rises.
    }
    var key = data.bild + '|' + data.nr + '|' + data.time;
    if (key === shownKey || key === wantedKey) {
      return;
    }
    wantedKey = key;
    loadPicture(data, key);
  }

  function scheduleReload(ms) {
    clearTimeout(reloadTimer);
    reloadTimer = setTimeout(reloadData, ms);
  }

  function reloadData() {
    if (ended) {
      return;
    }
    // Should this load never end (a stalled server), try again after a while.
    scheduleReload(Math.max(10000, refreshMs * 5));
    var address = 'Velmora.htm' + uniqueQuery();
    try {
      // replace() keeps the spectator's history free of every reload.
      frame.contentWindow.location.replace(address);
    } catch (e) {
      frame.src = address;
    }
  }

  function frameLoaded() {
    if (ended) {
      return;
    }
    imgLoad();
    if (!ended) {
      scheduleReload(refreshMs);
    }
  }

  function makeLine(left, top, width, height) {
    var line = document.createElement('div');
    line.style.position = 'absolute';
    line.style.left = left;
    line.style.top = top;
    line.style.width = width;
    line.style.height = height;
    line.style.background = '#FF0000';
    return line;
  }

  function start() {
    document.body.style.margin = '0';
    frame = document.createElement('iframe');
    frame.id = 'velmoraData';
    frame.title = 'Velmora';
    frame.setAttribute('scrolling', 'no');
    frame.style.display = 'block';
    frame.style.border = '0';
    frame.style.width = '100%';
    frame.style.height = '18px';
    stage = document.createElement('div');
    stage.id = 'velmoraStage';
    stage.style.position = 'relative';
    stage.style.display = 'inline-block';
    stage.style.lineHeight = '0';
    picture = document.createElement('span');
    marker = document.createElement('div');
    marker.id = 'velmoraPointer';
    marker.style.position = 'absolute';
    marker.style.display = 'none';
    marker.style.width = '9px';
    marker.style.height = '19px';
    marker.style.boxSizing = 'border-box';
    marker.style.border = '1px solid #FF0000';
    marker.style.pointerEvents = 'none';
    // Inside the 1 pixel border: the cross runs through the marker's pixel (4, 9).
    marker.appendChild(makeLine('0', '8px', '7px', '1px'));
    marker.appendChild(makeLine('3px', '0', '1px', '17px'));
    stage.appendChild(picture);
    stage.appendChild(marker);
    document.body.appendChild(frame);
    document.body.appendChild(stage);
    frame.onload = frameLoaded;
    reloadData();
  }

  return {start: start, imgLoad: imgLoad};
})();
function imgLoad() {
  velmoraViewer.imgLoad();
}
