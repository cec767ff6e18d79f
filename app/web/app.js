// The drafter's page of `tracelon serve`. It shows the state the program publishes (the drawing,
// the question asked, the shown windows) and sends what the person does as session lines, one
// at a time, in the order done. The program checks every line against what it asks.
"use strict";

// ---- Talking to the program ----------------------------------------------------------------

const api = {
  token: sessionStorage.getItem("tracelon-drafter") || "",
  headers() { return { "Content-Type": "application/json", "X-Drafter": this.token }; },
};

// Joins as the drafter; while another page drafts, asks again every two seconds, so that a page
// reopened after its tab was closed takes over at once (a closed page says it leaves).
async function join() {
  for (;;) {
    try {
      const response = await fetch("/api/join", { method: "POST", headers: api.headers(), body: "{}" });
      const body = await response.json();
      if (response.ok) {
        api.token = body.token;
        sessionStorage.setItem("tracelon-drafter", api.token);
        document.getElementById("busy").hidden = true;
        return true;
      }
      showBusy(body.message);
    } catch (error) {
      showBusy(`The program does not answer: ${error}`);
    }
    await new Promise((r) => setTimeout(r, 2000));
  }
}
window.addEventListener("pagehide", () => {
  if (api.token) fetch("/api/leave", { method: "POST", headers: api.headers(), body: "{}", keepalive: true });
});

function showBusy(text) {
  document.getElementById("busytext").textContent = text;
  document.getElementById("busy").hidden = false;
}

// Lines go out one after another: each waits until the program took or refused the one before.
let sending = Promise.resolve();
let pendingLines = 0;
function send(line, form) {
  pendingLines++;
  sending = sending.then(async () => {
    try {
      const body = form ? { line, form } : { line };
      const response = await fetch("/api/line", { method: "POST", headers: api.headers(), body: JSON.stringify(body) });
      const reply = await response.json();
      if (response.status === 409) { showBusy(reply.message); return; }
      setRefusal(reply.ok ? "" : reply.message, reply.detail ? `"${line}" was not taken: ${reply.detail}` : "");
      if (reply.seq) await waitForState(reply.seq);
    } catch (error) {
      setRefusal(`"${line}" could not be sent: ${error}`);
    } finally {
      pendingLines--;
      if (pendingLines === 0) followProgramFocus();
    }
  });
  return sending;
}

// The reason a line was not taken, in plain words; the session engine's own wording is its tip.
function setRefusal(text, detail = "") {
  const refusal = document.getElementById("refusal");
  refusal.textContent = text;
  refusal.title = detail;
}

// The state: asked for again and again; the server answers when it changes.
let state = null;
let stateWaiters = [];
async function waitForState(seq) {
  if (state && state.seq >= seq) return;
  await new Promise((resolve) => stateWaiters.push({ seq, resolve }));
}

let wantWholeState = false;
async function poll() {
  for (;;) {
    try {
      const after = state && !wantWholeState ? state.seq : 0;
      // The drawing comes only when it changed since the one the page has.
      const response = await fetch(`/api/state?after=${after}&svg=${pictureVersion}`, { headers: api.headers() });
      if (response.status === 409) { showBusy((await response.json()).message); return; }
      const next = await response.json();
      takePicture(next);
      wantWholeState = !takeForms(next, state);
      if (wantWholeState) continue;
      if (!state || next.seq !== state.seq) {
        state = next;
        requestRender();
        stateWaiters = stateWaiters.filter((w) => {
          if (state.seq >= w.seq) { w.resolve(); return false; }
          return true;
        });
      }
      if (state.question && state.question.kind === "ended") {
        stateWaiters.forEach((w) => w.resolve());
        stateWaiters = [];
        return;
      }
    } catch (error) {
      await new Promise((r) => setTimeout(r, 1000));
    }
  }
}

// A new state is drawn at once, except while a mouse button is held: the element pressed stays
// until it is released, so that its click is not lost to a redraw.
let mouseHeld = false, renderPending = false;
function requestRender() {
  if (mouseHeld) { renderPending = true; return; }
  renderPending = false;
  render();
}
document.addEventListener("mousedown", () => { mouseHeld = true; }, true);
let mouseReleased = 0;
document.addEventListener("mouseup", () => {
  mouseHeld = false;
  mouseReleased = performance.now();
  if (renderPending) setTimeout(() => { if (!mouseHeld && renderPending) requestRender(); }, 0);
}, true);

// A text in a session line: in double quotes, with the session's escapes.
function quote(text) {
  return '"' + String(text).replace(/[\\"\r\n\t]/g, (c) => ({ "\\": "\\\\", '"': '\\"', "\r": "\\r", "\n": "\\n", "\t": "\\t" })[c]) + '"';
}
// A control's or form's name as a word.
function word(name) { return /^[^\s"#\\]+$/.test(name) ? name : quote(name); }

// ---- Menus ----------------------------------------------------------------------------------

// The toolset's exports as the host's menu shows them.
const MENUS = [
  ["&Text", [["QX &Text...", "QXText"], ["QX &Leader...", "QXLeader"], ["QX &Quick Text", "QXQText"], ["QX Quick &Edit", "QXQEdit"], ["QX &Flex Text...", "QXFlexText"]]],
  ["S&ymbols", [["QX &Symbol...", "QXSymbol"], ["QX &Door...", "QXDoor"], ["QX &Macro...", "QXMacro"]]],
  ["&Measure", [["QX &Dimension...", "QXDimension"], ["QX &Area...", "QXArea"], ["QX &Scale...", "QXScale"]]],
  ["&Draw", [["QX &Circle...", "QXCircle"], ["QX &Arc...", "QXArc"], ["QX &Fix...", "QXFix"], ["QX &Trim", "QXTrim"], ["QX &Snap toolbar", "QXSnap"]]],
  ["&Layers", [["QX &Layer...", "QXLayer"], ["QX &Active Layer", "QXActiveLayer"], ["QX &Plan...", "QXPlan"]]],
  ["&Project", [["QX &Project...", "QXProject"], ["QX &Reference...", "QXReference"], ["QX &Setup...", "QXSetup"]]],
  ["Setti&ngs", [["&Base folder", "GetBaseDir"], ["&Unit settings", "GetUnitSettings"], ["&Project settings", "GetQXProjSettings"],
    ["&Save project settings...", "SaveQXProjSettings", "project settings value"], ["Get s&cale...", "GetScale"], ["Get &layer file...", "GetLyrFile", "current layer file (may be empty)"]]],
  ["&Help", [["QX Tools &Help", "QXTHelp"], ["&Tool Help", "ToolHelp"], ["&Layer Help", "LayerHelp"], ["&About QX Tools...", "ShowAboutBox"]]],
];

function buildMenus() {
  const bar = document.getElementById("menubar");
  for (const [title, items] of MENUS) {
    const menu = document.createElement("div");
    menu.className = "menu";
    const head = document.createElement("button");
    head.append(...captionNodes(title));
    head.dataset.accel = accelerator(title);
    head.addEventListener("click", (e) => {
      e.stopPropagation();
      const open = menu.classList.contains("open");
      document.querySelectorAll(".menu.open").forEach((m) => m.classList.remove("open"));
      if (!open) menu.classList.add("open");
    });
    const list = document.createElement("div");
    list.className = "items";
    for (const [caption, exportName, argument] of items) {
      const item = document.createElement("button");
      item.append(...captionNodes(caption));
      item.dataset.accel = accelerator(caption);
      item.dataset.export = exportName;
      item.addEventListener("click", () => {
        menu.classList.remove("open");
        let line = "run " + exportName;
        if (argument) {
          const value = prompt(`${shown(caption)}: ${argument}`, "");
          if (value === null) return;
          if (value !== "") line += " " + quote(value);
        }
        send(line);
      });
      list.appendChild(item);
    }
    menu.append(head, list);
    bar.appendChild(menu);
  }
  document.addEventListener("click", () => document.querySelectorAll(".menu.open").forEach((m) => m.classList.remove("open")));
}

// ---- The drawing: pan, zoom, and the mouse in drawing units ---------------------------------

const view = { cx: 0, cy: 0, s: 0, fit: true };  // centre (drawing units), screen pixels per unit
let sheet = null;  // { minX, maxY, k, margin, width, height, pieces } of the SVG shown
let mouse = null;  // the mouse in drawing units, over the drawing
let cursorImage = null;

function drawingBox() { return document.getElementById("drawing").getBoundingClientRect(); }

function fitView() {
  if (!sheet) return;
  const box = drawingBox();
  view.cx = sheet.minX + (sheet.width / 2 - sheet.margin) / sheet.k;
  view.cy = sheet.maxY - (sheet.height / 2 - sheet.margin) / sheet.k;
  view.s = Math.min(box.width / sheet.width, box.height / sheet.height) * sheet.k;
}

function applyView() {
  const svg = document.querySelector("#sheet svg");
  if (!svg || !sheet) return;
  if (view.fit || !view.s) fitView();
  const box = drawingBox();
  const ratio = sheet.k / view.s;  // sheet pixels per screen pixel
  const x0 = sheet.margin + (view.cx - sheet.minX) * sheet.k - (box.width / 2) * ratio;
  const y0 = sheet.margin + (sheet.maxY - view.cy) * sheet.k - (box.height / 2) * ratio;
  // Set only when they change: setting them makes the browser lay out the whole drawing again.
  const viewBox = `${x0} ${y0} ${box.width * ratio} ${box.height * ratio}`;
  if (svg.getAttribute("viewBox") !== viewBox) svg.setAttribute("viewBox", viewBox);
  if (svg.getAttribute("width") !== String(box.width)) svg.setAttribute("width", box.width);
  if (svg.getAttribute("height") !== String(box.height)) svg.setAttribute("height", box.height);
  drawOverlay();
}

// Screen pixels (relative to the drawing area) to drawing units, and back.
function toDrawing(px, py) {
  const box = drawingBox();
  return { x: view.cx + (px - box.width / 2) / view.s, y: view.cy - (py - box.height / 2) / view.s };
}
function toScreen(x, y) {
  const box = drawingBox();
  return { x: box.width / 2 + (x - view.cx) * view.s, y: box.height / 2 - (y - view.cy) * view.s };
}

// A length in the drawing's own notation, as the host writes it (fractions reduced, feet and
// inches, or decimals in the unit), for the coordinate read-out.
function lengthText(dbu) {
  const u = state && state.units;
  if (!u || !(u.dbuPerUnit > 0)) return String(dbu);
  const value = dbu / u.dbuPerUnit;
  const sign = value < 0 ? "-" : "";
  const metric = u.mark === "mm" || u.mark === "cm" || u.mark === "m";
  if (metric || !u.fractions) {
    if (u.mark !== "ft-in") return value.toFixed(u.precision) + u.mark;
    const inches = Math.abs(value), feet = Math.floor(inches / 12 + 1e-9);
    return `${sign}${feet}'-${(inches - feet * 12).toFixed(u.precision)}"`;
  }
  const den = Math.max(1, u.denominator);
  let whole = Math.floor(Math.round(Math.abs(value) * den) / den);
  let num = Math.round(Math.abs(value) * den) - whole * den;
  let d = den;
  while (num > 0 && num % 2 === 0 && d % 2 === 0) { num /= 2; d /= 2; }
  const fraction = num ? ` ${num}/${d}` : "";
  const body = u.mark === "ft-in" ? `${Math.floor(whole / 12)}'-${whole % 12}${fraction}"` : `${whole}${fraction}${u.mark}`;
  return (whole || num ? sign : "") + body;
}

// A click lands on the grid of the zoom: the smallest step of 1, 2 or 5 times a power of ten
// that is at least one screen pixel, so that a point clicked is the round number meant.
function gridStep() {
  const pixel = 1 / view.s;
  const power = Math.pow(10, Math.floor(Math.log10(pixel)));
  for (const f of [1, 2, 5, 10]) if (f * power >= pixel) return f * power;
  return 10 * power;
}
function snapped(p) {
  const step = gridStep();
  return { x: Math.round(Math.round(p.x / step) * step), y: Math.round(Math.round(p.y / step) * step) };
}

function zoom(factor, at) {
  const box = drawingBox();
  const anchor = at || { x: box.width / 2, y: box.height / 2 };
  const before = toDrawing(anchor.x, anchor.y);
  view.fit = false;
  view.s *= factor;
  const after = toDrawing(anchor.x, anchor.y);
  view.cx += before.x - after.x;
  view.cy += before.y - after.y;
  applyView();
}

// The host's zoom (zoom extents after a drawing is loaded): the page shows that box, once for
// each zoom the host made.
let hostViewNumber = 0;
function followHostView() {
  const v = state.view;
  if (!v || v.number === hostViewNumber) return;
  hostViewNumber = v.number;
  const box = drawingBox();
  const w = Math.max(1, v.x2 - v.x1), h = Math.max(1, v.y2 - v.y1);
  view.fit = false;
  view.cx = (v.x1 + v.x2) / 2;
  view.cy = (v.y1 + v.y2) / 2;
  view.s = 0.9 * Math.min(box.width / w, box.height / h);
}

// The picture itself is kept up to date as each state arrives (drawing.js); a render places it.
function renderDrawing() {
  followHostView();
  applyView();
}

// The cursor: cross-hairs, the rubber band or window from the base point, the drag image.
function drawOverlay() {
  const overlay = document.getElementById("overlay");
  let shapes = "";
  const line = (a, b, colour) => `<line x1="${a.x}" y1="${a.y}" x2="${b.x}" y2="${b.y}" stroke="${colour}" stroke-dasharray="4 3"/>`;
  if (mouse) {
    const m = toScreen(mouse.x, mouse.y);
    const box = drawingBox();
    shapes += `<line x1="0" y1="${m.y}" x2="${box.width}" y2="${m.y}" stroke="#8080ff" stroke-width="0.5"/>`;
    shapes += `<line x1="${m.x}" y1="0" x2="${m.x}" y2="${box.height}" stroke="#8080ff" stroke-width="0.5"/>`;
    if (cursorImage && asking("point", "3d point", "pick")) {
      const base = toScreen(cursorImage.base.x, cursorImage.base.y);
      if (cursorImage.style === 1 || cursorImage.style === 3) shapes += line(base, m, "#c00000");
      if (cursorImage.style === 4) {
        shapes += `<rect x="${Math.min(base.x, m.x)}" y="${Math.min(base.y, m.y)}" width="${Math.abs(m.x - base.x)}" height="${Math.abs(m.y - base.y)}" fill="none" stroke="#c00000" stroke-dasharray="4 3"/>`;
      }
    }
    if (tool.points.length) {
      const pts = tool.points.map((p) => toScreen(p.x, p.y));
      for (let i = 1; i < pts.length; i++) shapes += line(pts[i - 1], pts[i], "#008000");
      shapes += line(pts[pts.length - 1], m, "#008000");
    }
  }
  overlay.innerHTML = shapes;
  // The drag image follows the mouse: its group is drawn at its base point.
  if (cursorImage && cursorImage.style === 0) {
    if (mouse && asking("point", "3d point", "pick")) {
      const dx = (mouse.x - cursorImage.base.x) * sheet.pieces, dy = -(mouse.y - cursorImage.base.y) * sheet.pieces;
      cursorImage.element.setAttribute("transform", `translate(${dx} ${dy})`);
      cursorImage.element.setAttribute("visibility", "visible");
    } else {
      cursorImage.element.setAttribute("visibility", "hidden");
    }
  }
}

function asking(...kinds) { return state && state.question && kinds.includes(state.question.kind); }

// ---- The host's own tools and the answers to point requests ----------------------------------

const tool = { name: "pointer", points: [] };

function setTool(name) {
  tool.name = name;
  tool.points = [];
  document.querySelectorAll("#toolbar .tool").forEach((b) => b.classList.toggle("down", b.dataset.tool === name));
  drawOverlay();
}

function finishLine() {
  if (tool.name === "line" && tool.points.length >= 2) {
    send("host line " + tool.points.map((p) => `${p.x} ${p.y}`).join(" "));
  }
  setTool("pointer");
}

function angleOf(c, p) {
  let a = (Math.atan2(p.y - c.y, p.x - c.x) * 180) / Math.PI;
  if (a < 0) a += 360;
  return Math.round(a * 100) / 100;
}

function clickDrawing(p, event) {
  if (tool.name === "line") {
    // A double click ends the line at the point its first click put down.
    if (event.detail >= 2) { finishLine(); return; }
    tool.points.push(p);
    return;
  }
  if (tool.name === "arc") {
    tool.points.push(p);
    if (tool.points.length === 3) {
      const [c, a, b] = tool.points;
      const r = Math.round(Math.hypot(a.x - c.x, a.y - c.y));
      send(`host arc ${c.x} ${c.y} ${r} ${angleOf(c, a)} ${angleOf(c, b)}`);
      setTool("pointer");
    }
    return;
  }
  if (tool.name === "text") {
    const text = prompt("Text", "");
    if (text) send(`host text ${p.x} ${p.y} ${quote(text)}`);
    setTool("pointer");
    return;
  }
  if (tool.name === "select") { send(`host select ${p.x} ${p.y}`); setTool("pointer"); return; }
  answerPoint(p);
}

function answerPoint(p) {
  if (asking("pick")) send(`pick ${p.x} ${p.y}`);
  else if (asking("point", "3d point")) send(`point ${p.x} ${p.y}`);
  else setRefusal("The program does not ask for a point now.");
}

function setUpDrawing() {
  const area = document.getElementById("drawing");
  let pan = null;
  area.addEventListener("mousemove", (e) => {
    const box = drawingBox();
    const px = e.clientX - box.left, py = e.clientY - box.top;
    if (pan) {
      view.fit = false;
      view.cx -= (px - pan.x) / view.s;
      view.cy += (py - pan.y) / view.s;
      pan = { x: px, y: py };
      applyView();
    }
    mouse = snapped(toDrawing(px, py));
    document.getElementById("where").textContent = `${lengthText(mouse.x)}, ${lengthText(mouse.y)}`;
    drawOverlay();
  });
  area.addEventListener("mouseleave", () => { mouse = null; pan = null; drawOverlay(); });
  area.addEventListener("mousedown", (e) => {
    const box = drawingBox();
    if (e.button === 1) { e.preventDefault(); pan = { x: e.clientX - box.left, y: e.clientY - box.top }; }
  });
  area.addEventListener("mouseup", (e) => { if (e.button === 1) pan = null; });
  area.addEventListener("click", (e) => {
    if (e.button !== 0) return;
    const box = drawingBox();
    area.focus();
    clickDrawing(snapped(toDrawing(e.clientX - box.left, e.clientY - box.top)), e);
  });
  area.addEventListener("contextmenu", (e) => {
    e.preventDefault();
    if (tool.name === "line") { finishLine(); return; }
    if (tool.name !== "pointer") { setTool("pointer"); return; }
    send("b2");
  });
  // The wheel of a mouse zooms at the mouse; a trackpad's two-finger scroll (fine steps, or any
  // sideways movement) pans, and with Ctrl (a pinch) zooms.
  area.addEventListener("wheel", (e) => {
    e.preventDefault();
    const box = drawingBox();
    const fine = e.deltaMode === 0 && (e.deltaX !== 0 || Math.abs(e.deltaY) < 40 || !Number.isInteger(e.deltaY));
    if (fine && !e.ctrlKey) {
      view.fit = false;
      view.cx += e.deltaX / view.s;
      view.cy -= e.deltaY / view.s;
      applyView();
      return;
    }
    const factor = e.ctrlKey && fine ? Math.exp(-e.deltaY / 100) : e.deltaY < 0 ? 1.25 : 0.8;
    zoom(factor, { x: e.clientX - box.left, y: e.clientY - box.top });
  }, { passive: false });
  document.querySelectorAll("#toolbar .tool").forEach((b) => b.addEventListener("click", () => setTool(b.dataset.tool)));
  document.getElementById("selectnone").addEventListener("click", () => send("host select none"));
  document.getElementById("zoomin").addEventListener("click", () => zoom(1.5));
  document.getElementById("zoomout").addEventListener("click", () => zoom(1 / 1.5));
  document.getElementById("zoomfit").addEventListener("click", () => { view.fit = true; applyView(); });
  document.getElementById("b2").addEventListener("click", () => {
    if (tool.name === "line") finishLine();
    else if (tool.name !== "pointer") setTool("pointer");
    else send("b2");
  });
  document.getElementById("escape").addEventListener("click", () => send("escape"));
  // Quit asks first while the session has lines not downloaded; they are kept on the machine
  // all the same, and the program says where.
  let savedLength = 0;
  document.getElementById("quit").addEventListener("click", async () => {
    await sending;
    if (state && state.sessionLength > savedLength &&
        !confirm(`Quit without saving the session?\n\nWhat you did is kept on this machine in ${state.kept}; ` +
                 "tracelon serve --session FILE goes on from it.")) return;
    await fetch("/api/quit", { method: "POST", headers: api.headers(), body: "{}" });
  });
  document.getElementById("download").addEventListener("click", (e) => {
    e.currentTarget.href = `/api/session?token=${encodeURIComponent(api.token)}`;
    if (state) savedLength = state.sessionLength;
  });
  document.getElementById("opendrawing").addEventListener("click", () => {
    const path = window.prompt("Open a drawing (.VWF or .DXF):", "C:\\TRACELON\\DRAWINGS\\");
    if (path && path.trim()) send(`host open ${quote(path.trim())}`);
  });
  document.getElementById("exportdxf").addEventListener("click", (e) => {
    e.currentTarget.href = `/api/drawing.dxf?token=${encodeURIComponent(api.token)}`;
  });
  document.getElementById("coordform").addEventListener("submit", (e) => {
    e.preventDefault();
    const input = document.getElementById("coords");
    const numbers = input.value.trim().split(/[\s,]+/).map(Number);
    if (numbers.length !== 2 || numbers.some((n) => !Number.isInteger(n))) {
      // Anything but two whole numbers of drawing units is a point typed in the drawing's own
      // notation (18'-4" 12'-0", @3'-0" 0, @10'<45): the host reads it.
      if (tool.name === "pointer" && asking("point", "3d point", "pick")) {
        send(`enter ${input.value.trim()}`);
        input.value = "";
      } else {
        setRefusal("Type a point as two whole numbers of drawing units (X Y), or while the program asks for a point in the drawing's units (18'-4\" 12'-0\", @3'<45)");
      }
      return;
    }
    input.value = "";
    const p = { x: numbers[0], y: numbers[1] };
    if (tool.name !== "pointer") clickDrawing(p, { detail: 1 });
    else answerPoint(p);
  });
  document.getElementById("activeform").addEventListener("submit", (e) => {
    e.preventDefault();
    const input = document.getElementById("activelayer");
    const layer = parseInt(input.value, 10);
    if (layer >= 1 && layer <= 255) send(`host active ${layer}`);
    else setRefusal("A layer is a number from 1 to 255");
  });
  document.addEventListener("keydown", (e) => {
    // While a point is asked, typing goes to the X Y box without clicking it first.
    const typing = e.key.length === 1 && !e.ctrlKey && !e.altKey && !e.metaKey;
    const free = document.activeElement === document.body || document.activeElement.id === "drawing";
    if (typing && free && asking("point", "3d point", "pick") && !waitingForm()) {
      document.getElementById("coords").focus();
      return;
    }
    if (e.key === "Escape") {
      if (tool.name !== "pointer") { setTool("pointer"); return; }
      const modal = waitingForm();
      if (modal) { escapeForm(modal); return; }
      if (asking("point", "3d point", "pick")) send("escape");
    }
    if (e.key === "Enter" && tool.name === "line" && document.activeElement.id !== "coords") finishLine();
  });
  window.addEventListener("resize", applyView);
}

// ---- Windows drawn from the form model -------------------------------------------------------

const moved = new Map();  // where the person dragged a window, by handle

function waitingForm() { return state && state.forms.find((f) => f.waiting); }

function escapeForm(form) {
  const cancel = form.controls.find((c) => (c.kind || c.type) === "Button" && c.cancel && c.visible && c.enabled);
  send(cancel ? `click ${word(cancel.name)}` : "close", form.handle);
}

// A caption as shown: "&&" is one "&", another "&" marks the access key and is not drawn.
function shown(caption) { return String(caption).replace(/&(&?)/g, (m, amp) => amp); }

// A caption's accelerator: the letter after a single "&" (lower case), or "" when it has none.
function accelerator(caption) {
  const m = /(?:^|[^&])(?:&&)*&([^&])/.exec(String(caption || ""));
  return m ? m[1].toLowerCase() : "";
}

// A caption as nodes: its accelerator letter underlined, as the system draws it.
function captionNodes(caption) {
  const text = String(caption || "");
  const nodes = [];
  let plain = "", underlined = false;
  for (let i = 0; i < text.length; i++) {
    if (text[i] !== "&") { plain += text[i]; continue; }
    if (text[i + 1] === "&") { plain += "&"; i++; continue; }
    if (underlined || i + 1 >= text.length) continue;
    if (plain) nodes.push(document.createTextNode(plain));
    plain = "";
    nodes.push(el("u", "accel", text[++i]));
    underlined = true;
  }
  if (plain || nodes.length === 0) nodes.push(document.createTextNode(plain));
  if (!underlined) return nodes;
  // One node, so that a caption beside a box lays out as one piece of text.
  const span = el("span", "cap");
  span.append(...nodes);
  return [span];
}
function captioned(tag, className, caption) {
  const e = el(tag, className);
  e.append(...captionNodes(caption));
  return e;
}

function el(tag, className, text) {
  const e = document.createElement(tag);
  if (className) e.className = className;
  if (text !== undefined) e.textContent = text;
  return e;
}

function placeControl(e, c, offsetTop = 0) {
  const [left, top, width, height] = c.bounds;
  Object.assign(e.style, { left: left + "px", top: top + offsetTop + "px", width: width + "px", height: height + "px" });
  e.classList.add("ctl", c.kind || c.type);
  if (c.kind && c.kind !== c.type) e.dataset.type = c.type;
  if (!c.visible) e.classList.add("hidden");
  if (!c.enabled) {
    e.classList.add("disabled");
    // A disabled control takes neither the focus nor the mouse, so Tab passes it by.
    for (const f of [e, ...e.querySelectorAll("input, textarea, select, button")]) if ("disabled" in f) f.disabled = true;
  }
  if (c.hint) e.title = c.hint;
  if (c.font) {
    if (c.font.bold) e.style.fontWeight = "bold";
    if (c.font.italic) e.style.fontStyle = "italic";
    if (c.font.size && c.font.size !== 8) e.style.fontSize = Math.round((c.font.size * 96) / 72) + "px";
  }
  e.dataset.name = c.name;
  return e;
}

function mouseWords(e) { return (e.shiftKey ? " shift" : "") + (e.ctrlKey ? " ctrl" : ""); }
function buttonWord(e) { return e.button === 2 ? "right" : e.button === 1 ? "middle" : "left"; }

// Every class of the toolkit has its drawing here; a control of a class the page does not know
// is drawn as a marked box naming it (and the page's tests look for such boxes).
function renderControl(form, c, act) {
  const name = word(c.name);
  const kind = c.kind || c.type;
  let e;
  switch (kind) {
    case "Label":
      e = captioned("div", c.wordWrap ? "wrap" : "", c.text);
      e.style.textAlign = c.align;
      placeControl(e, c);
      // A label that sizes itself to its text has the program's size for it; the browser's font
      // may be wider, so its text is not cut.
      if (c.autoSize && !c.wordWrap) e.style.overflow = "visible";
      return e;
    case "GroupBox":
      e = el("div");
      if (c.text) e.appendChild(captioned("span", "legend", c.text));
      break;
    case "Panel":
      e = el("div", c.bevel);
      if (c.text) e.appendChild(captioned("span", "panelcaption", c.text));
      break;
    case "Edit": case "SpinEdit": case "Memo": {
      if (kind === "Memo" && !c.oneLine) {
        e = el("textarea");
        e.value = (c.lines || []).join("\n");
        e.readOnly = !!c.readOnly;
        e.addEventListener("change", () => act(`set ${name} ` + e.value.split("\n").map(quote).join(" ")));
        break;
      }
      // Edits, spin edits and the one-line memos the number and length fields are.
      e = el("input");
      e.type = c.password ? "password" : "text";
      e.value = kind === "Memo" ? (c.lines || []).join(" ") : c.text;
      e.readOnly = !!c.readOnly;
      e.style.textAlign = c.align;
      if (c.maxLength) e.maxLength = c.maxLength;
      e.addEventListener("change", () => { c.text = e.value; act(`set ${name} ${quote(e.value)}`); });
      e.addEventListener("keydown", (k) => {
        if (k.key === "Enter") { k.preventDefault(); if (e.value !== c.text) act(`set ${name} ${quote(e.value)}`); c.text = e.value; act(`type ${name} "\\r"`); }
      });
      break;
    }
    case "Button": {
      e = el("button", c.default ? "default" : "");
      if (c.glyph) { const img = el("img"); img.src = `/api/picture/${c.glyph}`; e.appendChild(img); }
      e.append(...captionNodes(c.text));
      e.addEventListener("click", () => act(`click ${name}`));
      break;
    }
    case "SpeedButton": case "ToolButton": {
      e = el("button", c.down ? "down" : "");
      if (c.glyph) { const img = el("img"); img.src = `/api/picture/${c.glyph}`; e.appendChild(img); }
      else e.append(...captionNodes(c.text));
      if (c.separator) e.style.visibility = "hidden";
      e.addEventListener("click", () => act(`click ${name}`));
      if (c.mouse) {
        // The right button reaches the button's own handlers (settings, hierarchies), not the
        // browser's menu; the left one is the button's click.
        const at = (k) => { const r = e.getBoundingClientRect(); return `${Math.floor(k.clientX - r.left)} ${Math.floor(k.clientY - r.top)}`; };
        e.addEventListener("mousedown", (k) => { if (k.button === 2) act(`mouse ${name} down right ${at(k)}${mouseWords(k)}`); });
        e.addEventListener("mouseup", (k) => { if (k.button === 2) act(`mouse ${name} up right ${at(k)}${mouseWords(k)}`); });
        e.addEventListener("contextmenu", (k) => k.preventDefault());
      }
      break;
    }
    case "CheckBox": case "RadioButton": {
      e = el("label");
      const box = el("input");
      box.type = kind === "CheckBox" ? "checkbox" : "radio";
      box.checked = !!c.checked;
      box.addEventListener("click", (k) => {
        k.preventDefault();
        act(kind === "CheckBox" ? `check ${name} ${c.checked ? "off" : "on"}` : `click ${name}`);
      });
      e.append(box, ...captionNodes(c.text));
      break;
    }
    case "RadioGroup": {
      e = el("div");
      if (c.text) e.appendChild(captioned("span", "legend", c.text));
      c.items.forEach((item, i) => {
        const label = el("label");
        const radio = el("input");
        radio.type = "radio";
        radio.checked = i === c.itemIndex;
        radio.addEventListener("click", (k) => { k.preventDefault(); act(`select ${name} ${quote(shown(item))}`); });
        label.append(radio, ...captionNodes(item));
        // Columns are filled first, each item in its cell of the group, as the toolkit lays
        // them out: rows share the height below the caption, columns the width inside the frame.
        const columns = Math.max(1, c.columns || 1), perColumn = Math.ceil(c.items.length / columns);
        const space = c.bounds[3] - c.lineHeight - 5, rowHeight = Math.max(Math.floor(space / perColumn), 1);
        const columnWidth = Math.floor((c.bounds[2] - 10) / columns);
        Object.assign(label.style, { position: "absolute", left: Math.floor(i / perColumn) * columnWidth + 8 + "px",
          top: (i % perColumn) * rowHeight + c.lineHeight + 1 + Math.floor((space % perColumn) / 2) + "px",
          width: columnWidth + "px", height: rowHeight + "px" });
        label.classList.add("item");
        e.appendChild(label);
      });
      break;
    }
    case "ListBox": {
      e = el("div");
      c.items.forEach((item, i) => {
        const row = el("div", c.selected[i] || i === c.itemIndex && !c.multiSelect ? "selected" : "", item || "\u00a0");
        row.addEventListener("click", () => act(`select ${name} ${quote(item)}`));
        row.addEventListener("dblclick", () => act(`dblclick ${name}`));
        e.appendChild(row);
      });
      break;
    }
    case "ComboBox": {
      if (c.list) {
        e = el("select");
        if (c.itemIndex < 0) e.appendChild(el("option", "", ""));
        c.items.forEach((item, i) => { const o = el("option", "", item); o.selected = i === c.itemIndex; e.appendChild(o); });
        e.addEventListener("change", () => act(`select ${name} ${quote(e.value)}`));
      } else {
        e = el("input");
        e.value = c.text;
        const list = el("datalist");
        list.id = `list-${form.handle}-${c.name}`;
        c.items.forEach((item) => list.appendChild(el("option", "", item)));
        e.setAttribute("list", list.id);
        e.addEventListener("change", () => act(c.items.includes(e.value) ? `select ${name} ${quote(e.value)}` : `set ${name} ${quote(e.value)}`));
        const wrap = el("div");
        wrap.append(e, list);
        Object.assign(e.style, { width: "100%", height: "100%", border: "2px inset #fff", font: "inherit" });
        return placeControl(wrap, c);
      }
      break;
    }
    case "StringGrid": e = renderGrid(c, name, act); break;
    case "Image": {
      e = el("div");
      if (c.picture) {
        const img = el("img");
        img.src = `/api/picture/${c.picture}`;
        img.draggable = false;
        if (c.stretch) { img.style.width = "100%"; img.style.height = "100%"; }
        e.appendChild(img);
      }
      if (c.mouse) {
        const at = (k) => { const r = e.getBoundingClientRect(); return `${Math.floor(k.clientX - r.left)} ${Math.floor(k.clientY - r.top)}`; };
        e.addEventListener("mousedown", (k) => { k.preventDefault(); act(`mouse ${name} down ${buttonWord(k)} ${at(k)}${mouseWords(k)}`); });
        e.addEventListener("mouseup", (k) => act(`mouse ${name} up ${buttonWord(k)} ${at(k)}${mouseWords(k)}`));
        e.addEventListener("contextmenu", (k) => k.preventDefault());
      } else if (c.dblclick) {
        e.addEventListener("dblclick", () => act(`dblclick ${name}`));
      } else {
        e.addEventListener("click", () => act(`click ${name}`));
      }
      break;
    }
    case "TabSet": {
      e = el("div", "tabs");
      c.tabs.forEach((tab, i) => {
        const b = captioned("button", i === c.tabIndex ? "current" : "", tab);
        b.addEventListener("click", () => act(`tab ${quote(shown(tab))}`));
        e.appendChild(b);
      });
      break;
    }
    case "Page": case "ToolBar":
      e = el("div");
      break;
    case "Notebook": case "PageControl": {
      e = el("div", c.showTabs ? "withtabs" : "");
      if (c.showTabs) {
        // The tabs' row on top, the frame of the shown page below it.
        const tabs = el("div", "tabs");
        tabs.style.top = "0";
        tabs.style.height = c.tabHeight + "px";
        const frame = el("div", "pageframe");
        frame.style.top = c.tabHeight + "px";
        e.appendChild(frame);
        c.pages.forEach((page, i) => {
          const b = captioned("button", i === c.pageIndex ? "current" : "", page);
          b.addEventListener("click", () => act(`tab ${quote(shown(page))}`));
          tabs.appendChild(b);
        });
        e.appendChild(tabs);
        e.style.overflow = "visible";
      }
      break;
    }
    default:
      e = el("div", "unknown", c.type);
      e.dataset.unknown = c.type;
  }
  placeControl(e, c);
  // Tab stops where the program's window has them: none in a control that takes no focus (a tab
  // set's tabs, a picture), one for a group of radio buttons and one for a page control's tabs.
  const stops = [e, ...e.querySelectorAll("input, textarea, select, button")];
  if (c.focusable === false) stops.forEach((f) => { f.tabIndex = -1; });
  else if (kind === "PageControl" || kind === "Notebook") e.querySelectorAll(".tabs button:not(.current)").forEach((f) => { f.tabIndex = -1; });
  else if (kind === "RadioGroup") e.querySelectorAll("input").forEach((f) => { f.name = `group-${form.handle}-${c.name}`; });
  if (c.change && (kind === "Edit" || kind === "Memo" || kind === "SpinEdit")) sendAsTyped(focusable(e), name, act);
  return e;
}

// A field whose program acts on each change (a preview drawn as the text is typed) has its text
// sent with every key, as the system's edit tells its program, without the focus or the caret
// leaving it. Keys typed while an answer is on its way go as one line, the latest text; leaving
// the field sends nothing more when the program has that text already.
function sendAsTyped(input, name, act) {
  if (!input) return;
  let sent = null, sending = false;
  const text = () => (input.tagName === "TEXTAREA" ? input.value.split("\n").map(quote).join(" ") : quote(input.value));
  input.addEventListener("input", async () => {
    if (sending) return;
    sending = true;
    try {
      while (input.value !== sent) {
        sent = input.value;
        await act(`set ${name} ${text()}`);
      }
    } finally {
      sending = false;
    }
  });
  input.addEventListener("change", (k) => { if (input.value === sent) k.stopImmediatePropagation(); }, true);
}

function renderGrid(c, name, act) {
  const e = el("div");
  const xs = [0], ys = [0];
  c.colWidths.forEach((w) => xs.push(xs[xs.length - 1] + w + c.lineWidth));
  c.rowHeights.forEach((h) => ys.push(ys[ys.length - 1] + h + c.lineWidth));
  let svg = `<svg xmlns="http://www.w3.org/2000/svg" width="${xs[xs.length - 1]}" height="${ys[ys.length - 1]}" font-family="DejaVu Sans, sans-serif" font-size="11">`;
  const esc = (t) => String(t).replace(/[<>&"]/g, (ch) => ({ "<": "&lt;", ">": "&gt;", "&": "&amp;", '"': "&quot;" })[ch]);
  for (let row = 0; row < c.rows; row++) {
    for (let col = 0; col < c.cols; col++) {
      const cell = c.cells[row][col];
      const x = xs[col], y = ys[row], w = c.colWidths[col], h = c.rowHeights[row];
      const fixed = col < c.fixedCols || row < c.fixedRows;
      const current = col === c.col && row === c.row;
      svg += `<rect x="${x}" y="${y}" width="${w}" height="${h}" fill="${fixed ? "#c0c0c0" : current ? "#000080" : "#ffffff"}" stroke="#808080" stroke-width="0.5"/>`;
      if (cell.ops.length) {
        // What the grid's paint handler drew, in the grid's pixels.
        for (const op of cell.ops) {
          const [l, t, r, b] = op.rect;
          if (op.kind === "fill") svg += `<rect x="${l}" y="${t}" width="${r - l}" height="${b - t}" fill="${op.brush}"/>`;
          else if (op.kind === "frame") svg += `<rect x="${l + 0.5}" y="${t + 0.5}" width="${r - l - 1}" height="${b - t - 1}" fill="none" stroke="${op.brush}"/>`;
          else if (op.kind === "rectangle") svg += `<rect x="${l + 0.5}" y="${t + 0.5}" width="${r - l - 1}" height="${b - t - 1}" fill="${op.brush}" stroke="${op.pen}"/>`;
          else if (op.kind === "ellipse") svg += `<ellipse cx="${(l + r) / 2}" cy="${(t + b) / 2}" rx="${(r - l) / 2}" ry="${(b - t) / 2}" fill="${op.brush}" stroke="${op.pen}"/>`;
          else if (op.kind === "line") svg += `<line x1="${l}" y1="${t}" x2="${r}" y2="${b}" stroke="${op.pen}"/>`;
          else if (op.kind === "edge") svg += `<rect x="${l + 0.5}" y="${t + 0.5}" width="${r - l - 1}" height="${b - t - 1}" fill="#c0c0c0" stroke="${op.raised ? "#ffffff" : "#808080"}"/>`;
          else if (op.kind === "text") svg += `<text x="${l}" y="${t + 11}" fill="${op.font.color}"${op.font.bold ? ' font-weight="bold"' : ""}>${esc(op.text)}</text>`;
        }
      } else if (cell.text) {
        svg += `<text x="${x + 2}" y="${y + Math.min(h - 3, 13)}" fill="${current && !fixed ? "#ffffff" : "#000000"}">${esc(cell.text)}</text>`;
      }
    }
  }
  e.innerHTML = svg + "</svg>";
  const cellAt = (k) => {
    const r = e.getBoundingClientRect();
    const x = k.clientX - r.left - 2, y = k.clientY - r.top - 2;
    let col = -1, row = -1;
    for (let i = 0; i < c.cols; i++) if (x >= xs[i] && x < xs[i + 1]) col = i;
    for (let i = 0; i < c.rows; i++) if (y >= ys[i] && y < ys[i + 1]) row = i;
    return col < 0 || row < 0 ? null : { col, row };
  };
  let last = null;
  e.addEventListener("mousedown", (k) => {
    k.preventDefault();
    const at = cellAt(k);
    if (at) act(`mouse ${name} down ${buttonWord(k)} cell ${at.col} ${at.row}${mouseWords(k)}`);
  });
  e.addEventListener("mouseup", (k) => {
    const at = cellAt(k);
    if (at) act(`mouse ${name} up ${buttonWord(k)} cell ${at.col} ${at.row}${mouseWords(k)}`);
  });
  e.addEventListener("contextmenu", (k) => k.preventDefault());
  if (c.mouseMove) {
    e.addEventListener("mousemove", (k) => {
      const at = cellAt(k);
      if (!at || (last && last.col === at.col && last.row === at.row)) return;
      last = at;
      act(`mouse ${name} move left cell ${at.col} ${at.row}`);
    });
  }
  if (c.editing) {
    e.addEventListener("dblclick", (k) => {
      const at = cellAt(k);
      if (!at || at.col < c.fixedCols || at.row < c.fixedRows) return;
      const text = prompt("Cell", c.cells[at.row][at.col].text);
      if (text !== null) act(`cell ${name} ${at.col} ${at.row} ${quote(text)}`);
    });
  }
  return e;
}

// A window is drawn once and then brought up to date in place: a control whose model did not
// change is left alone, one that changed has its attributes, texts and states patched, and the
// field the person is typing in keeps its text, its caret and the focus. Only a window whose
// set of controls changed is built anew.
const shownForms = new Map();  // handle -> { win, client, shape, els: name -> element, live: name -> model, programActive }
// The control the page last told the program it focused, by form handle.
const pageFocus = new Map();
let focusingForProgram = false;

// What decides a window's make-up: its controls, their kinds and parents.
function formShape(form) { return form.controls.map((c) => `${c.name}:${c.type}:${c.parent}`).join("|"); }

// Whether a change of this model needs the control built anew (its items or pictures changed).
function contentKey(c) {
  return JSON.stringify([c.items, c.tabs, c.pages, c.cells, c.colWidths, c.rowHeights, c.glyph, c.picture, c.list, c.password, c.multiSelect]);
}

function isControlElement(node) { return node.nodeType === 1 && node.classList.contains("ctl"); }

// Makes `target` look like `source` (built from the same kind of model): attributes, classes,
// styles, texts, values and checks, child by child. Child controls are left to themselves, and
// the value of the element that has the focus is the person's.
function patchElement(target, source) {
  if (target.tagName !== source.tagName) return false;
  for (const a of [...target.attributes]) if (!source.hasAttribute(a.name)) target.removeAttribute(a.name);
  for (const a of [...source.attributes]) if (target.getAttribute(a.name) !== a.value) target.setAttribute(a.name, a.value);
  if ("value" in source && target !== document.activeElement && target.value !== source.value) target.value = source.value;
  if ("checked" in source && target.checked !== source.checked) target.checked = source.checked;
  if ("readOnly" in source) target.readOnly = source.readOnly;
  if ("disabled" in source) target.disabled = source.disabled;
  const own = [...target.childNodes].filter((n) => !isControlElement(n));
  const fresh = [...source.childNodes];
  const same = own.length === fresh.length && own.every((n, i) => n.nodeType === fresh[i].nodeType && n.nodeName === fresh[i].nodeName);
  if (!same) {
    own.forEach((n) => n.remove());
    const firstControl = [...target.childNodes].find(isControlElement) || null;
    fresh.forEach((n) => target.insertBefore(n, firstControl));
    return true;
  }
  own.forEach((n, i) => {
    if (n.nodeType === 3) { if (n.nodeValue !== fresh[i].nodeValue) n.nodeValue = fresh[i].nodeValue; }
    else if (n.nodeType === 1 && !patchElement(n, fresh[i])) n.replaceWith(fresh[i]);
  });
  return true;
}

// The element that takes the focus and the typing for a control's element.
function focusable(e) { return e.matches("input, textarea, select, button") ? e : e.querySelector("input, textarea, select, button"); }

// A control's model as the page places it: a page of a tabbed notebook fills the frame below
// the tabs, 4 pixels inside it.
function placedModel(form, c) {
  const live = { ...c };
  const book = (c.kind || c.type) === "Page" && form.controls.find((b) => b.name === c.parent);
  if (book && book.showTabs) live.bounds = [4, book.tabHeight + 4, book.bounds[2] - 8, book.bounds[3] - book.tabHeight - 8];
  return live;
}

function buildForm(form, act = (line) => send(line, form.handle)) {
  const win = el("div", "window");
  win.dataset.form = form.class;
  win.dataset.handle = form.handle;
  const caption = el("div", "caption");
  caption.appendChild(el("span", "", form.caption));
  const close = el("button", "", "\u00d7");
  close.title = "Close";
  close.tabIndex = -1;
  close.addEventListener("click", () => act("close"));
  caption.appendChild(close);
  const entry = { win, caption, client: el("div", "client"), shape: formShape(form), els: new Map(), live: new Map(), programActive: form.active, toldActive: undefined, toldCount: 0 };
  caption.addEventListener("mousedown", (e) => {
    if (e.target === close) return;
    const start = { x: e.clientX, y: e.clientY, left: parseFloat(win.style.left), top: parseFloat(win.style.top) };
    const move = (m) => {
      const next = { left: start.left + m.clientX - start.x, top: start.top + m.clientY - start.y };
      moved.set(form.handle, next);
      win.style.left = next.left + "px";
      win.style.top = next.top + "px";
    };
    const up = () => { window.removeEventListener("mousemove", move); window.removeEventListener("mouseup", up); };
    window.addEventListener("mousemove", move);
    window.addEventListener("mouseup", up);
  });
  win.append(caption, entry.client);
  for (const c of form.controls) {
    const live = placedModel(form, c);
    const e = renderControl(form, live, act);
    entry.els.set(c.name, e);
    entry.live.set(c.name, live);
    const parent = c.parent && entry.els.get(c.parent);
    (parent || entry.client).appendChild(e);
  }
  // The page tells the program where the focus went (by Tab or by the mouse), so that the field
  // left is checked as it is left. A button, box or list item clicked takes the focus with its
  // own action.
  win.addEventListener("focusin", (k) => {
    if (focusingForProgram) return;
    const e = k.target.closest(".ctl");
    if (!e || !e.dataset.name) return;
    const live = entry.live.get(e.dataset.name);
    if (!live) return;
    // A label's click hands the focus to its box just after the button is released.
    const byMouse = mouseHeld || performance.now() - mouseReleased < 100;
    const clicked = byMouse && !/^(Edit|SpinEdit|Memo|ComboBox|TDblEdit|TLongEdit|TUnitEdit)$/.test(live.kind || live.type);
    if (clicked) { pageFocus.set(form.handle, live.name); return; }
    // The control the program has active as far as the page knows: the one the page last sent
    // until the program's answer to it is in (a Tab on before the answer must still be sent).
    const known = entry.toldActive ?? entry.programActive;
    if (pageFocus.get(form.handle) === live.name && known === live.name) return;
    pageFocus.set(form.handle, live.name);
    if (known !== live.name) {
      const told = ++entry.toldCount;
      entry.toldActive = live.name;
      act(`focus ${word(live.name)}`).then(() => { if (entry.toldCount === told) entry.toldActive = undefined; });
    }
  });
  return entry;
}

function updateForm(entry, form) {
  const act = (line) => send(line, form.handle);
  entry.caption.firstChild.textContent = form.caption;
  for (const model of form.controls) {
    const c = placedModel(form, model);
    const live = entry.live.get(c.name);
    if (JSON.stringify(live) === JSON.stringify(c)) continue;
    const e = entry.els.get(c.name);
    const rebuild = contentKey(live) !== contentKey(c);
    for (const k of Object.keys(live)) delete live[k];
    Object.assign(live, c);
    const fresh = renderControl(form, live, act);
    if (rebuild || !patchElement(e, fresh)) {
      // Child controls move over to the new element.
      [...e.childNodes].filter(isControlElement).forEach((child) => fresh.appendChild(child));
      e.replaceWith(fresh);
      entry.els.set(c.name, fresh);
    }
  }
}

function placeForm(entry, form) {
  const win = entry.win;
  win.classList.toggle("tool", !!form.toolWindow);
  win.classList.toggle("waiting", !!form.waiting);
  const area = document.getElementById("drawing").getBoundingClientRect();
  const main = document.getElementById("main").getBoundingClientRect();
  const at = moved.get(form.handle) || {
    left: Math.max(0, Math.min(form.bounds[0], area.width - form.bounds[2])),
    top: Math.max(0, Math.min(form.bounds[1] - 40, main.height - form.bounds[3])),
  };
  Object.assign(win.style, { left: at.left + "px", top: at.top + "px", width: form.bounds[2] + "px" });
  Object.assign(entry.client.style, { width: form.client[0] + "px", height: form.client[1] + "px" });
  // A window taller than the drawing area (a long toolbar) stays within it and scrolls, so that
  // it never covers the prompt line.
  const room = main.height - at.top - 4;
  if (form.bounds[3] > room && room > 40) {
    Object.assign(entry.client.style, { height: Math.max(20, room - (form.bounds[3] - form.client[1])) + "px", overflowY: "auto" });
  }
}

function renderForms() {
  const holder = document.getElementById("windows");
  const seen = new Set();
  for (const form of state.forms) {
    if (!form.visible) continue;
    seen.add(form.handle);
    let entry = shownForms.get(form.handle);
    if (entry && entry.shape !== formShape(form)) {
      entry.win.remove();
      entry = null;
    }
    if (!entry) {
      entry = buildForm(form);
      shownForms.set(form.handle, entry);
      pageFocus.delete(form.handle);
    } else {
      updateForm(entry, form);
    }
    placeForm(entry, form);
    if (entry.win.parentNode !== holder) holder.appendChild(entry.win);
    entry.programActive = form.active;
  }
  for (const [handle, entry] of shownForms) {
    if (!seen.has(handle)) { entry.win.remove(); shownForms.delete(handle); pageFocus.delete(handle); }
  }
  followProgramFocus();
}

// The focus goes where the program put it only when that is not where the page has it (a window
// shown anew, a field's check keeping the focus), and never while the person's lines are on
// their way: once the last has been answered, this runs again.
function followProgramFocus() {
  if (!state || pendingLines > 0) return;
  for (const form of state.forms) {
    const entry = shownForms.get(form.handle);
    if (!entry || !form.visible || !form.waiting || !form.active) continue;
    if (pageFocus.get(form.handle) === form.active) continue;
    const target = entry.els.get(form.active);
    const input = target && focusable(target);
    if (!input) continue;
    if (input !== document.activeElement) {
      focusingForProgram = true;
      try { input.focus({ preventScroll: true }); } finally { focusingForProgram = false; }
    }
    pageFocus.set(form.handle, form.active);
  }
}

// ---- Boxes and the system's dialogs -------------------------------------------------------

function dialogShell(title, className) {
  const win = el("div", "window dialog waiting " + (className || ""));
  const caption = el("div", "caption");
  caption.appendChild(el("span", "", title));
  const client = el("div", "client");
  win.append(caption, client);
  const area = document.getElementById("drawing").getBoundingClientRect();
  Object.assign(win.style, { left: Math.max(20, area.width / 2 - 200) + "px", top: "80px", minWidth: "300px" });
  document.getElementById("windows").appendChild(win);
  return client;
}

// The boxes' icons, drawn (a machine may lack emoji): warning, error, information, question.
const ICONS = ["",
  '<svg viewBox="0 0 32 32" width="32" height="32"><path d="M16 2 L31 29 H1 Z" fill="#ffd800" stroke="#000"/><rect x="14.5" y="10" width="3" height="11" fill="#000"/><rect x="14.5" y="23" width="3" height="3" fill="#000"/></svg>',
  '<svg viewBox="0 0 32 32" width="32" height="32"><circle cx="16" cy="16" r="14" fill="#d00000" stroke="#600"/><path d="M10 10 L22 22 M22 10 L10 22" stroke="#fff" stroke-width="3.5"/></svg>',
  '<svg viewBox="0 0 32 32" width="32" height="32"><circle cx="16" cy="16" r="14" fill="#fff" stroke="#0040c0" stroke-width="2"/><rect x="14.5" y="13" width="3" height="11" fill="#0040c0"/><rect x="14.5" y="7.5" width="3" height="3" fill="#0040c0"/></svg>',
  '<svg viewBox="0 0 32 32" width="32" height="32"><circle cx="16" cy="16" r="14" fill="#fff" stroke="#0040c0" stroke-width="2"/><text x="16" y="23" font-size="19" font-weight="bold" text-anchor="middle" fill="#0040c0" font-family="sans-serif">?</text></svg>'];

// The system's own dialog of the question asked, drawn once per question: a state that asks the
// same leaves it (and what is typed in it) as it is.
let questionShown = "";
function renderQuestionDialog() {
  const q = state.question;
  const d = q.details || {};
  const key = JSON.stringify(q);
  if (key === questionShown && document.querySelector("#windows > .dialog")) return;
  questionShown = key;
  document.querySelectorAll("#windows > .dialog").forEach((w) => w.remove());
  if (q.kind === "message") {
    const client = dialogShell(d.caption, "box");
    const text = el("div", "text");
    if (ICONS[+d.icon]) { const icon = el("span", "icon"); icon.innerHTML = ICONS[+d.icon]; icon.dataset.icon = d.icon; text.appendChild(icon); }
    text.appendChild(el("span", "", (d.text || "").replace(/\r\n/g, "\n")));
    const buttons = el("div", "buttons");
    for (const b of (d.buttons || "OK").split("/")) {
      const button = el("button", "", b);
      button.addEventListener("click", () => send(`answer ${b}`));
      buttons.appendChild(button);
    }
    client.append(text, buttons);
    buttons.firstChild.focus();
  } else if (q.kind === "open file" || q.kind === "folder") {
    fileDialog(q.kind, d);
  } else if (q.kind === "font") {
    fontDialog(d);
  } else if (q.kind === "input") {
    const client = dialogShell(d.caption, "commondialog");
    const label = el("label", "", d.prompt);
    const input = el("input");
    input.type = "text";
    input.value = d.initial || "";
    label.appendChild(input);
    const row = el("div", "row");
    const ok = el("button", "", "OK"), cancel = el("button", "", "Cancel");
    ok.addEventListener("click", () => send(`input ${quote(input.value)}`));
    cancel.addEventListener("click", () => send("input cancel"));
    input.addEventListener("keydown", (k) => { if (k.key === "Enter") ok.click(); });
    row.append(ok, cancel);
    client.append(label, row);
    input.focus();
  }
}

async function fileDialog(kind, d) {
  const client = dialogShell(d.title || (kind === "folder" ? "Browse for Folder" : "Open"), "commondialog");
  const folderLine = el("label", "", "Look in:");
  const folder = el("input");
  folder.type = "text";
  folderLine.appendChild(folder);
  const list = el("div", "files");
  const nameLine = el("label", "", kind === "folder" ? "Folder:" : "File name:");
  const name = el("input");
  name.type = "text";
  name.value = d.fileName || "";
  nameLine.appendChild(name);
  const filter = el("div", "", d.filter ? "Files of type: " + d.filter.split("|")[0] : "");
  const row = el("div", "row");
  const ok = el("button", "", kind === "folder" ? "OK" : "Open"), cancel = el("button", "", "Cancel");
  row.append(ok, cancel);
  client.append(folderLine, list, nameLine, filter, row);
  const join = (dir, entry) => (dir.endsWith("\\") ? dir : dir + "\\") + entry;
  const parent = (dir) => { const t = dir.replace(/\\+$/, ""); const i = t.lastIndexOf("\\"); return i <= 2 ? t.slice(0, 3) : t.slice(0, i); };
  async function open(dir) {
    folder.value = dir;
    const response = await fetch(`/api/files?dir=${encodeURIComponent(dir)}`, { headers: api.headers() });
    const listing = await response.json();
    list.innerHTML = "";
    if (listing.error) { list.appendChild(el("div", "", listing.error)); return; }
    const up = el("div", "folder", "..");
    up.addEventListener("dblclick", () => open(parent(dir)));
    list.appendChild(up);
    for (const entry of listing.entries) {
      if (kind === "folder" && !entry.folder) continue;
      const item = el("div", entry.folder ? "folder" : "", entry.name);
      item.addEventListener("click", () => {
        list.querySelectorAll(".chosen").forEach((c) => c.classList.remove("chosen"));
        item.classList.add("chosen");
        if (!entry.folder || kind === "folder") name.value = kind === "folder" ? join(dir, entry.name) : entry.name;
      });
      if (entry.folder) item.addEventListener("dblclick", () => open(join(dir, entry.name)));
      else item.addEventListener("dblclick", () => ok.click());
      list.appendChild(item);
    }
  }
  folder.addEventListener("keydown", (k) => { if (k.key === "Enter") open(folder.value); });
  ok.addEventListener("click", () => {
    const value = name.value.trim();
    if (kind === "folder") send(`folder ${quote(value || folder.value)}`);
    else send(`file ${quote(/^[A-Za-z]:\\/.test(value) ? value : join(folder.value, value))}`);
  });
  cancel.addEventListener("click", () => send(kind === "folder" ? "folder cancel" : "file cancel"));
  await open(d.initialDir || "C:\\");
}

const FACES = ["Arial", "Courier New", "Times New Roman", "Verdana", "Tahoma", "Georgia", "Lucida Console",
  "Comic Sans MS", "Trebuchet MS", "Symbol", "Wingdings", "MS Sans Serif", "MS Serif", "Small Fonts", "System", "Courier"];

function fontDialog(d) {
  const client = dialogShell("Font", "commondialog");
  const faceLine = el("label", "", "Font:");
  const face = el("select");
  for (const f of FACES) if (d.trueTypeOnly !== "1" || FACES.indexOf(f) < 11) face.appendChild(el("option", "", f));
  if (![...face.options].some((o) => o.value === d.face)) face.appendChild(el("option", "", d.face));
  face.value = d.face;
  faceLine.appendChild(face);
  const sizeLine = el("label", "", "Size:");
  const size = el("input");
  size.type = "text";
  size.value = d.size;
  sizeLine.appendChild(size);
  const styles = el("div");
  const flags = {};
  for (const s of ["bold", "italic", "underline", "strikeout"]) {
    const l = el("label");
    l.style.display = "inline-flex";
    const box = el("input");
    box.type = "checkbox";
    box.checked = d[s] === "1";
    flags[s] = box;
    l.append(box, document.createTextNode(" " + s + "  "));
    styles.appendChild(l);
  }
  const row = el("div", "row");
  const ok = el("button", "", "OK"), cancel = el("button", "", "Cancel");
  ok.addEventListener("click", () => {
    const words = Object.keys(flags).filter((s) => flags[s].checked).map((s) => " " + s).join("");
    send(`font ${quote(face.value)} ${parseInt(size.value, 10) || 10}${words}`);
  });
  cancel.addEventListener("click", () => send("font cancel"));
  row.append(ok, cancel);
  client.append(faceLine, sizeLine, styles, row);
}

// ---- The help viewer ---------------------------------------------------------------------------
// The toolset's help file is a page of topics, "## NNN Title" each, fetched once. A topic's text
// has paragraphs, "- " and "1. " lists, **bold**, `code` and links [text](#NNN) to other topics;
// it is built as DOM nodes, never as HTML, so nothing in it can run.
const HELP_FILE = "qxt.hlp";
let helpTopics = null;

async function loadHelp() {
  if (helpTopics) return helpTopics;
  const topics = new Map();
  try {
    const response = await fetch("/help.md");
    if (response.ok) {
      let current = null;
      for (const line of (await response.text()).split(/\r?\n/)) {
        const head = /^## (\d+) (.+)$/.exec(line);
        if (head) {
          current = { title: head[2].trim(), lines: [] };
          topics.set(head[1], current);
        } else if (current && !line.startsWith("# ")) {
          current.lines.push(line);
        }
      }
    }
  } catch (e) {
    // No help file: every topic says so.
  }
  helpTopics = topics;
  return topics;
}

// Inline text: **bold**, `code` and [text](#NNN) links (which open topic NNN in the same window).
function helpInline(parent, text, go) {
  const pattern = /\*\*([^*]+)\*\*|`([^`]+)`|\[([^\]]+)\]\(#(\d+)\)/g;
  let at = 0;
  for (let m; (m = pattern.exec(text)); ) {
    if (m.index > at) parent.appendChild(document.createTextNode(text.slice(at, m.index)));
    if (m[1] !== undefined) parent.appendChild(el("b", "", m[1]));
    else if (m[2] !== undefined) parent.appendChild(el("code", "", m[2]));
    else {
      const link = el("a", "", m[3]);
      link.href = "#";
      link.dataset.topic = m[4];
      link.addEventListener("click", (event) => {
        event.preventDefault();
        go(m[4]);
      });
      parent.appendChild(link);
    }
    at = pattern.lastIndex;
  }
  if (at < text.length) parent.appendChild(document.createTextNode(text.slice(at)));
}

function helpBlocks(parent, lines, go) {
  let list = null, paragraph = null;
  for (const raw of lines) {
    const line = raw.trim();
    const bullet = /^- (.*)$/.exec(line);
    const numbered = /^\d+\. (.*)$/.exec(line);
    if (!line) {
      list = paragraph = null;
    } else if (bullet || numbered) {
      const tag = bullet ? "ul" : "ol";
      if (!list || list.tagName.toLowerCase() !== tag) {
        list = el(tag);
        parent.appendChild(list);
      }
      paragraph = null;
      const item = el("li");
      helpInline(item, (bullet || numbered)[1], go);
      list.appendChild(item);
    } else if (list && !paragraph && raw.startsWith("  ")) {
      // A continuation line of the last list item.
      helpInline(list.lastChild, " " + line, go);
    } else {
      list = null;
      if (!paragraph) {
        paragraph = el("p");
        parent.appendChild(paragraph);
      } else {
        paragraph.appendChild(document.createTextNode(" "));
      }
      helpInline(paragraph, line, go);
    }
  }
}

// Shows help topic `topic` of `file` in `client` (a help window's page holder); `history` holds the topics shown
// before it, for Back.
async function showHelpTopic(client, captionText, file, topic, history) {
  const topics = await loadHelp();
  client.replaceChildren();
  const go = (next) => showHelpTopic(client, captionText, file, next, [...history, topic]);
  const page = el("div", "helppage");
  const known = file.toLowerCase() === HELP_FILE;
  const entry = known ? topics.get(String(topic)) : null;
  if (entry) {
    captionText.textContent = `QX Tools Help: ${entry.title}`;
    page.appendChild(el("h3", "", entry.title));
    helpBlocks(page, entry.lines, go);
  } else {
    captionText.textContent = "Help";
    page.appendChild(el("p", "", known ? `The help file ${file} has no topic ${topic}.`
                                      : `The help file ${file} is not on this machine.`));
  }
  page.dataset.topic = String(topic);
  const nav = el("div", "helpnav");
  const contents = el("button", "", "Contents");
  contents.disabled = !known || String(topic) === "100";
  contents.addEventListener("click", () => go("100"));
  const back = el("button", "", "Back");
  back.disabled = history.length === 0;
  back.addEventListener("click", () =>
    showHelpTopic(client, captionText, file, history[history.length - 1], history.slice(0, -1)));
  nav.append(contents, back);
  client.append(nav, page);
}

// Boxes with only OK were acknowledged by the program; they stay on the page until dismissed.
function renderNotices() {
  const holder = document.getElementById("notices");
  for (const n of state.notices || []) {
    if (n.kind === "beep") continue;
    const win = el("div", "window notice" + (n.kind === "help" ? " help" : ""));
    const caption = el("div", "caption");
    caption.appendChild(el("span", "", n.kind === "help" ? "Help" : n.caption));
    const client = el("div", "client");
    if (n.kind === "help") {
      const body = el("div");
      client.appendChild(body);
      showHelpTopic(body, caption.firstChild, n.file, n.topic, []);
    } else {
      client.appendChild(el("div", "text", n.text.replace(/\r\n/g, "\n")));
      client.lastChild.style.whiteSpace = "pre-wrap";
    }
    const ok = el("button", "", n.kind === "help" ? "Close" : "OK");
    ok.addEventListener("click", () => win.remove());
    const row = el("div", "buttons");
    row.style.display = "flex";
    row.style.justifyContent = "center";
    row.style.marginTop = "8px";
    row.appendChild(ok);
    client.appendChild(row);
    win.append(caption, client);
    // Dragged by its caption, as any window, so that it need not cover the dialog it explains.
    caption.addEventListener("mousedown", (e) => {
      const start = { x: e.clientX, y: e.clientY, dx: win.dx || 0, dy: win.dy || 0 };
      const move = (m) => {
        win.dx = start.dx + m.clientX - start.x;
        win.dy = start.dy + m.clientY - start.y;
        win.style.transform = `translate(${win.dx}px, ${win.dy}px)`;
      };
      const up = () => { window.removeEventListener("mousemove", move); window.removeEventListener("mouseup", up); };
      window.addEventListener("mousemove", move);
      window.addEventListener("mouseup", up);
    });
    holder.appendChild(win);
  }
}

// ---- The host's lines and the rest of the window ---------------------------------------------

function render() {
  renderDrawing();
  renderForms();
  renderQuestionDialog();
  renderNotices();
  const q = state.question;
  const asks = document.getElementById("asks");
  const d = q.details || {};
  let text;
  if (q.kind === "point" || q.kind === "3d point" || q.kind === "pick") text = d.prompt;
  else if (q.kind === "command") text = "Command: pick a command from the menu";
  else if (q.kind === "ended") text = state.failure ? "The program has ended: " + state.failure : "The program has ended.";
  else text = q.description;
  asks.textContent = text;
  asks.className = q.kind === "command" ? "idle" : "";
  document.getElementById("messageline").textContent = state.messageLine || "\u00a0";
  document.getElementById("drawingtitle").textContent = state.title ? "\u2014 " + state.title : "";
  document.getElementById("statusupdates").textContent = `status line updated ${state.statusUpdates} times`;
  document.getElementById("layerstatus").textContent = `layer ${state.activeLayer}   snap ${state.snapMode}`;
  if (document.activeElement.id !== "activelayer") document.getElementById("activelayer").value = state.activeLayer;
  renderLayers();
  const log = document.getElementById("log");
  log.textContent = state.transcript;
  log.scrollTop = log.scrollHeight;
  document.body.dataset.asks = q.kind;
  // While a modal window or a box waits, the menus are not live (as on the system).
  const modal = ["form", "message", "open file", "folder", "font", "input"].includes(q.kind);
  document.querySelectorAll("#menubar .menu > button").forEach((b) => { b.disabled = modal; });
  renderEditing();
  document.body.dataset.seq = state.seq;
}

// The colour the drawing gives a layer's objects (the host's own numbering: 1 to 9 fixed, other
// numbers hues around the wheel, darker in every second ten).
function colourHex(c) {
  const base = ["#000000", "#e00000", "#b8a000", "#00a000", "#00a0a0", "#0000e0", "#c000c0", "#000000", "#808080", "#b0b0b0"];
  if (c >= 0 && c < 10) return base[c];
  const hue = (c * 37) % 360, value = Math.floor(c / 10) % 2 ? 0.55 : 0.8, chroma = value * 0.85;
  const h = hue / 60, x = chroma * (1 - Math.abs((h % 2) - 1));
  const [r, g, b] = h < 1 ? [chroma, x, 0] : h < 2 ? [x, chroma, 0] : h < 3 ? [0, chroma, x] : h < 4 ? [0, x, chroma] : h < 5 ? [x, 0, chroma] : [chroma, 0, x];
  const m = value - chroma, byte = (v) => Math.floor((v + m) * 255).toString(16).padStart(2, "0");
  return `#${byte(r)}${byte(g)}${byte(b)}`;
}

// Every layer: its number, colour, name and an on/off switch (a session line, as any change);
// double-click makes it the active layer. Rebuilt only when the layers changed.
let layersShown = "";
function renderLayers() {
  const key = JSON.stringify([state.layers, state.activeLayer]);
  if (key === layersShown) return;
  layersShown = key;
  const layers = document.getElementById("layers");
  layers.innerHTML = "";
  for (const l of state.layers) {
    const row = el("label", "layer" + (l.on ? "" : " off") + (l.layer === state.activeLayer ? " active" : ""));
    row.dataset.layer = l.layer;
    const on = el("input");
    on.type = "checkbox";
    on.checked = l.on;
    on.title = l.on ? "On: click to switch it off" : "Off: click to switch it on";
    on.addEventListener("click", (k) => { k.preventDefault(); send(`host layer ${l.layer} ${l.on ? "off" : "on"}`); });
    const swatch = el("span", "swatch");
    swatch.style.background = l.colour ? colourHex(l.colour) : "transparent";
    swatch.title = l.colour ? `colour ${l.colour}` : "objects keep their own colour";
    row.append(on, swatch, el("span", "", `${l.layer}  ${l.name || ""}`));
    row.title = "Double-click to make it the active layer";
    row.addEventListener("dblclick", () => send(`host active ${l.layer}`));
    layers.appendChild(row);
  }
}

// ---- Erase and undo: the host's own, each a session line ------------------------------------

// Erase and undo act between commands only: a command that runs holds objects it made or
// picked, and taking them away under it would pull the drawing from under its feet. Nothing to act
// on greys a button out too.
function renderEditing() {
  const edit = state.edit || { selected: 0, undoable: 0 };
  const idle = asking("command");
  document.getElementById("erase").disabled = !idle || edit.selected === 0;
  document.getElementById("undo").disabled = !idle || edit.undoable === 0;
}

function setUpEditing() {
  document.getElementById("erase").addEventListener("click", () => send("host erase"));
  document.getElementById("undo").addEventListener("click", () => send("host undo"));
  // Delete and Ctrl+Z act on the drawing only when the person is not typing in a box or a
  // window: there the keys are the box's own (its text's undo).
  document.addEventListener("keydown", (e) => {
    const target = document.activeElement;
    if (target && (target.closest("#windows, #notices") || target.matches("input, textarea, select"))) return;
    if (!asking("command")) return;
    if (e.key === "Delete" && !e.ctrlKey && !e.altKey && !e.metaKey) {
      e.preventDefault();
      send("host erase");
    } else if ((e.ctrlKey || e.metaKey) && !e.altKey && !e.shiftKey && e.key.toLowerCase() === "z") {
      e.preventDefault();
      send("host undo");
    }
  });
}

// ---- The keyboard: the menu bar and the accelerators -----------------------------------------

// Alt (pressed and let go alone) or F10 puts the focus on the first menu; the arrows move, Enter
// or Down opens, a letter picks the menu or item it underlines, Escape steps back and leaves.
// Alt with a letter opens that menu, or in a window acts on the control whose caption underlines
// the letter (a label hands the focus to the control it names).
const menuKeys = { on: false, back: null, altAlone: false };

function menuHeads() { return [...document.querySelectorAll("#menubar .menu > button")].filter((b) => !b.disabled); }
function closeMenus() { document.querySelectorAll(".menu.open").forEach((m) => m.classList.remove("open")); }
function stepAmong(list, current, step) { return list[(list.indexOf(current) + step + list.length) % list.length]; }

function enterMenuBar(head) {
  const heads = menuHeads();
  if (heads.length === 0) return false;  // a modal window is up: the menus are not live
  if (!menuKeys.on) menuKeys.back = document.activeElement;
  menuKeys.on = true;
  document.body.classList.add("menukeys");
  (head || heads[0]).focus({ preventScroll: true });
  return true;
}

function leaveMenuBar(refocus = true) {
  const back = menuKeys.back;
  menuKeys.on = false;
  menuKeys.back = null;
  document.body.classList.remove("menukeys");
  closeMenus();
  if (!refocus) return;
  const target = back && back.isConnected && back !== document.body && !back.closest("#menubar") ? back : document.getElementById("drawing");
  target.focus({ preventScroll: true });
}

function openMenu(head) {
  closeMenus();
  head.parentNode.classList.add("open");
  const first = head.parentNode.querySelector(".items button");
  (first || head).focus({ preventScroll: true });
}

// A key while the menu bar has the focus; true when it was the menu bar's.
function menuBarKey(e) {
  const active = document.activeElement;
  const menu = active && active.closest("#menubar .menu");
  if (!menu) return false;
  const head = menu.querySelector(":scope > button");
  const items = [...menu.querySelectorAll(".items button")];
  const inItems = items.includes(active);
  switch (e.key) {
    case "Escape":
      if (inItems) { closeMenus(); head.focus(); } else leaveMenuBar();
      return true;
    case "Tab":
      leaveMenuBar();
      return true;
    case "ArrowLeft": case "ArrowRight": {
      const next = stepAmong(menuHeads(), head, e.key === "ArrowLeft" ? -1 : 1);
      if (inItems) openMenu(next); else next.focus();
      return true;
    }
    case "ArrowUp": case "ArrowDown":
      if (inItems) stepAmong(items, active, e.key === "ArrowUp" ? -1 : 1).focus();
      else openMenu(head);
      return true;
    case "Enter": case " ":
      if (inItems) active.click(); else openMenu(head);
      return true;
  }
  if (e.key.length !== 1 || e.ctrlKey || e.metaKey) return false;
  // A letter picks; in the menu bar it types nothing even when nothing has it.
  const letter = e.key.toLowerCase();
  if (inItems) {
    const item = items.find((b) => b.dataset.accel === letter);
    if (item) item.click();
  } else {
    const target = menuHeads().find((b) => b.dataset.accel === letter);
    if (target) openMenu(target);
  }
  return true;
}

// The letter of a key pressed with Alt, whatever the keyboard makes of Alt with it.
function letterOf(e) {
  const m = /^(?:Key|Digit)(.)$/.exec(e.code || "");
  return m ? m[1].toLowerCase() : e.key.toLowerCase();
}

// The window the keyboard acts on: the one holding the focus, else the modal one that waits.
function keyboardForm() {
  const win = document.activeElement && document.activeElement.closest("#windows .window");
  const handle = win ? Number(win.dataset.handle) : waitingForm() && waitingForm().handle;
  const form = state && state.forms.find((f) => f.handle === handle && f.visible);
  const entry = form && shownForms.get(form.handle);
  return form && entry ? { form, entry } : null;
}

// Alt+letter in a window: the first control (in the window's order) whose caption underlines the
// letter. A button is clicked, a check box switched, a radio button or a radio group's item
// chosen, a tab shown; a label gives the focus to its control, a group to its first control.
function dialogAccelerator({ form, entry }, letter) {
  const act = (line) => send(line, form.handle);
  // A field given the focus this way has its text selected, as by Tab, so that typing replaces it.
  const focusOn = (e) => {
    const f = e && focusable(e);
    if (!f) return false;
    f.focus({ preventScroll: true });
    if (f.matches("input[type=text], input[type=password], input:not([type]), textarea")) f.select();
    return true;
  };
  for (const c of form.controls) {
    if (!c.visible || !c.enabled) continue;
    const kind = c.kind || c.type;
    const name = word(c.name);
    const e = entry.els.get(c.name);
    if (kind === "RadioGroup") {
      const item = (c.items || []).find((i) => accelerator(i) === letter);
      if (item !== undefined) { act(`select ${name} ${quote(shown(item))}`); return true; }
    }
    const tabs = kind === "TabSet" ? c.tabs : (kind === "PageControl" || kind === "Notebook") && c.showTabs ? c.pages : null;
    const tab = tabs && tabs.find((t) => accelerator(t) === letter);
    if (tab !== undefined && tab !== null) { act(`tab ${quote(shown(tab))}`); return true; }
    if (accelerator(c.text) !== letter) continue;
    switch (kind) {
      case "Button": case "SpeedButton": case "ToolButton": case "RadioButton":
        act(`click ${name}`);
        return true;
      case "CheckBox":
        act(`check ${name} ${c.checked ? "off" : "on"}`);
        return true;
      case "Label": {
        const target = c.focusControl && entry.els.get(c.focusControl);
        if (target && focusOn(target)) return true;
        continue;
      }
      case "GroupBox": case "Panel": case "RadioGroup": {
        const inside = e && [...e.querySelectorAll("input, textarea, select, button")].find((f) => !f.disabled && f.tabIndex >= 0 && (f.type !== "radio" || f.checked));
        if (inside) { inside.focus({ preventScroll: true }); return true; }
        continue;
      }
    }
  }
  return false;
}

function setUpKeyboard() {
  window.addEventListener("keydown", (e) => {
    if (e.key === "Alt") { menuKeys.altAlone = !e.repeat; return; }
    menuKeys.altAlone = false;
    const stop = () => { e.preventDefault(); e.stopPropagation(); };
    if (e.key === "F10" && !e.shiftKey && !e.ctrlKey && !e.altKey && !e.metaKey) {
      stop();
      if (menuKeys.on) leaveMenuBar(); else enterMenuBar();
      return;
    }
    if (e.altKey && !e.ctrlKey && !e.metaKey && /^(Key|Digit)/.test(e.code || "Key")) {
      const letter = letterOf(e);
      const target = keyboardForm();
      if (target) { stop(); dialogAccelerator(target, letter); return; }
      const head = menuHeads().find((b) => b.dataset.accel === letter);
      if (head) { stop(); enterMenuBar(head); openMenu(head); }
      return;
    }
    if (menuKeys.on && menuBarKey(e)) stop();
  }, true);
  window.addEventListener("keyup", (e) => {
    if (e.key !== "Alt" || !menuKeys.altAlone) return;
    menuKeys.altAlone = false;
    e.preventDefault();
    if (menuKeys.on) leaveMenuBar(); else enterMenuBar();
  }, true);
  window.addEventListener("mousedown", () => { menuKeys.altAlone = false; }, true);
  // The focus gone elsewhere (a click, a window shown) ends the menu bar's turn.
  document.addEventListener("focusin", (e) => { if (menuKeys.on && !e.target.closest("#menubar")) leaveMenuBar(false); });
  // An item picked by the keyboard gives the focus back to where it was.
  document.getElementById("menubar").addEventListener("click", (e) => {
    if (menuKeys.on && e.target.closest(".items button")) leaveMenuBar();
  });
}

// For a person's scripts and the tests: where a drawing point is on the screen.
window.tracelon = {
  toScreen(x, y) { const box = drawingBox(); const p = toScreen(x, y); return { x: box.left + p.x, y: box.top + p.y }; },
  idle() { return sending.then(() => pendingLines === 0); },
  // Draws a form model (as "tracelon forms --models" writes it) at the top left, acting on
  // nothing: the element of its client area.
  preview(model) {
    document.querySelectorAll("#windows > .preview").forEach((w) => w.remove());
    const entry = buildForm(model, () => {});
    entry.win.classList.add("preview");
    placeForm(entry, { ...model, bounds: [0, 40, model.bounds[2], model.bounds[3]] });
    document.getElementById("windows").appendChild(entry.win);
    return entry.client;
  },
  state() { return state; },
  gridStep,
};

buildMenus();
setUpDrawing();
setUpEditing();
setUpKeyboard();
join().then((ok) => { if (ok) poll(); });
