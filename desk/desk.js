// The courts page: every board's retained messages under courtlyx/v1/, read from the broker
// that served the page. Data from the broker is only ever set as text, never as markup.
"use strict";

(function () {
  const ROOT = "courtlyx/v1/";
  const COURT = /^[A-Za-z0-9_-]{1,32}$/;
  // The record CSV's columns, in the order records/matches.csv has them.
  const RECORD_COLUMNS = ["pbp_id", "date", "tny_name", "tour", "draw", "server1", "server2",
    "winner", "pbp", "score", "adf_flag", "wh_minutes"];

  const courts = new Map();   // court -> {score, online}
  const results = new Map();  // topic -> result document
  let resultsChanged = true;

  const $ = (id) => document.getElementById(id);

  function el(tag, className, text) {
    const e = document.createElement(tag);
    if (className) e.className = className;
    if (text !== undefined) e.textContent = text;
    return e;
  }

  // The broker that served the page, or the one named in ?broker=.
  function brokerUrl() {
    const named = new URLSearchParams(location.search).get("broker");
    if (named) return named;
    if (location.protocol !== "http:" && location.protocol !== "https:") return null;
    return (location.protocol === "https:" ? "wss://" : "ws://") + location.host + "/";
  }

  // Courts in the order a venue numbers them: 2 before 10, names after numbers.
  function courtOrder(a, b) {
    return a.localeCompare(b, "de", { numeric: true });
  }

  function state(court) {
    if (court.online === false) return ["offline", "offline"];
    const s = court.score;
    if (s && s.winner > 0) return ["beendet", "finished"];
    if (s && s.phase === "paused") return ["Pause", "live"];
    if (s && s.phase === "not-started") return ["bereit", "ready"];
    return ["live", "live"];
  }

  // A set won by a single game went through a tie-break (7-6, 5-4 in Fast4); a set the
  // format plays as one tie-break (the match tie-break) is shown in brackets.
  function setText(set, index, score) {
    const [a, b] = set.games;
    if (a === null || b === null) return null;
    const final = index + 1 === score.setCount && /-F:TB\d+/.test(score.format || "");
    const done = index + 1 < score.currentSet;
    return { texts: set.texts, bracket: final, tieBreak: done && !final && Math.abs(a - b) === 1 };
  }

  function renderCourt(name, court) {
    const card = el("a", "court");
    card.href = "#court=" + encodeURIComponent(name);
    card.dataset.court = name;
    const [label, kind] = state(court);
    card.classList.add(kind);

    const head = el("div", "head");
    head.append(el("span", "name", "Platz " + name), el("span", "state", label));
    card.append(head);

    const s = court.score;
    const table = el("table", "score");
    for (let side = 1; side <= 2; ++side) {
      const row = el("tr", "side" + side);
      const serving = s && kind === "live" && s.server === side;
      const serve = el("td", "serve" + (serving ? " serving" : ""), serving ? "\u25CF" : "");
      const player = el("td", "player", s ? s.sides[side - 1].name : "");
      if (s && s.winner === side) player.classList.add("winner");
      row.append(serve, player);
      if (s) {
        s.sets.forEach((set, i) => {
          const t = setText(set, i, s);
          if (!t) return;
          const cell = el("td", "set" + (set.leader === side ? " lead" : ""));
          cell.textContent = t.bracket ? "[" + t.texts[side - 1] + "]" : t.texts[side - 1];
          if (t.tieBreak && set.leader !== side) cell.append(el("sup", "tb", "TB"));
          row.append(cell);
        });
        if (!(s.winner > 0))
          row.append(el("td", "points", s.sides[side - 1].points));
      }
      table.append(row);
    }
    card.append(table);

    const foot = el("div", "foot");
    if (s) {
      foot.append(el("span", "time", "Spielzeit " + s.elapsed.text));
      if (s.tieBreak && !(s.winner > 0)) foot.append(el("span", "tiebreak", "Tiebreak"));
    } else {
      foot.append(el("span", "time", "noch kein Spielstand"));
    }
    card.append(foot);
    return card;
  }

  function selectedCourt() {
    const m = /^#court=(.+)$/.exec(location.hash);
    return m ? decodeURIComponent(m[1]) : null;
  }

  function render() {
    const single = selectedCourt();
    const showResults = location.hash === "#results";
    document.body.classList.toggle("single", single !== null);
    document.body.classList.toggle("results", showResults);
    $("results").hidden = !showResults;

    const main = $("courts");
    const names = [...courts.keys()].sort(courtOrder).filter((n) => single === null || n === single);
    main.replaceChildren(...names.map((n) => renderCourt(n, courts.get(n))));
    main.hidden = showResults;
    // Columns for the venue screen: as few as the courts allow, so that the type stays large.
    const n = names.length;
    main.style.setProperty("--columns", n <= 1 ? 1 : n <= 4 ? 2 : n <= 9 ? 3 : 4);
    main.style.setProperty("--rows", Math.max(1, Math.ceil(n / (n <= 1 ? 1 : n <= 4 ? 2 : n <= 9 ? 3 : 4))));
    $("empty").hidden = showResults || n > 0;
    if (single !== null && n === 0) $("empty").textContent = "Platz " + single + " hat sich noch nicht gemeldet.";
    else $("empty").textContent = "Noch kein Platz gemeldet. Sobald ein Board mit dem Broker verbunden ist, erscheint sein Platz hier.";
    if (resultsChanged) renderResults();
    resultsChanged = false;
  }

  // Every court's clock changes its document each second: a burst of messages is drawn once.
  let drawing = null;
  function schedule() {
    if (drawing === null) drawing = setTimeout(() => { drawing = null; render(); }, 40);
  }

  function localDay(iso) {
    const d = new Date(iso);
    if (isNaN(d)) return "";
    return d.getFullYear() + "-" + String(d.getMonth() + 1).padStart(2, "0") + "-" + String(d.getDate()).padStart(2, "0");
  }

  function shownResults() {
    const today = localDay(new Date().toISOString());
    const all = [...results.values()].sort((a, b) => String(a.end).localeCompare(String(b.end)));
    const shown = $("all-days").checked ? all : all.filter((r) => localDay(r.end) === today);
    return [shown, all.length - shown.length];
  }

  // Quoted as the records' CSV quotes: only a field holding a comma, a quote or a line break.
  function csvField(value) {
    const v = String(value === undefined || value === null ? "" : value);
    return /[,"\n\r]/.test(v) ? '"' + v.replace(/"/g, '""') + '"' : v;
  }

  function csv(list) {
    let out = RECORD_COLUMNS.join(",") + ",court\n";
    for (const r of list) {
      const record = r.record || {};
      out += RECORD_COLUMNS.map((c) => csvField(record[c])).concat(csvField(r.court)).join(",") + "\n";
    }
    return out;
  }

  let csvUrl = null;
  function renderResults() {
    const [list, older] = shownResults();
    const rows = list.map((r) => {
      const tr = el("tr");
      const end = new Date(r.end);
      const names = Array.isArray(r.names) ? r.names : ["", ""];
      const players = el("td");
      names.forEach((n, i) => {
        if (i) players.append(" – ");
        players.append(el("span", r.winner === i + 1 ? "winner" : "", String(n)));
      });
      tr.append(el("td", "", String(r.court)),
        el("td", "", isNaN(end) ? "" : end.toLocaleTimeString("de-DE", { hour: "2-digit", minute: "2-digit" })),
        players, el("td", "", String(r.score || "")),
        el("td", "", r.elapsed && r.elapsed.text ? String(r.elapsed.text) : ""));
      return tr;
    });
    $("result-rows").replaceChildren(...rows);
    $("no-results").hidden = rows.length > 0;
    $("older").textContent = older > 0 ? older + " von früheren Tagen ausgeblendet" : "";
    const text = csv(list);
    $("csv").dataset.csv = text;
    if (csvUrl) URL.revokeObjectURL(csvUrl);
    csvUrl = URL.createObjectURL(new Blob([text], { type: "text/csv;charset=utf-8" }));
    $("csv").href = csvUrl;
    $("csv").download = "ergebnisse-" + localDay(new Date().toISOString()) + ".csv";
  }

  function parse(payload) {
    try {
      const v = JSON.parse(new TextDecoder().decode(payload));
      return v && typeof v === "object" && !Array.isArray(v) ? v : null;
    } catch (e) {
      return null;
    }
  }

  function validScore(s) {
    return s && s.version === 1 && Array.isArray(s.sides) && s.sides.length === 2 && Array.isArray(s.sets)
      && s.elapsed && typeof s.elapsed.text === "string" && s.sets.every((x) => Array.isArray(x.games) && Array.isArray(x.texts));
  }

  function court(name) {
    if (!courts.has(name)) courts.set(name, { score: null, online: undefined });
    return courts.get(name);
  }

  function onMessage(topic, payload) {
    if (!topic.startsWith(ROOT)) return;
    const parts = topic.slice(ROOT.length).split("/");
    const name = parts[0];
    if (!COURT.test(name)) return;
    if (parts.length === 2 && (parts[1] === "score" || parts[1] === "online") && payload.length === 0) {
      // Cleared by the desk (courts.sh --forget): a court with neither is gone from the page.
      if (!courts.has(name)) return;
      const c = courts.get(name);
      if (parts[1] === "score") c.score = null;
      else c.online = undefined;
      if (c.score === null && c.online === undefined) courts.delete(name);
    } else if (parts.length === 2 && parts[1] === "score") {
      const s = parse(payload);
      if (validScore(s)) court(name).score = s;
    } else if (parts.length === 2 && parts[1] === "online") {
      const o = parse(payload);
      if (o && typeof o.online === "boolean") court(name).online = o.online;
    } else if (parts.length === 3 && parts[1] === "result") {
      // An empty retained message takes a result back (an undo reopened the match).
      const r = payload.length === 0 ? null : parse(payload);
      if (r && r.version === 1) results.set(topic, Object.assign({}, r, { court: name }));
      else if (payload.length === 0) results.delete(topic);
      resultsChanged = true;
    } else {
      return;
    }
    schedule();
  }

  function setStatus(connected, text) {
    const status = $("status");
    status.className = connected ? "up" : "down";
    status.textContent = text;
    document.body.classList.toggle("disconnected", !connected);
  }

  function connect() {
    const url = brokerUrl();
    if (!url || typeof mqtt === "undefined") {
      setStatus(false, "Keine Verbindung zum Broker" + (url ? " (MQTT-Client fehlt)" : " (Seite über den Broker öffnen)"));
      return;
    }
    setStatus(false, "Keine Verbindung zum Broker – verbinde mit " + url);
    const client = mqtt.connect(url, {
      clientId: "courtlyx-desk-" + Math.random().toString(16).slice(2, 10),
      protocolVersion: 4,
      clean: true,
      keepalive: 30,
      reconnectPeriod: 2000,
      connectTimeout: 5000,
    });
    client.on("connect", () => {
      setStatus(true, "Verbunden mit " + url);
      client.subscribe([ROOT + "+/score", ROOT + "+/online", ROOT + "+/result/+"], { qos: 1 });
    });
    const lost = () => setStatus(false, "Keine Verbindung zum Broker – neuer Versuch läuft");
    client.on("close", lost);
    client.on("offline", lost);
    client.on("error", lost);
    client.on("message", onMessage);
  }

  window.addEventListener("hashchange", render);
  $("all-days").addEventListener("change", () => { resultsChanged = true; render(); });
  render();
  connect();
})();
