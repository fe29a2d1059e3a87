#include "formats/map_report.h"

namespace vesk {

const char* const kMapViewsStyle = R"(
nav#views { display: flex; gap: 4px; padding: 8px 20px 0 20px; background: #eef3f9;
            border-bottom: 1px solid #c8d4e3; }
nav#views button { font-size: 14px; padding: 6px 16px; border: 1px solid #c8d4e3;
                   border-bottom: none; background: #dde6f0; cursor: pointer; }
nav#views button.active { background: white; font-weight: bold; }
.view { display: none; } .view.active { display: flex; flex-direction: column; }
.map-controls { display: flex; flex-wrap: wrap; gap: 8px 28px; padding: 10px 20px;
                font-size: 14px; align-items: center; }
.map-controls input[type=range] { width: 160px; vertical-align: middle; }
#map-picture { height: 62vh; min-height: 320px;
               border-top: 1px solid #c8d4e3; border-bottom: 1px solid #c8d4e3; }
#map-picture .map-drawing { width: 100%; height: 100%; }
#map-picture g.node.activity, #map-picture g.edge { cursor: pointer; }
#map-picture g.selected polygon, #map-picture g.selected path { stroke: #d35400 !important; }
#map-picture.by-freq g.edge text:nth-of-type(2) { display: none; }
#map-picture.by-time g.edge text:nth-of-type(1) { display: none; }
#map-picture.by-time g.edge.t1 path { stroke: #fdd49e; stroke-width: 1.5; }
#map-picture.by-time g.edge.t2 path { stroke: #fdbb84; stroke-width: 2.2; }
#map-picture.by-time g.edge.t3 path { stroke: #fc8d59; stroke-width: 2.9; }
#map-picture.by-time g.edge.t4 path { stroke: #e34a33; stroke-width: 3.6; }
#map-picture.by-time g.edge.t5 path { stroke: #b30000; stroke-width: 4.3; }
#map-picture.by-time g.edge polygon { fill: #e34a33; stroke: #e34a33; }
#map-panel { padding: 12px 20px; font-size: 14px; }
#map-info td, #map-info th { border: 1px solid #c8d4e3; padding: 3px 10px; text-align: right; }
#map-info th { background: #eef3f9; text-align: left; }
table.variants { border-collapse: collapse; margin: 0 20px 20px 20px; font-size: 13px; }
table.variants td, table.variants th { border: 1px solid #c8d4e3; padding: 3px 8px;
                                       vertical-align: top; text-align: right; }
table.variants th { background: #eef3f9; }
table.variants th:last-child { text-align: left; }
ol.sequence { margin: 0; padding: 0; list-style: none; text-align: left; }
ol.sequence li { display: inline; }
ol.sequence li + li::before { content: " \2192  "; color: #888; }
#view-variants p { margin: 12px 20px; font-size: 14px; }
)";

const char* const kMapViewsScript = R"(
(function () {
  var buttons = document.querySelectorAll('nav#views button');
  function choose(name) {
    for (var i = 0; i < buttons.length; i++)
      buttons[i].classList.toggle('active', buttons[i].dataset.view === name);
    var views = document.querySelectorAll('.view');
    for (var j = 0; j < views.length; j++)
      views[j].classList.toggle('active', views[j].id === 'view-' + name);
  }
  for (var b = 0; b < buttons.length; b++)
    buttons[b].addEventListener('click', function () { choose(this.dataset.view); });
  var data = JSON.parse(document.getElementById('map-data').textContent);
  var picture = document.getElementById('map-picture');
  var activities = document.getElementById('map-activities');
  var paths = document.getElementById('map-paths');
  var drawings = picture.querySelectorAll('.map-drawing');
  function step(slider, steps) { return steps.length - 1 - Number(slider.value); }
  function redraw() {
    var a = step(activities, data.asteps), p = step(paths, data.psteps);
    document.getElementById('map-activities-value').textContent = data.asteps[a] + '%';
    var at = a * data.psteps.length + p;
    document.getElementById('map-paths-value').textContent = data.psteps[p] + '%' +
      (data.drawn[at] < data.kept[at] ? ' (the ' + data.drawn[at] + ' most frequent of ' +
       data.kept[at] + ' drawn)' : '');
    var k = String(data.layouts[at]);
    for (var i = 0; i < drawings.length; i++) drawings[i].hidden = drawings[i].dataset.k !== k;
    if (window.veskZoomRefresh) window.veskZoomRefresh();
  }
  activities.addEventListener('input', redraw);
  paths.addEventListener('input', redraw);
  var shades = document.querySelectorAll('input[name=map-shade]');
  for (var s = 0; s < shades.length; s++)
    shades[s].addEventListener('change', function () {
      picture.classList.remove('by-freq', 'by-time');
      picture.classList.add('by-' + this.value);
    });
  function span(minutes) {
    var m = Math.abs(minutes);
    if (m < 1) return (minutes * 60).toFixed(0) + ' s';
    if (m >= 1440) return (minutes / 1440).toFixed(2) + ' d';
    if (m >= 60) return (minutes / 60).toFixed(2) + ' h';
    return minutes.toFixed(2) + ' min';
  }
  function show(rows) {
    var table = document.getElementById('map-info');
    table.textContent = '';
    document.getElementById('map-hint').hidden = true;
    rows.forEach(function (row) {
      var tr = table.insertRow(), th = document.createElement('th'), td = tr.insertCell();
      th.textContent = row[0];
      tr.insertBefore(th, td);
      td.textContent = row[1];
    });
  }
  function figures(rows, title, f) {
    if (!f) return;
    rows.push([title + ' mean', span(f[0])], [title + ' median', span(f[1])],
              [title + ' minimum', span(f[2])], [title + ' maximum', span(f[3])]);
  }
  var selected = null;
  picture.addEventListener('click', function (e) {
    var g = e.target.closest('g.node, g.edge');
    var found = g && /-(a|e)(\d+)$/.exec(g.id);
    if (!found) return;
    e.preventDefault();
    if (selected) selected.classList.remove('selected');
    selected = g;
    g.classList.add('selected');
    var rows = [], map = data.maps[step(activities, data.asteps)];
    if (found[1] === 'a') {
      var act = map.activities[Number(found[2])];
      rows.push(['Activity', act.name], ['Events', act.events.toLocaleString('en')],
                ['Cases', act.cases.toLocaleString('en')]);
      figures(rows, 'Service time', act.service);
    } else {
      var edge = map.edges[Number(found[2])];
      rows.push(['Path', map.activities[edge.from].name + ' \u2192 ' +
                 map.activities[edge.to].name], ['Count', edge.count.toLocaleString('en')]);
      figures(rows, 'Time', edge.minutes);
      if (edge.overlapping > 0)
        rows.push(['Overlapping', edge.overlapping.toLocaleString('en') +
                   ' (begun before the step before ended; not in the times)']);
    }
    show(rows);
  });
  // report.html#map (#variants, #net, #resources, ...) opens with that view.
  var wanted = location.hash.substring(1);
  choose(document.getElementById('view-' + wanted) && /^[a-z]+$/.test(wanted)
         ? wanted : document.querySelector('nav#views').dataset.first);
  // A large map opens with the paths a reader can follow: about two per activity.
  var activityCount = data.maps[0].activities.length;
  for (var q = 0; q < data.psteps.length; q++) {
    if (data.drawn[q] <= Math.max(2 * activityCount, 12) || q === data.psteps.length - 1) {
      paths.value = String(data.psteps.length - 1 - q);
      break;
    }
  }
  redraw();
})();
)";

}  // namespace vesk
