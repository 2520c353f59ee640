#include "headless/StatusPage.h"

#include <QCryptographicHash>

namespace selvane {

namespace {

const char kStyle[] = R"CSS(
body { font-family: sans-serif; margin: 0 auto; padding: 0.5em; max-width: 60em; color: #222; background: #fafafa; }
h1 { font-size: 1.3em; margin: 0.3em 0; }
h2 { font-size: 1.1em; margin: 1em 0 0.3em; border-bottom: 1px solid #ccc; }
dl { display: grid; grid-template-columns: max-content 1fr; gap: 0.2em 1em; margin: 0; }
dt { color: #555; }
dd { margin: 0; overflow-wrap: anywhere; }
.scroll { overflow-x: auto; }
table { border-collapse: collapse; font-size: 0.9em; }
th, td { text-align: left; padding: 0.2em 0.5em; border-bottom: 1px solid #e4e4e4; vertical-align: top; }
td.num, th.num { text-align: right; }
td.text { font-family: monospace; overflow-wrap: anywhere; min-width: 12em; }
.warn { color: #a40000; }
.ok { color: #176117; }
#state { font-size: 0.9em; color: #555; }
svg { width: 100%; max-width: 40em; height: auto; background: #fff; border: 1px solid #ddd; }
)CSS";

const char kBody[] = R"HTML(
<h1 id="title">Selvane</h1>
<div id="state">In attesa del gateway...</div>
<ul id="warnings" class="warn"></ul>
<h2>Motore</h2>
<dl>
<dt>Tipo</dt><dd id="engine-kind"></dd>
<dt>Indirizzo</dt><dd id="engine-address"></dd>
<dt>Stato</dt><dd id="engine-state"></dd>
<dt>Connesso dal</dt><dd id="engine-since"></dd>
<dt>Profilo</dt><dd id="engine-profile"></dd>
<dt>Versione</dt><dd id="engine-version"></dd>
<dt>Porte radio</dt><dd id="engine-ports"></dd>
</dl>
<ul id="engine-warnings" class="warn"></ul>
<h2>APRS-IS</h2>
<dl>
<dt>Stato</dt><dd id="aprs-state"></dd>
<dt>Server</dt><dd id="aprs-server"></dd>
<dt>Verificato</dt><dd id="aprs-verified"></dd>
<dt>Caricati</dt><dd id="aprs-uploaded"></dd>
<dt>Persi</dt><dd id="aprs-missed"></dd>
<dt>Esclusi</dt><dd id="aprs-filtered"></dd>
<dt>In attesa della copia del satellite</dt><dd id="aprs-held"></dd>
<dt>Sostituiti dalla copia del satellite</dt><dd id="aprs-superseded"></dd>
</dl>
<h2>Contatori</h2>
<div class="scroll"><table>
<thead><tr><th></th><th class="num" id="since"></th><th class="num">Ultima ora</th></tr></thead>
<tbody id="counters"></tbody>
</table></div>
<h2>Ultimi pacchetti dai satelliti</h2>
<div class="scroll"><table>
<thead><tr><th>Ora</th><th>Satellite</th><th>Da</th><th>Percorso</th><th>Testo</th><th>Esito</th></tr></thead>
<tbody id="packets"></tbody>
</table></div>
<h2>Telemetria PCSAT</h2>
<div class="scroll"><table>
<thead><tr><th>Serie</th><th class="num">Valore</th><th>Ora</th></tr></thead>
<tbody id="tlm-values"></tbody>
</table></div>
<ul id="tlm-lines"></ul>
<div id="plots"></div>
)HTML";

// Every text from the gateway goes in through textContent or an attribute:
// a packet's own text can never become markup.
const char kScriptTemplate[] = R"JS(
"use strict";
const REFRESH_MS = @REFRESH@;
const SVG = "http://www.w3.org/2000/svg";
const COUNTERS = [["heard_sats", "Ascoltati sulle porte Sats"], ["gated_down", "Inoltrati giù (Sats \u2192 Out)"],
                  ["gated_up", "Inoltrati su (Out \u2192 Sats)"], ["duplicates", "Duplicati trattenuti"],
                  ["held", "Trattenuti dal limite di salita"]];
const STATES = {connected: "connesso", connecting: "in connessione", stopped: "fermo"};
const PROFILES = {direwolf: "Dire Wolf-compatibile", agwpe: "AGW Packet Engine"};
const APRS = {off: "spento", connecting: "in connessione", verified: "connesso, verificato",
              unverified: "connesso, non verificato: il server scarta i pacchetti", error: "errore"};
const UPLOAD = {uploaded: "APRS-IS", missed: "APRS-IS perso", filtered: "APRS-IS escluso",
                held: "APRS-IS in attesa"};
const QUANTITIES = {panel_current: "Corrente dei pannelli", temperature: "Temperature",
                    battery_voltage: "Tensione delle batterie", battery_current: "Correnti",
                    transmitter_power: "Potenza del trasmettitore"};
const COLOURS = ["#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e", "#8c564b", "#e377c2", "#17becf"];

function $(id) { return document.getElementById(id); }
function put(id, text) { $(id).textContent = text === null || text === undefined ? "" : String(text); }
function when(iso) {
  if (!iso) return "";
  const d = new Date(iso);
  return isNaN(d) ? iso : d.toLocaleString("it-IT");
}
function clock(iso) {
  if (!iso) return "";
  const d = new Date(iso);
  return isNaN(d) ? iso : d.toLocaleTimeString("it-IT");
}
function fill(list, texts) {
  list.replaceChildren();
  for (const t of texts) {
    const li = document.createElement("li");
    li.textContent = t;
    list.appendChild(li);
  }
}
function row(cells, classes) {
  const tr = document.createElement("tr");
  cells.forEach((c, i) => {
    const td = document.createElement("td");
    td.textContent = c === null || c === undefined ? "" : String(c);
    if (classes && classes[i]) td.className = classes[i];
    tr.appendChild(td);
  });
  return tr;
}
function outcome(p) {
  const done = [];
  if (p.gated_to.length) done.push("inoltrato alle porte " + p.gated_to.join(","));
  if (p.duplicate) done.push("duplicato");
  if (p.held) done.push("trattenuto (limite di salita)");
  if (p.refused) done.push("non ritrasmesso (nominativo)");
  if (!done.length) done.push("non inoltrato");
  if (UPLOAD[p.aprs_is]) done.push(UPLOAD[p.aprs_is]);
  return done.join(", ");
}
function svg(name, attrs) {
  const e = document.createElementNS(SVG, name);
  for (const k in attrs) e.setAttribute(k, attrs[k]);
  return e;
}
function plot(p) {
  const W = 600, H = 236, L = 50, R = 20, T = 24, B = 56;
  const box = svg("svg", {viewBox: "0 0 " + W + " " + H, role: "img"});
  let lo = Infinity, hi = -Infinity;
  for (const s of p.series) for (const [, v] of s.points) { lo = Math.min(lo, v); hi = Math.max(hi, v); }
  if (!isFinite(lo)) return box;
  if (hi === lo) { hi += 1; lo -= 1; }
  const x = m => L + (W - L - R) * m / 1440, y = v => T + (H - T - B) * (hi - v) / (hi - lo);
  const title = svg("text", {x: L, y: 16, "font-size": 14});
  title.textContent = (QUANTITIES[p.quantity] || p.quantity) + " (" + p.unit + ")";
  box.appendChild(title);
  box.appendChild(svg("rect", {x: L, y: T, width: W - L - R, height: H - T - B, fill: "none", stroke: "#bbb"}));
  for (const v of [lo, (lo + hi) / 2, hi]) {
    const t = svg("text", {x: L - 4, y: y(v) + 4, "font-size": 11, "text-anchor": "end"});
    t.textContent = Number(v.toFixed(2)).toString();
    box.appendChild(t);
  }
  for (let h = 0; h <= 24; h += 6) {
    const t = svg("text", {x: x(h * 60), y: H - B + 14, "font-size": 11, "text-anchor": "middle"});
    t.textContent = String(h).padStart(2, "0") + ":00";
    box.appendChild(t);
  }
  p.series.forEach((s, i) => {
    const colour = COLOURS[i % COLOURS.length];
    box.appendChild(svg("polyline", {fill: "none", stroke: colour, "stroke-width": 1.5,
                                     points: s.points.map(([m, v]) => x(m).toFixed(1) + "," + y(v).toFixed(1)).join(" ")}));
    if (s.points.length <= 100)
      for (const [m, v] of s.points)
        box.appendChild(svg("circle", {cx: x(m).toFixed(1), cy: y(v).toFixed(1), r: 2, fill: colour}));
    const label = svg("text", {x: L + (i % 5) * 105, y: H - 24 + Math.floor(i / 5) * 14, "font-size": 11, fill: colour});
    label.textContent = s.name;
    box.appendChild(label);
  });
  return box;
}
function show(s) {
  document.title = "Selvane " + s.station.call;
  put("title", "Selvane " + s.station.version + " \u2014 " + s.station.call);
  put("state", "Aggiornato alle " + clock(s.now) + " (" + s.station.program + ", avviato il " + when(s.station.started) + ")");
  fill($("warnings"), s.station.warnings);
  const e = s.engine;
  put("engine-kind", e.kind);
  put("engine-address", e.address);
  put("engine-state", STATES[e.state] || e.state);
  $("engine-state").className = e.state === "connected" ? "ok" : "warn";
  put("engine-since", when(e.connected_since));
  put("engine-profile", PROFILES[e.profile] || e.profile);
  put("engine-version", e.version);
  put("engine-ports", e.ports.join("; "));
  fill($("engine-warnings"), e.warnings);
  const a = s.aprs_is;
  put("aprs-state", APRS[a.state] || a.state);
  put("aprs-server", a.server);
  put("aprs-verified", a.verified ? "sì" : "no");
  put("aprs-uploaded", a.counters.uploaded);
  put("aprs-missed", a.counters.missed);
  put("aprs-filtered", a.counters.filtered);
  put("aprs-held", a.counters.held_now);
  put("aprs-superseded", a.counters.superseded);
  put("since", "Dall'avvio (" + when(s.counters.since) + ")");
  $("counters").replaceChildren(...COUNTERS.map(([k, label]) =>
    row([label, s.counters.total[k], s.counters.last_hour[k]], ["", "num", "num"])));
  $("packets").replaceChildren(...s.packets.map(p =>
    row([clock(p.time), p.satellite, p.source, p.destination + (p.path ? "," + p.path : ""), p.text, outcome(p)],
        ["", "", "", "", "text", ""])));
  const t = s.telemetry;
  $("tlm-values").replaceChildren(...t.values.map(v => row([v.series, v.value + " " + v.unit, v.time], ["", "num", ""])));
  fill($("tlm-lines"), t.lines.map(l => l.list + ": " + l.line));
  $("plots").replaceChildren(...t.plots.map(plot));
}
async function poll() {
  try {
    const r = await fetch("/status.json", {cache: "no-store"});
    if (!r.ok) throw new Error("HTTP " + r.status);
    show(await r.json());
  } catch (err) {
    put("state", "Nessuna risposta dal gateway (" + err.message + "): nuovo tentativo tra " + REFRESH_MS / 1000 + " s");
  }
  setTimeout(poll, REFRESH_MS);
}
poll();
)JS";

const QByteArray& Script()
{
    static const QByteArray script =
        QByteArray(kScriptTemplate).replace("@REFRESH@", QByteArray::number(kStatusPageRefreshMs));
    return script;
}

QByteArray Hash(const QByteArray& text)
{
    return "'sha256-" + QCryptographicHash::hash(text, QCryptographicHash::Sha256).toBase64() + "'";
}

} // namespace

QByteArray StatusPageHtml()
{
    static const QByteArray page = QByteArray("<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n"
                                              "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                                              "<title>Selvane</title>\n<style>")
                                   + kStyle + "</style>\n</head>\n<body>" + kBody + "<script>" + Script()
                                   + "</script>\n</body>\n</html>\n";
    return page;
}

QByteArray StatusPagePolicy()
{
    static const QByteArray policy = "default-src 'none'; style-src " + Hash(kStyle) + "; script-src "
                                     + Hash(Script()) + "; connect-src 'self'; img-src 'self'; base-uri 'none'; "
                                       "form-action 'none'; frame-ancestors 'none'";
    return policy;
}

} // namespace selvane
