// The viewer page's script. Spectators open the viewer page "index.htm"; this script keeps
// reloading the data page "Velmora.htm" of the same folder in a small child frame, shows the
// picture that the newest good data page names, scaled down to fit the window, marks the
// presenter's pointer on it, says when the presentation has been out of reach for a while, and
// takes the spectator to the presenter's homepage when the presentation ends.
//
// Addresses are meant for caches in front of the presenter's server: all spectators ask for the
// same data page address within one refresh interval, and a picture's address names its content,
// so it never changes meaning and is fetched once per spectator.
//
// The build puts this file on one line of the viewer page: end every statement with ";", keep
// comments on lines of their own, and use 7-bit ASCII only. No closing tags inside strings.
var velmoraViewer = (function () {
  var defaultRefreshMs = 2000;
  // A tiny interval from the settings must not hammer the presenter's server.
  var minRefreshMs = 250;
  // One slow answer is no outage: only this many intervals without a good data page, and never
  // less than the minimum, count as a lost connection.
  var lostIntervals = 5;
  var minLostMs = 10000;
  var lostText = 'Verbindung zur Pr\u00e4sentation unterbrochen \u2026';
  var refreshMs = defaultRefreshMs;
  var frame = null;
  var stage = null;
  var picture = null;
  var marker = null;
  var note = null;
  var reloadTimer = null;
  var lostTimer = null;
  var loadSerial = 0;
  var shownSerial = 0;
  var shownKey = '';
  var shownData = null;
  var wantedKey = '';
  var wantedData = null;
  var seenRunning = false;
  var ended = false;
  var actualSize = false;

  // The interval's number: the same address for every spectator until the interval ends.
  function dataAddress() {
    return 'Velmora.htm?i=' + Math.floor(new Date().getTime() / refreshMs);
  }

  // The three picture files are used in turn, so the file name alone does not say which picture
  // it holds; the counter and time of the data page that named it do.
  function pictureAddress(data) {
    var time = encodeURIComponent(data.time.replace(/:/g, ''));
    return 'Velmora' + data.bild + '.png?c=' + data.nrText + '-' + time;
  }

  // The values of the data page in the frame, or null while the frame holds no complete,
  // well-formed data page (half uploaded, missing, an error page of the server).
  function readData() {
    try {
      var win = frame.contentWindow;
      if (!win || win.document.getElementsByTagName('span').length === 0) { return null; }
      var bild = win.iBild;
      var nr = win.iNr;
      var time = win.iTime;
      var site = win.iSite;
      var x = win.iMouseX;
      var y = win.iMouseY;
      var refresh = win.iRefresh;
      if (typeof bild !== 'string' || !/^[0-9]+$/.test(bild)) { return null; }
      if (typeof nr !== 'string' || !/^-?[0-9]+$/.test(nr)) { return null; }
      if (typeof time !== 'string' || typeof site !== 'string') { return null; }
      if (typeof x !== 'number' || typeof y !== 'number' ||
          typeof refresh !== 'number') { return null; }
      if (!isFinite(x) || !isFinite(y) || !isFinite(refresh)) { return null; }
      return {bild: bild, nr: parseInt(nr, 10), nrText: nr, time: time, site: site, x: x, y: y,
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
    if (s === '' || /^https?:\/\/$/i.test(s)) { return ''; }
    if (/^https?:\/\//i.test(s)) { return s; }
    var scheme = /^([a-z][a-z0-9+.\-]*):/i.exec(s);
    if (scheme && scheme[1].indexOf('.') < 0) { return ''; }
    return 'http://' + s;
  }

  // scaleX, scaleY: shown size over the picture's own size. The marker keeps its size so that it
  // stays readable on a small picture; the centre of its cross lands on the scaled pointer.
  function placeMarker(x, y, width, height, scaleX, scaleY) {
    // The capture has moved the position by (-4, -9): the marker's top left corner goes there,
    // and the centre of its cross, 4 to the right and 9 down, sits on the pointer itself.
    var hotX = x + 4;
    var hotY = y + 9;
    var hidden = (x === 0 && y === 0) || hotX < 0 || hotY < 0 || hotX >= width || hotY >= height;
    marker.style.left = (Math.floor((hotX + 0.5) * scaleX) - 4) + 'px';
    marker.style.top = (Math.floor((hotY + 0.5) * scaleY) - 9) + 'px';
    marker.style.display = hidden ? 'none' : 'block';
  }

  // The layout viewport, not the visual one: a phone zoomed out, or pinched by the spectator, must
  // not make the picture grow with the zoom. The page has no doctype, so browsers read it in quirks
  // mode, where the body stands for the viewport.
  function viewportBox() {
    return document.compatMode === 'CSS1Compat' ? document.documentElement : document.body;
  }

  // The factor that fits the picture into the window below the caption, never above 1.
  function fitScale(width, height) {
    var roomX = viewportBox().clientWidth;
    var roomY = viewportBox().clientHeight - stage.offsetTop;
    if (!(roomX > 0) || !(roomY > 0)) { return 1; }
    return Math.min(1, roomX / width, roomY / height);
  }

  // Sizes the shown picture for the window (or at its own size when the spectator asked for it)
  // and puts the marker on it.
  function layout() {
    if (!shownData) { return; }
    var width = picture.naturalWidth;
    var height = picture.naturalHeight;
    // Scroll bars only where the picture is meant to be larger than the window.
    document.documentElement.style.overflow = actualSize ? '' : 'hidden';
    var fit = fitScale(width, height);
    var scale = actualSize ? 1 : fit;
    var shownWidth = width;
    var shownHeight = height;
    if (scale < 1) {
      shownWidth = Math.max(1, Math.round(width * scale));
      shownHeight = Math.max(1, Math.round(height * scale));
    }
    picture.style.width = shownWidth + 'px';
    picture.style.height = shownHeight + 'px';
    if (fit < 1) {
      picture.style.cursor = actualSize ? 'zoom-out' : 'zoom-in';
    } else {
      picture.style.cursor = 'default';
    }
    placeMarker(shownData.x, shownData.y, width, height, shownWidth / width,
                shownHeight / height);
  }

  function toggleSize() {
    if (!shownData) { return; }
    actualSize = !actualSize;
    layout();
  }

  function forget(key) {
    if (wantedKey === key) {
      wantedKey = '';
      wantedData = null;
    }
  }

  function show(img, data, key, serial) {
    if (ended || serial <= shownSerial || !(img.naturalWidth > 0)) {
      forget(key);
      return;
    }
    shownSerial = serial;
    shownKey = key;
    shownData = data;
    forget(key);
    img.id = 'velmoraPicture';
    img.setAttribute('data-picture', data.bild);
    img.setAttribute('data-counter', data.nrText);
    stage.replaceChild(img, picture);
    picture = img;
    layout();
  }

  // The new picture is fetched aside and swapped in only once it is complete, so spectators
  // never see half a picture. A failed fetch is tried again, under the same address, when a
  // later data page still names the picture.
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
    img.src = pictureAddress(data);
  }

  function connectionLost() {
    if (!ended) {
      note.style.display = 'block';
    }
  }

  // A still screen gives the same data page again and again, so only a data page that could not
  // be had at all counts against the connection: the note waits for a good one.
  function connectionFine() {
    note.style.display = 'none';
    clearTimeout(lostTimer);
    lostTimer = setTimeout(connectionLost, Math.max(minLostMs, lostIntervals * refreshMs));
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
    clearTimeout(lostTimer);
    return true;
  }

  // Called by each data page once it has loaded, and by the frame's own load event.
  function imgLoad() {
    if (ended || !frame) { return; }
    var data = readData();
    if (!data) { return; }
    refreshMs = Math.max(minRefreshMs, data.refresh);
    connectionFine();
    // The counter falls back to 0 only when the presenter clears the presentation.
    if (data.nr > 0) {
      seenRunning = true;
    } else if (seenRunning) {
      seenRunning = false;
      var address = homepageAddress(data.site);
      if (address !== '' && leaveFor(address)) { return; }
      // Nowhere to go: the spectator sees the black pictures of the Clear, and the reloads go on
      // so that the next presentation shows up once its counter rises.
    }
    var key = data.bild + '|' + data.nrText + '|' + data.time;
    if (key === shownKey) {
      // Only the pointer moved, or nothing did. A picture still on its way is no longer the one
      // the newest data page names, so it must not replace this one.
      shownSerial = loadSerial;
      wantedKey = '';
      wantedData = null;
      shownData = data;
      layout();
      return;
    }
    if (key === wantedKey) {
      // The picture on its way gets the newest pointer position.
      wantedData.x = data.x;
      wantedData.y = data.y;
      return;
    }
    wantedKey = key;
    wantedData = data;
    loadPicture(data, key);
  }

  function scheduleReload(ms) {
    clearTimeout(reloadTimer);
    reloadTimer = setTimeout(reloadData, ms);
  }

  function reloadData() {
    if (ended) { return; }
    // Should this load never end (a stalled server), try again after a while.
    scheduleReload(Math.max(minLostMs, refreshMs * lostIntervals));
    var address = dataAddress();
    try {
      // replace() keeps the spectator's history free of every reload.
      frame.contentWindow.location.replace(address);
    } catch (e) {
      frame.src = address;
    }
  }

  function frameLoaded() {
    if (ended) { return; }
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

  // Phones lay a page without this out for a desktop width and shrink it; the picture is to fit
  // the phone's own screen instead.
  function fitPhoneScreens() {
    var head = document.getElementsByTagName('head')[0];
    if (!head) { return; }
    var meta = document.createElement('meta');
    meta.name = 'viewport';
    meta.content = 'width=device-width, initial-scale=1';
    head.appendChild(meta);
  }

  function makeNote() {
    var box = document.createElement('div');
    box.id = 'velmoraConnection';
    box.setAttribute('role', 'status');
    box.style.position = 'fixed';
    box.style.top = '0';
    box.style.right = '0';
    box.style.zIndex = '10';
    box.style.display = 'none';
    box.style.padding = '2px 8px';
    box.style.background = '#B00000';
    box.style.color = '#FFFFFF';
    box.style.font = 'bold 12px Arial, Helvetica, sans-serif';
    box.appendChild(document.createTextNode(lostText));
    return box;
  }

  function start() {
    fitPhoneScreens();
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
    note = makeNote();
    stage.appendChild(picture);
    stage.appendChild(marker);
    stage.onclick = toggleSize;
    document.body.appendChild(frame);
    document.body.appendChild(stage);
    document.body.appendChild(note);
    window.addEventListener('resize', layout);
    frame.onload = frameLoaded;
    connectionFine();
    reloadData();
  }

  return {start: start, imgLoad: imgLoad};
})();
function imgLoad() {
  velmoraViewer.imgLoad();
}
