#include "formats/report_zoom.h"

namespace vesk {

const char* const kZoomStyle = R"(
.zoomable { position: relative; overflow: hidden; touch-action: none; cursor: grab; }
.zoomable.dragging { cursor: grabbing; }
.zoomable svg { width: 100%; height: 100%; display: block; }
.zoom-controls { position: absolute; top: 8px; right: 12px; display: flex; gap: 4px;
                 z-index: 2; }
.zoom-controls button { font-size: 14px; min-width: 30px; padding: 3px 8px;
                        border: 1px solid #c8d4e3; background: white; cursor: pointer; }
.zoom-controls span { font-size: 12px; color: #555; align-self: center; margin-right: 6px; }
)";

// Every svg inside an element of class "zoomable" gets its own view: the wheel zooms about the
// pointer, dragging pans, the buttons zoom about the middle and fit. The view is the svg's
// viewBox kept at the shape of the box it fills, so one unit is always as wide as it is high.
// A drawing too large to read when fitted opens at a size its labels can be read at, at its
// beginning; Fit shows all of it.
const char* const kZoomScript = R"(
(function () {
  var readablePixels = 10, smallestPixels = 7;
  // The drawing shown: a box may hold several, all but one hidden.
  function views(box) {
    var all = box.querySelectorAll('svg'), svg = null;
    for (var k = 0; k < all.length && !svg; k++)
      if (!all[k].closest('[hidden]') && all[k].parentNode.closest('svg') === null) svg = all[k];
    if (!svg || !svg.viewBox || !svg.viewBox.baseVal) return null;
    if (!svg.vesk) {
      var b = svg.viewBox.baseVal;
      var text = svg.querySelector('text');
      var size = text ? parseFloat(text.getAttribute('font-size')) || 14 : 14;
      svg.vesk = { width: b.width, height: b.height, font: size, scale: 0, x: 0, y: 0 };
      svg.setAttribute('preserveAspectRatio', 'xMinYMin meet');
    }
    return svg;
  }
  function apply(svg, box) {
    var v = svg.vesk, w = box.clientWidth / v.scale, h = box.clientHeight / v.scale;
    svg.setAttribute('viewBox', v.x + ' ' + v.y + ' ' + w + ' ' + h);
    var label = box.querySelector('.zoom-controls span');
    if (label) label.textContent = Math.round(v.scale * 100) + '%';
  }
  function fitScale(svg, box) {
    var v = svg.vesk;
    return Math.min(box.clientWidth / v.width, box.clientHeight / v.height);
  }
  function fit(svg, box) {
    var v = svg.vesk;
    v.scale = fitScale(svg, box);
    v.x = (v.width - box.clientWidth / v.scale) / 2;
    v.y = (v.height - box.clientHeight / v.scale) / 2;
    apply(svg, box);
  }
  function opening(svg, box) {
    var v = svg.vesk;
    fit(svg, box);
    if (v.font * v.scale >= smallestPixels) return;
    v.scale = readablePixels / v.font;
    v.x = 0;
    v.y = Math.min(0, (v.height - box.clientHeight / v.scale) / 2);
    apply(svg, box);
  }
  function zoomAt(svg, box, factor, px, py) {
    var v = svg.vesk;
    var least = Math.min(fitScale(svg, box) / 2, 0.05), most = 40 / v.font;
    var scale = Math.max(least, Math.min(most, v.scale * factor));
    v.x += px / v.scale - px / scale;
    v.y += py / v.scale - py / scale;
    v.scale = scale;
    apply(svg, box);
  }
  function ready(box) {
    var svg = views(box);
    if (!svg || box.clientWidth === 0 || box.clientHeight === 0) return null;
    if (!svg.vesk.scale) opening(svg, box); else apply(svg, box);
    return svg;
  }
  function controls(box) {
    var bar = document.createElement('div');
    bar.className = 'zoom-controls';
    bar.innerHTML = '<span></span><button type="button" title="Zoom in">+</button>' +
      '<button type="button" title="Zoom out">\u2212</button>' +
      '<button type="button" title="Show the whole drawing">Fit</button>';
    var buttons = bar.querySelectorAll('button');
    function middle(factor) {
      var svg = ready(box);
      if (svg) zoomAt(svg, box, factor, box.clientWidth / 2, box.clientHeight / 2);
    }
    buttons[0].addEventListener('click', function () { middle(1.4); });
    buttons[1].addEventListener('click', function () { middle(1 / 1.4); });
    buttons[2].addEventListener('click', function () { var s = ready(box); if (s) fit(s, box); });
    bar.addEventListener('pointerdown', function (e) { e.stopPropagation(); });
    box.appendChild(bar);
  }
  function attach(box) {
    controls(box);
    box.addEventListener('wheel', function (e) {
      var svg = ready(box);
      if (!svg) return;
      e.preventDefault();
      var r = box.getBoundingClientRect();
      zoomAt(svg, box, Math.pow(1.0015, -e.deltaY), e.clientX - r.left, e.clientY - r.top);
    }, { passive: false });
    var drag = null, moved = false;
    box.addEventListener('pointerdown', function (e) {
      if (e.button !== 0) return;
      var svg = ready(box);
      if (!svg) return;
      drag = { svg: svg, x: e.clientX, y: e.clientY, vx: svg.vesk.x, vy: svg.vesk.y };
      moved = false;
    });
    box.addEventListener('pointermove', function (e) {
      if (!drag) return;
      var dx = e.clientX - drag.x, dy = e.clientY - drag.y;
      if (!moved && Math.abs(dx) + Math.abs(dy) < 4) return;
      if (!moved) {
        moved = true;
        box.classList.add('dragging');
        // The drag goes on when the pointer leaves the box; a pointer the page does not know
        // (one made up by a script) cannot be captured, and need not be.
        try { box.setPointerCapture(e.pointerId); } catch (ignored) {}
      }
      drag.svg.vesk.x = drag.vx - dx / drag.svg.vesk.scale;
      drag.svg.vesk.y = drag.vy - dy / drag.svg.vesk.scale;
      apply(drag.svg, box);
    });
    function end() { drag = null; box.classList.remove('dragging'); }
    box.addEventListener('pointerup', end);
    box.addEventListener('pointercancel', end);
    // A drag is not a click on what it began over.
    box.addEventListener('click', function (e) {
      if (moved) { e.stopPropagation(); e.preventDefault(); moved = false; }
    }, true);
    new ResizeObserver(function () { ready(box); }).observe(box);
  }
  var boxes = document.querySelectorAll('.zoomable');
  for (var i = 0; i < boxes.length; i++) attach(boxes[i]);
  window.veskZoomRefresh = function () {
    for (var j = 0; j < boxes.length; j++) ready(boxes[j]);
  };
})();
)";

}  // namespace vesk
