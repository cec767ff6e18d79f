// End-to-end tests of `tracelon serve` in headless Chromium: a person's drafting by clicks and
// typing on the page, saved as a session, compared with the expected session and drawing, and
// played again with `tracelon run` to the same drawing.
//
//   node serve_test.mjs TRACELON [ONLY]     (QXT_BLESS=1 rewrites the expected files)
//
// Exits 77 (a skip for CTest) only when Chromium cannot start here.
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { spawn, execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import http from "node:http";
import { fileURLToPath } from "node:url";

const here = path.dirname(fileURLToPath(import.meta.url));
const tracelon = path.resolve(process.argv[2] || process.env.TRACELON || "");
const only = process.argv[3] || "";
const expectedDir = path.join(here, "expected");
const shotsDir = process.env.QXT_SHOTS || "";
const bless = process.env.QXT_BLESS === "1";

if (!fs.existsSync(tracelon)) {
  console.error(`serve_test: no tracelon program at "${tracelon}" (give its path as the first argument)`);
  process.exit(1);
}

let chromium;
try {
  ({ chromium } = await import("playwright-core"));
} catch (error) {
  console.error("serve_test: playwright-core is not installed: run ./do setup (npm ci in tests/browser)");
  process.exit(1);
}

let browser;
try {
  browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage"],
  });
} catch (error) {
  console.log(`SKIP: Chromium cannot start here, so the page is not tested: ${String(error.message).split("\n")[0]}`);
  process.exit(77);
}

const work = fs.mkdtempSync(path.join(os.tmpdir(), "tracelon-browser-"));
after(async () => {
  await browser.close();
  fs.rmSync(work, { recursive: true, force: true });
});

// ---- The program and the page ----------------------------------------------------------------

// Starts `tracelon serve` on a fresh machine and opens its page.
async function startServe(name, extra = [], waitsFor = "command") {
  const root = path.join(work, name, "root");
  const child = spawn(tracelon, ["serve", "--root", root, "--port", "0", "--quiet", ...extra], { stdio: ["ignore", "pipe", "pipe"] });
  let output = "";
  const url = await new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error(`serve did not say where its page is: ${output}`)), 20000);
    const read = (chunk) => {
      output += chunk;
      const m = output.match(/the page is at (http:\/\/127\.0\.0\.1:\d+\/)/);
      if (m) { clearTimeout(timer); resolve(m[1]); }
    };
    child.stdout.on("data", read);
    child.stderr.on("data", (chunk) => { output += chunk; });
    child.on("exit", (code) => reject(new Error(`serve ended with ${code}: ${output}`)));
  });
  const context = await browser.newContext({ viewport: { width: 1280, height: 800 }, acceptDownloads: true });
  const page = await context.newPage();
  page.setDefaultTimeout(10000);
  page.on("pageerror", (error) => { throw error; });
  await page.goto(url);
  await asks(page, waitsFor);
  return { child, url, page, context, root, stderr: () => output };
}

async function stopServe(serve) {
  const exited = new Promise((resolve) => serve.child.on("exit", resolve));
  await serve.page.click("#quit");
  const code = await Promise.race([exited, new Promise((r) => setTimeout(() => r("timeout"), 20000))]);
  if (code === "timeout") serve.child.kill("SIGTERM");
  await serve.context.close();
  return code;
}

// Waits until the program asks `kind` ("command", "point", "pick", "form", "message", ...) and
// every line sent has been answered.
async function asks(page, kind) {
  await page.waitForFunction((k) => document.body.dataset.asks === k, kind, { timeout: 20000 });
  await settle(page);
}
async function settle(page) { await page.evaluate(() => window.tracelon.idle()); }

async function menu(page, exportName) {
  const item = page.locator(`[data-export="${exportName}"]`);
  await item.locator("xpath=../..").locator("> button").click();
  await item.click();
  await settle(page);
}

function dialog(page, formClass) { return page.locator(`.window[data-form="${formClass}"]`); }
// A control by its name, or a button by its caption, as sessions name them.
function control(page, formClass, name) {
  const form = dialog(page, formClass);
  return form.locator(`[data-name="${name}"]`).or(form.getByRole("button", { name, exact: true }));
}

// Types into an edit or memo and leaves it, as a person tabs on.
async function typeInto(page, formClass, name, text) {
  const field = control(page, formClass, name);
  await field.fill(text);
  await field.press("Tab");
  await settle(page);
}
async function click(page, formClass, name) {
  await control(page, formClass, name).click();
  await settle(page);
}

// Clicks the drawing at a point given in drawing units (the page puts it on its zoom's grid).
async function clickAt(page, x, y, options = {}) {
  const p = await page.evaluate(([px, py]) => window.tracelon.toScreen(px, py), [x, y]);
  await page.mouse.click(Math.round(p.x), Math.round(p.y), options);  // a mouse is on a pixel
  await settle(page);
}
async function typePoint(page, x, y) {
  await page.fill("#coords", `${x} ${y}`);
  await page.press("#coords", "Enter");
  await settle(page);
}
async function tool(page, name) { await page.click(`#toolbar [data-tool="${name}"]`); }
// A lineset through the points, drawn with the host's line tool from typed points; Enter on the
// drawing ends it.
async function drawLine(page, points) {
  await tool(page, "line");
  for (const [x, y] of points) await typePoint(page, x, y);
  await page.locator("#drawing").press("Enter");
  await settle(page);
}

async function shot(page, name) {
  if (!shotsDir) return;
  fs.mkdirSync(shotsDir, { recursive: true });
  await page.screenshot({ path: path.join(shotsDir, name + ".png") });
}

// ---- Checking a scenario ---------------------------------------------------------------------

function readExpected(file) {
  const full = path.join(expectedDir, file);
  return fs.existsSync(full) ? fs.readFileSync(full, "utf8") : null;
}
function compare(file, actual) {
  if (bless) {
    fs.mkdirSync(expectedDir, { recursive: true });
    fs.writeFileSync(path.join(expectedDir, file), actual);
    return;
  }
  const expected = readExpected(file);
  assert.notEqual(expected, null, `${file} is missing (QXT_BLESS=1 writes it after a reviewed run)`);
  assert.equal(actual, expected, `${file} differs`);
}

// Saves the session through the page's download, takes the drawing, stops the program, compares
// both with the expected ones and plays the session again.
async function finish(name, serve) {
  await asks(serve.page, "command");
  const [download] = await Promise.all([serve.page.waitForEvent("download"), serve.page.click("#download")]);
  const sessionFile = path.join(work, name, "saved.session");
  await download.saveAs(sessionFile);
  const session = fs.readFileSync(sessionFile, "utf8");
  // "Export DXF" downloads the drawing as a whole DXF.
  const [dxf] = await Promise.all([serve.page.waitForEvent("download"), serve.page.click("#exportdxf")]);
  const dxfFile = path.join(work, name, "drawing.dxf");
  await dxf.saveAs(dxfFile);
  assert.match(fs.readFileSync(dxfFile, "utf8"), /\nENTITIES\n[\s\S]*\n *0\nEOF\n$/, "Export DXF gave no whole DXF");
  const drawing = await serve.page.evaluate(async () => {
    const token = sessionStorage.getItem("tracelon-drafter");
    return (await fetch("/api/drawing", { headers: { "X-Drafter": token } })).text();
  });
  const code = await stopServe(serve);
  assert.equal(code, 0, `serve ended with ${code}: ${serve.stderr()}`);
  compare(`${name}.session`, session);
  compare(`${name}.json`, drawing);
  // The saved session replays to the same drawing.
  const replayed = path.join(work, name, "replayed.json");
  execFileSync(tracelon, ["run", sessionFile, "--root", path.join(work, name, "replay"), "--json", replayed, "--quiet"]);
  assert.equal(fs.readFileSync(replayed, "utf8"), drawing, "the saved session replays to another drawing");
}

function scenario(name, body) {
  if (only && only !== name) return;
  test(name, async () => {
    const serve = await startServe(name);
    try {
      await body(serve.page, serve);
    } catch (error) {
      await shot(serve.page, name + "-failed");
      serve.child.kill("SIGTERM");
      throw error;
    }
    await finish(name, serve);
  });
}

// ---- Scenarios -------------------------------------------------------------------------------

scenario("cad_text", async (page) => {
  await menu(page, "QXText");
  await asks(page, "form");
  await typeInto(page, "TdlgQXText", "mmText", "KITCHEN\nPANTRY");
  await typeInto(page, "TdlgQXText", "txtCTSize", "6\"");
  await click(page, "TdlgQXText", "OK");
  await asks(page, "point");
  await shot(page, "cad_text-placing");
  // Typing while a point is asked goes to the X Y box without clicking it.
  await page.keyboard.type("100000 200000", { delay: 20 });
  await page.keyboard.press("Enter");
  await settle(page);
  await asks(page, "form");
  await click(page, "TdlgQXText", "btnCancel");
});

scenario("truetype_text", async (page) => {
  await menu(page, "QXText");
  await asks(page, "form");
  await page.locator('.window[data-form="TdlgQXText"] .tabs button', { hasText: "True Type" }).click();
  await settle(page);
  await typeInto(page, "TdlgQXText", "mmText", "LIVING ROOM\n12'-0\" x 14'-6\"");
  await control(page, "TdlgQXText", "rgrpTTJus").locator("label", { hasText: "Center" }).click();
  await settle(page);
  await shot(page, "truetype_text-dialog");
  await click(page, "TdlgQXText", "OK");
  await asks(page, "point");
  await clickAt(page, 0, 0);
  await asks(page, "form");
  await click(page, "TdlgQXText", "btnCancel");
});

scenario("chained_dimension", async (page) => {
  // A wall 2' long drawn with the host's line tool from typed points; Enter on the drawing ends it.
  await drawLine(page, [[0, 0], [18432000, 0]]);
  await menu(page, "QXDimension");
  await asks(page, "form");
  await click(page, "TdlgQXDimension", "OK");
  await asks(page, "point");
  await clickAt(page, 0, -3000000);
  await clickAt(page, 18000000, -3000000);
  await clickAt(page, 0, 0);
  await clickAt(page, 6000000, 0);
  await asks(page, "form");
  await click(page, "TdlgDimEdit", "OK");
  await clickAt(page, 12000000, 0);
  await asks(page, "form");
  await shot(page, "chained_dimension-edit");
  await click(page, "TdlgDimEdit", "OK");
  await clickAt(page, 18000000, 0);
  await asks(page, "form");
  await click(page, "TdlgDimEdit", "OK");
  await asks(page, "point");
  await page.click("#b2");  // the string ends
  await asks(page, "point");
  await page.locator("#drawing").click({ button: "right" });  // no further dimension line
});

scenario("host_circle", async (page) => {
  // QX Circle's Diameter hands the drafter to the host's own circle tool: two clicks on the
  // drawing make the circle, shown at once.
  await menu(page, "QXCircle");
  await asks(page, "form");
  await click(page, "TfrmQXCircle", "btnDiameter");
  await asks(page, "point");
  await clickAt(page, 3000000, 1000000);
  await asks(page, "point");
  await clickAt(page, 4000000, 1000000);
  await asks(page, "command");
  await shot(page, "host_circle-drawn");
  assert.match(await page.evaluate(() => document.querySelector("#sheet svg").innerHTML), /<circle|<path|<ellipse/);
});

scenario("area", async (page) => {
  // A room of 12' x 10' (768000 units to the inch) drawn as one closed lineset with the host's
  // line tool.
  await drawLine(page, [[0, 0], [110592000, 0], [110592000, 92160000], [0, 92160000], [0, 0]]);
  await menu(page, "QXArea");
  await asks(page, "form");
  await click(page, "TdlgQXArea", "OK");
  await asks(page, "pick");
  await clickAt(page, 0, 46000000);  // the left wall
  await asks(page, "form");
  await shot(page, "area-label");
  await click(page, "TdlgQXText", "OK");
  await asks(page, "point");
  await clickAt(page, 50000000, 46000000);
  await asks(page, "form");
  await click(page, "TdlgQXArea", "Cancel");
});

scenario("layer_grid", async (page) => {
  // Two lines, the second on layer 11, made active from the layer list.
  await drawLine(page, [[0, 0], [1000000, 0]]);
  await page.fill("#activelayer", "11");
  await page.press("#activelayer", "Enter");
  await settle(page);
  await drawLine(page, [[0, 500000], [1000000, 500000]]);
  await page.fill("#activelayer", "1");
  await page.press("#activelayer", "Enter");
  await settle(page);
  await menu(page, "QXLayer");
  await asks(page, "form");
  await shot(page, "layer_grid-dialog");
  // A plain click on layer 11's cell switches it off and closes the grid.
  const grid = control(page, "TdlgQXLayer", "sgrdLayer");
  const box = await grid.boundingBox();
  const drawn = await grid.evaluate((e) => e.querySelectorAll("svg rect").length);
  assert.ok(drawn >= 256, "the layer grid draws its cells");
  const at = await page.evaluate(() => {
    const form = window.tracelon.state().forms.find((f) => f.class === "TdlgQXLayer");
    const grid = form.controls.find((c) => c.name === "sgrdLayer");
    let x = 2, y = 2;
    for (let c = 0; c < 10; c++) x += grid.colWidths[c] + grid.lineWidth;
    return { x: x + grid.colWidths[10] / 2, y: y + grid.rowHeights[0] / 2 };
  });
  await page.mouse.click(box.x + at.x, box.y + at.y);
  await settle(page);
  await asks(page, "command");
  const hidden = await page.evaluate(() => !document.querySelector("#sheet svg #layer-11"));
  assert.ok(hidden, "the layer switched off is not drawn");
  // The layers panel lists every layer with its switch: layer 11 back on from there.
  assert.equal(await page.locator("#layers label.layer").count(), 255);
  await page.locator('#layers label.layer[data-layer="11"] input').click();
  await settle(page);
  assert.ok(await page.evaluate(() => !!document.querySelector("#sheet svg #layer-11")), "the layer switched on is drawn");
  assert.equal(await page.locator('#layers label.layer[data-layer="11"] input').isChecked(), true);
});

scenario("erase_undo", async (page) => {
  // Nothing drawn yet: Undo is greyed out and Ctrl+Z is refused in plain words.
  assert.equal(await page.locator("#undo").isDisabled(), true);
  assert.equal(await page.locator("#erase").isDisabled(), true);
  await page.locator("#drawing").press("Control+z");
  await settle(page);
  assert.equal(await page.locator("#refusal").textContent(), "Nothing to undo.");
  for (const y of [0, 500000]) {
    await drawLine(page, [[0, y], [1000000, y]]);
  }
  for (const y of [0, 500000]) {
    await tool(page, "select");
    await typePoint(page, 500000, y);
  }
  const objects = () => page.evaluate(() => document.querySelectorAll("#sheet svg polyline, #sheet svg line, #sheet svg path").length);
  const drawn = await objects();
  // Delete erases the selection, the Undo button brings both back, Ctrl+Z takes the second line.
  await page.locator("#drawing").press("Delete");
  await settle(page);
  assert.equal(await objects(), drawn - 2, "Delete erases the two selected lines");
  await page.click("#undo");
  await settle(page);
  assert.equal(await objects(), drawn, "one undo brings both back");
  await page.locator("#drawing").press("Control+z");
  await settle(page);
  assert.equal(await objects(), drawn - 1, "the next undo takes the last line drawn");
  // Typing keeps its own keys: Delete in the X Y box edits the box, erasing nothing.
  await page.fill("#coords", "12");
  await page.press("#coords", "Home");
  await page.press("#coords", "Delete");
  assert.equal(await page.inputValue("#coords"), "2");
  await page.fill("#coords", "");
});

scenario("keyboard", async (page) => {
  // What has the focus: a menu or item by its caption, a control by its name, else the id.
  const focused = () => page.evaluate(() => {
    const a = document.activeElement;
    if (a.closest("#menubar")) return a.textContent;
    const c = a.closest(".ctl");
    return c ? c.dataset.name : a.id;
  });
  const press = async (key) => { await page.keyboard.press(key); await settle(page); };
  await page.locator("#drawing").focus();
  // F10: the first menu; the arrows move, Enter opens, Escape closes, then leaves.
  await press("F10");
  assert.equal(await focused(), "Text");
  await press("ArrowRight");
  assert.equal(await focused(), "Symbols");
  await press("Enter");
  assert.equal(await focused(), "QX Symbol...");
  await press("ArrowDown");
  assert.equal(await focused(), "QX Door...");
  await press("ArrowRight");
  assert.equal(await focused(), "QX Dimension...", "Right opens the next menu");
  await press("Escape");
  assert.equal(await focused(), "Measure");
  assert.equal(await page.locator(".menu.open").count(), 0);
  await press("Escape");
  assert.equal(await focused(), "drawing");
  // Alt with a letter opens its menu; Alt alone goes to the menu bar, the letters pick.
  await press("Alt+y");
  assert.equal(await focused(), "QX Symbol...");
  await shot(page, "keyboard-menu");
  await press("Escape");
  await press("Escape");
  assert.equal(await focused(), "drawing");
  assert.equal(await page.locator("#menubar .menu > button u.accel").first().textContent(), "T");
  await press("Alt");
  assert.equal(await focused(), "Text");
  await press("m");
  assert.equal(await focused(), "QX Dimension...");
  await press("a");
  await asks(page, "form");
  const area = dialog(page, "TdlgQXArea");
  assert.equal(await area.locator('[data-name="lblDecimals"] u.accel').textContent(), "D");
  // The menus are not live under a modal window: F10 leaves the focus where it is.
  const before = await focused();
  await press("F10");
  assert.equal(await focused(), before);
  // In the window: Alt+M picks an item of the radio group, Alt+D goes to the box its label
  // names (its text selected), typed at a person's pace; Alt+S leaves it for the suffix.
  await press("Alt+m");
  await press("Alt+d");
  assert.equal(await focused(), "txtDecimals");
  await page.keyboard.type("3", { delay: 150 });
  await press("Alt+s");
  assert.equal(await focused(), "txtSuffix");
  await shot(page, "keyboard-dialog");
  const model = await page.evaluate(() => window.tracelon.state().forms.find((f) => f.class === "TdlgQXArea"));
  const byName = (n) => model.controls.find((c) => c.name === n);
  assert.equal(byName("rgrpAreaUnits").itemIndex, 3);
  assert.equal(byName("txtDecimals").text, "3");
  assert.equal(model.active, "txtSuffix");
  await press("Escape");
  await asks(page, "command");
});

scenario("quick_text", async (page) => {
  // The note about the new configuration file is put away: the strip spans the drawing's width.
  await page.locator("#notices .notice").last().getByRole("button", { name: "OK" }).click();
  await menu(page, "QXQText");
  await asks(page, "point");
  await clickAt(page, 96000, 960000);
  await asks(page, "form");
  const memo = dialog(page, "TfrmQXQText").locator('[data-name="mmText"]');
  await memo.waitFor();
  const programText = () => page.evaluate(() => {
    const strip = window.tracelon.state().forms.find((f) => f.class === "TfrmQXQText");
    return strip.controls.find((c) => c.name === "mmText").lines.join("\n");
  });
  // Key by key at a person's pace, the field never left: after each key the program has the
  // text so far, and the focus and the caret stay with the person.
  let typed = "";
  for (const key of ["H", "A", "L", "L", "Enter", "2"]) {
    await page.keyboard.press(key);
    await page.waitForTimeout(120);
    await settle(page);
    typed += key === "Enter" ? "\n" : key;
    // (a line break at the very end makes no line of its own in the program's list of lines)
    assert.equal(await programText(), typed.replace(/\n$/, ""), `the program has the text typed so far (after ${key})`);
    assert.equal(await memo.inputValue(), typed);
    assert.equal(await memo.evaluate((e) => e === document.activeElement && e.selectionStart), typed.length);
  }
  // The strip's preview (the host's temporary images) shows the text typed so far.
  assert.deepEqual(await page.evaluate(() => [...document.querySelectorAll("#sheet svg #marks text")].map((t) => t.textContent)), ["HALL", "2"]);
  await shot(page, "quick_text-typing");
  await click(page, "TfrmQXQText", "OK");
  await asks(page, "point");
  await page.keyboard.press("Escape");
  await settle(page);
});

scenario("symbol", async (page) => {
  // A room of 10' x 8' to furnish, drawn with the host's line tool.
  await drawLine(page, [[0, 0], [92160000, 0], [92160000, 73728000], [0, 73728000], [0, 0]]);
  await menu(page, "QXSymbol");
  await asks(page, "form");
  const picture = control(page, "TfrmQXSymbol", "imgSymbol");
  await picture.click({ position: { x: 150, y: 50 } });  // the furniture group
  await settle(page);
  await asks(page, "form");
  await shot(page, "symbol-browser");
  await control(page, "TfrmQXSymbol", "imgSymbol").click({ position: { x: 30, y: 30 } });  // the chair
  await settle(page);
  await asks(page, "point");
  // The chair follows the mouse until it is placed.
  const p = await page.evaluate(() => window.tracelon.toScreen(30000000, 40000000));
  await page.mouse.move(Math.round(p.x), Math.round(p.y));
  const moved = await page.evaluate(() => document.querySelector("#cursor-image").getAttribute("transform"));
  assert.match(moved || "", /translate/, "the drag image follows the mouse");
  await shot(page, "symbol-dragging");
  await clickAt(page, 30000000, 40000000);
  await asks(page, "point");
  await page.locator("#drawing").click({ button: "right" });  // B2: the settings
  await asks(page, "form");
  await click(page, "TdlgSymbolSettings", "Done");
});

scenario("door", async (page) => {
  // A wall 20' long and 6" thick (768000 units to the inch): its two faces drawn with the host's
  // line tool on layer 1, which is not the doors' wall layer.
  for (const y of [0, 4608000]) {
    await drawLine(page, [[0, y], [184320000, y]]);
  }
  await menu(page, "QXDoor");
  await asks(page, "form");
  await click(page, "TdlgQXDoor", "btnLeftDoor");
  await asks(page, "point");
  await clickAt(page, 60000000, 0);  // the wall's south face
  // The faces are not on the walls layer: the door asks, and Yes goes on.
  await asks(page, "message");
  await shot(page, "door-question");
  await page.locator(".window.box button", { hasText: "Yes" }).click();
  await asks(page, "point");
  await clickAt(page, 60000000, -20000000);  // swinging south
  await asks(page, "point");
  await shot(page, "door-placed");
  await page.locator("#drawing").click({ button: "right" });  // back to the dialog
  await asks(page, "form");
  await click(page, "TdlgQXDoor", "btnCancel");
});

scenario("help", async (page) => {
  // The help export opens the viewer at the contents; a link and Back move between topics.
  await menu(page, "QXTHelp");
  await asks(page, "command");
  const viewer = page.locator("#notices .help").last();
  const topic = () => viewer.locator(".helppage").getAttribute("data-topic");
  await viewer.locator('.helppage[data-topic="100"]').waitFor();
  await viewer.locator('a[data-topic="103"]').first().click();
  await viewer.locator('.helppage[data-topic="103"]').waitFor();
  assert.equal(await viewer.locator(".helppage h3").textContent(), "QX Door");
  await viewer.getByRole("button", { name: "Back", exact: true }).click();
  assert.equal(await topic(), "100");
  await viewer.getByRole("button", { name: "Close", exact: true }).click();
  // A dialog's Help button opens the viewer at the dialog's own topic, and the dialog stays.
  await menu(page, "QXDoor");
  await asks(page, "form");
  // While the dialog waits, the menus are not live, and a command sent anyway is refused in a
  // drafter's words.
  assert.equal(await page.locator("#menubar .menu > button").first().isDisabled(), true);
  const refused = await page.evaluate(async () => {
    const token = sessionStorage.getItem("tracelon-drafter");
    const r = await fetch("/api/line", { method: "POST", headers: { "Content-Type": "application/json", "X-Drafter": token }, body: JSON.stringify({ line: "run QXText" }) });
    return r.json();
  });
  assert.equal(refused.message, "Finish or cancel the QX Door dialog first.");
  await click(page, "TdlgQXDoor", "Help");
  const door = page.locator("#notices .help").last();
  await door.locator('.helppage[data-topic="103"]').waitFor();
  assert.equal(await door.locator(".caption span").first().textContent(), "QX Tools Help: QX Door");
  // The help window is moved off the dialog by its caption.
  const before = await door.boundingBox();
  await page.mouse.move(before.x + 60, before.y + 8);
  await page.mouse.down();
  await page.mouse.move(before.x + 160, before.y + 308, { steps: 4 });
  await page.mouse.up();
  const after = await door.boundingBox();
  assert.deepEqual([after.x - before.x, after.y - before.y], [100, 300]);
  await shot(page, "help-door");
  await door.getByRole("button", { name: "Close", exact: true }).click();
  await click(page, "TdlgQXDoor", "Cancel");
});

scenario("snap_toolbar", async (page) => {
  // The modeless toolbar stays open beside the drawing while the host waits for commands.
  await menu(page, "QXSnap");
  await asks(page, "command");
  // The toolbar stays within the drawing area, clear of the prompt line.
  const bar = await dialog(page, "TfrmQXSnap").boundingBox();
  const prompt = await page.locator("#prompt").boundingBox();
  assert.ok(bar.y + bar.height <= prompt.y, `the toolbar reaches ${bar.y + bar.height}, the prompt line starts at ${prompt.y}`);
  await shot(page, "snap_toolbar-open");
  const before = await page.evaluate(() => window.tracelon.state().snapMode);
  await control(page, "TfrmQXSnap", "tbtnVertex").click();
  await settle(page);
  assert.match(await control(page, "TfrmQXSnap", "tbtnVertex").getAttribute("class"), /\bdown\b/);
  const after = await page.evaluate(() => window.tracelon.state().snapMode);
  assert.notEqual(after, before, "the toolbar's button sets the host's snap mode");
  // The right button on the Off button opens the toolbar's settings (not the browser's menu).
  await control(page, "TfrmQXSnap", "tbtnOff").click({ button: "right" });
  await asks(page, "form");
  await click(page, "TdlgSnapSettings", "btnCancel");
  await asks(page, "command");
  // A line drawn while it is open, ended by a double click, which adds no point of its own.
  await tool(page, "line");
  await typePoint(page, 0, 0);
  const area = await page.locator("#drawing").boundingBox();  // its right part, clear of the toolbar
  await page.mouse.dblclick(Math.round(area.x + area.width - 80), Math.round(area.y + area.height - 80));
  await settle(page);
  const drawn = await page.evaluate(() => window.tracelon.state().transcript);
  assert.match(drawn, /> host line -?\d+ -?\d+ -?\d+ -?\d+\n/, "the line has its two points, the last not repeated");
  await dialog(page, "TfrmQXSnap").locator(".caption button").click();
  await settle(page);
  assert.equal(await dialog(page, "TfrmQXSnap").count(), 0, "the toolbar is closed");
});

// The quick text strip's preview (the host's temporary images) is drawn over the drawing as the
// text changes and goes when the text is placed; a selected object is drawn highlighted.
scenario("preview_selection", async (page) => {
  await page.locator("#notices .notice button", { hasText: "OK" }).click();
  await menu(page, "QXQText");
  await asks(page, "point");
  await typePoint(page, 96000, 960000);
  await asks(page, "form");
  // A state after one the page has names the windows that did not change and leaves out the
  // drawing that did not: a refused line publishes the same strip again.
  const again = await page.evaluate(async () => {
    const token = sessionStorage.getItem("tracelon-drafter");
    const have = window.tracelon.state();
    const headers = { "Content-Type": "application/json", "X-Drafter": token };
    await fetch("/api/line", { method: "POST", headers, body: JSON.stringify({ line: "point 1 2" }) });
    const r = await fetch(`/api/state?after=${have.seq}&svg=${pictureVersion}`, { headers });
    return { have: have.seq, handle: have.forms[0].handle, next: await r.json() };
  });
  assert.ok(again.next.seq > again.have);
  assert.deepEqual(again.next.forms, [{ handle: again.handle, same: true }]);
  assert.equal(again.next.picture, undefined);
  const marks = () => page.evaluate(() => [...document.querySelectorAll("#sheet svg #marks text")].map((t) => t.textContent));
  await typeInto(page, "TfrmQXQText", "mmText", "LIVING");
  assert.deepEqual(await marks(), ["LIVING"]);
  await typeInto(page, "TfrmQXQText", "mmText", "DINING");
  assert.deepEqual(await marks(), ["DINING"], "the old preview is cleared when the host clears it");
  // The preview lies where the text is then placed (the same element drawn the same way; the
  // text's width differs a little with the screen size its glyphs are drawn at).
  // Its box in drawing units: the pieces' own units over their scale.
  const inDrawing = (selector) => page.evaluate((q) => {
    const b = document.querySelector(q).getBBox();
    return { x: b.x / sheet.pieces, y: b.y / sheet.pieces, width: b.width / sheet.pieces, height: b.height / sheet.pieces };
  }, selector);
  const preview = await inDrawing("#sheet svg #marks text");
  await shot(page, "preview_selection-preview");
  await click(page, "TfrmQXQText", "OK");
  await asks(page, "point");
  assert.deepEqual(await marks(), []);
  const placed = await inDrawing("#sheet svg #layer-1 text");
  for (const key of ["x", "y", "width", "height"]) assert.ok(Math.abs(placed[key] - preview[key]) < 0.06 * preview.width, `${key}: ${placed[key]} vs ${preview[key]}`);
  await page.click("#b2");
  await asks(page, "command");
  // Selected by the host's select tool: the object's element is marked, and unmarked again.
  const selected = () => page.evaluate(() => [...document.querySelectorAll("#sheet svg .selected")].map((e) => e.id));
  assert.deepEqual(await selected(), []);
  await tool(page, "select");
  await clickAt(page, 96000, 960000);
  assert.deepEqual(await selected(), ["o1"]);
  assert.equal(await page.evaluate(() => getComputedStyle(document.querySelector("#sheet svg .selected text")).fill), "rgb(0, 120, 255)");
  await shot(page, "preview_selection-selected");
  await page.click("#selectnone");
  await settle(page);
  assert.deepEqual(await selected(), []);
});

scenario("typing", async (page) => {
  // A person types at an ordinary typist's speed and tabs on without waiting for the program:
  // every field keeps what was typed into it, and each field's value reaches the program.
  const fields = (formClass) => page.evaluate((k) => {
    const form = window.tracelon.state().forms.find((f) => f.class === k);
    return Object.fromEntries(form.controls.map((c) => [c.name, c.lines ? c.lines.join("\n") : c.text]));
  }, formClass);
  const shownValue = (formClass, name) => control(page, formClass, name).evaluate((e) => (e.matches("input, textarea") ? e : e.querySelector("input, textarea")).value);
  async function typeThrough(formClass, first, entries) {
    await control(page, formClass, first).click();
    for (const [i, [, text]] of entries.entries()) {
      await page.keyboard.press("Control+A", { delay: 50 });
      await page.keyboard.type(text, { delay: 150 });
      if (i + 1 < entries.length) await page.keyboard.press("Tab", { delay: 150 });
    }
    await page.keyboard.press("Tab", { delay: 150 });
    await settle(page);
    const model = await fields(formClass);
    for (const [name, text] of entries) {
      if (name === null) continue;
      assert.equal(await shownValue(formClass, name), text, `${formClass}.${name} on the page`);
      assert.equal(model[name], text, `${formClass}.${name} in the program`);
    }
  }

  await menu(page, "QXText");
  await asks(page, "form");
  await typeThrough("TdlgQXText", "mmText", [["mmText", "OFFICE"], ["txtCTSize", "9\""], ["txtCTWidth", "0.8"], ["txtCTOrientation", "15"]]);
  await click(page, "TdlgQXText", "btnCancel");
  await asks(page, "command");

  await menu(page, "QXDimension");
  await asks(page, "form");
  await typeThrough("TdlgQXDimension", "txtTickDimLineExt", [["txtTickDimLineExt", "1/2\""], ["txtTickExtLineExt", "3/4\""], ["txtTickExtLineOffset", "1/8\""]]);
  await click(page, "TdlgQXDimension", "CancelBtn");
  await asks(page, "command");

  await menu(page, "QXProject");
  await asks(page, "form");
  await click(page, "TdlgQXProject", "btnProjectNew");
  await asks(page, "form");
  await typeThrough("TdlgEditProject", "txtProjectName", [["txtProjectName", "Harbour Office"], ["txtProjectCode", "HARB"], ["txtDrawings", "C:\\TR\\DWG"], [null, ""], ["txtReference", "C:\\TR\\REF"]]);
  await shot(page, "typing-project");
  await click(page, "TdlgEditProject", "btnOK");
  await asks(page, "form");
  const project = await fields("TdlgQXProject");
  assert.equal(project.mmProjectCode, "HARB");
  assert.equal(project.mmDrawingsFolder, "C:\\TR\\DWG");
  await click(page, "TdlgQXProject", "btnOK");
  await asks(page, "message");
  // The box's icon is drawn, not left to a font that may lack it.
  const icon = await page.evaluate(() => window.tracelon.state().question.details.icon);
  assert.notEqual(icon, "0");
  assert.equal(await page.locator(`.window.box .icon[data-icon="${icon}"] svg`).count(), 1, "the box's icon is drawn");
  await page.locator(".window.box button", { hasText: "Yes" }).click();
  await asks(page, "command");

  // A field is checked as Tab leaves it: the warning comes at once, about that field.
  await menu(page, "QXText");
  await asks(page, "form");
  await control(page, "TdlgQXText", "txtCTWidth").click();
  await page.keyboard.press("Control+A", { delay: 50 });
  await page.keyboard.type("5", { delay: 150 });
  await page.keyboard.press("Tab", { delay: 150 });
  await settle(page);
  const warning = page.locator("#notices .notice").last();
  assert.match(await warning.textContent(), /Width Factor is out of range/, "the warning names the field left");
  // The entry is put back as the program has it, and the page's focus is where the program's is.
  const text = await page.evaluate(() => window.tracelon.state().forms.find((f) => f.class === "TdlgQXText"));
  assert.equal(await page.evaluate(() => document.activeElement.closest(".ctl")?.dataset.name), text.active);
  assert.notEqual(text.controls.find((c) => c.name === "txtCTWidth").text, "5");
  assert.equal(await shownValue("TdlgQXText", "txtCTWidth"), (await fields("TdlgQXText")).txtCTWidth);
  await click(page, "TdlgQXText", "btnCancel");
});

// ---- Work kept -----------------------------------------------------------------------------

if (!only || only === "resume") {
  test("a session saved mid-command resumes; the session is kept as it grows; Quit asks first", async () => {
    const dir = path.join(work, "resume");
    fs.mkdirSync(dir, { recursive: true });
    const saved = path.join(dir, "mid.session");
    fs.writeFileSync(saved, 'run QXText\nform TdlgQXText\n  set mmText "RESUMED"\n');
    // The runner fails a script that stops while the program waits, unless asked to wind down.
    assert.throws(() => execFileSync(tracelon, ["run", saved, "--root", path.join(dir, "r1"), "--quiet"], { stdio: "pipe" }));
    execFileSync(tracelon, ["run", saved, "--root", path.join(dir, "r2"), "--quiet", "--wind-down"], { stdio: "pipe" });

    const serve = await startServe("resume", ["--session", saved], "form");
    const page = serve.page;
    const kept = path.join(serve.root, "drafting.session");
    assert.equal(await control(page, "TdlgQXText", "mmText").inputValue(), "RESUMED");
    assert.match(fs.readFileSync(kept, "utf8"), /set mmText "RESUMED"\n$/);
    await click(page, "TdlgQXText", "btnCancel");
    await asks(page, "command");
    assert.match(fs.readFileSync(kept, "utf8"), /set mmText "RESUMED"\n(form TdlgQXText\n)?  click btnCancel\n$/, "the kept session grows with each line");
    // Nothing was downloaded: Quit asks, and names where the session is kept.
    let asked = "";
    page.once("dialog", (d) => { asked = d.message(); d.accept(); });
    const code = await stopServe(serve);
    assert.match(asked, /Quit without saving/);
    assert.ok(asked.includes(kept), asked);
    assert.equal(code, 0);
    // The kept session plays again.
    execFileSync(tracelon, ["run", kept, "--root", path.join(dir, "r3"), "--quiet"], { stdio: "pipe" });
  });
}

// ---- Every form ---------------------------------------------------------------------------

if (!only || only === "forms") {
  test("every form is drawn with each control in its place and of its kind", async () => {
    const dir = path.join(work, "forms");
    execFileSync(tracelon, ["forms", "--out", dir, "--models"]);
    const models = fs.readdirSync(dir).filter((f) => f.endsWith(".json")).sort();
    assert.ok(models.length >= 20, `tracelon forms wrote ${models.length} form models`);
    const serve = await startServe("forms");
    try {
      const problems = [];
      for (const file of models) {
        const model = JSON.parse(fs.readFileSync(path.join(dir, file), "utf8"));
        const svg = fs.readFileSync(path.join(dir, file.replace(/\.json$/, ".svg")), "utf8");
        problems.push(...await serve.page.evaluate(([m, picture]) => {
          const found = [];
          const client = window.tracelon.preview(m);
          const doc = new DOMParser().parseFromString(picture, "image/svg+xml");
          const frames = [...doc.documentElement.children].filter((e) => e.tagName === "svg");
          const pictureClient = frames[frames.length - 1];
          // What element each kind of control is drawn as.
          const drawnAs = { Edit: "input", SpinEdit: "input", Button: "button", SpeedButton: "button", ToolButton: "button",
            CheckBox: "input[type=checkbox]", RadioButton: "input[type=radio]", StringGrid: "svg" };
          const cr = client.getBoundingClientRect();
          for (const c of m.controls) {
            const e = client.querySelector(`[data-name="${CSS.escape(c.name)}"]`);
            const where = `${m.class}.${c.name} (${c.type})`;
            if (!e) { found.push(`${where}: not drawn`); continue; }
            if (e.dataset.unknown !== undefined) { found.push(`${where}: a class the page cannot draw`); continue; }
            const kind = c.kind === "Memo" ? (c.oneLine ? "input" : "textarea") : c.kind === "ComboBox" ? (c.list ? "select" : "input") : drawnAs[c.kind];
            if (kind && !e.matches(kind) && !e.querySelector(kind)) found.push(`${where}: not drawn as ${kind}`);
            if (!c.visible) continue;
            const g = doc.getElementById(c.name);
            const frame = g && [...g.children].find((n) => n.tagName === "svg");
            if (!frame) continue;  // not in the picture (a page not shown)
            let x = +frame.getAttribute("x"), y = +frame.getAttribute("y");
            for (let n = frame.parentNode; n && n !== pictureClient; n = n.parentNode) {
              if (n.tagName === "svg") { x += +n.getAttribute("x"); y += +n.getAttribute("y"); }
            }
            const w = +frame.getAttribute("width"), h = +frame.getAttribute("height");
            const r = e.getBoundingClientRect();
            const at = [r.left - cr.left, r.top - cr.top, r.width, r.height].map(Math.round);
            if (Math.abs(at[0] - x) > 1 || Math.abs(at[1] - y) > 1 || Math.abs(at[2] - w) > 1 || Math.abs(at[3] - h) > 1) {
              found.push(`${where}: at ${at.join(",")} on the page, ${[x, y, w, h].join(",")} in the picture`);
            }
            // A radio group's items, cell by cell (columns are filled first).
            if (c.kind === "RadioGroup") {
              const cells = [...frame.children].filter((n) => n.tagName === "svg");
              const items = [...e.querySelectorAll("label.item")];
              if (cells.length !== items.length) found.push(`${where}: ${items.length} items on the page, ${cells.length} in the picture`);
              items.forEach((item, i) => {
                const ir = item.getBoundingClientRect(), cell = cells[i];
                if (!cell) return;
                const got = [ir.left - r.left, ir.top - r.top].map(Math.round);
                const want = [+cell.getAttribute("x"), +cell.getAttribute("y")];
                if (Math.abs(got[0] - want[0]) > 1 || Math.abs(got[1] - want[1]) > 1) {
                  found.push(`${where} item ${i}: at ${got.join(",")} on the page, ${want.join(",")} in the picture`);
                }
              });
            }
          }
          return found;
        }, [model, svg]));
      }
      assert.deepEqual(problems, []);
    } finally {
      await stopServe(serve);
    }
  });
}

// ---- A large drawing -----------------------------------------------------------------------

if (!only || only === "large") {
  test("at 10,000 objects a change reaches the page as what changed, and the page draws it", async () => {
    const count = Number(process.env.QXT_LARGE || 10000);
    const file = path.join(work, "large.session");
    let lines = "";
    for (let i = 0; i < count; i++) {
      const x = (i % 100) * 100000, y = Math.floor(i / 100) * 100000;
      lines += `host line ${x} ${y} ${x + 60000} ${y + 40000}\n`;
    }
    fs.mkdirSync(work, { recursive: true });
    fs.writeFileSync(file, lines);
    const started = Date.now();
    const serve = await startServe("large", ["--session", file]);
    const loaded = Date.now() - started;
    try {
      const page = serve.page;
      const drawn = () => page.evaluate(() => document.querySelectorAll("#sheet svg [id^=o]").length);
      assert.equal(await drawn(), count);
      // A line far out: the page is sent that one object (and the new extent), not the drawing.
      const answers = [];
      page.on("response", async (r) => {
        if (r.url().includes("/api/state")) answers.push(r.text().catch(() => ""));
      });
      // The new object comes last in its layer's group (ids count up).
      const [ms, added] = await page.evaluate(async () => {
        const token = sessionStorage.getItem("tracelon-drafter");
        const last = () => document.getElementById("layer-1").lastElementChild.id;
        const before = last();
        const t0 = performance.now();
        await fetch("/api/line", { method: "POST", headers: { "Content-Type": "application/json", "X-Drafter": token },
          body: JSON.stringify({ line: "host line -3000000 0 -3000000 900000" }) });
        while (last() === before) await new Promise((r) => requestAnimationFrame(r));
        return [performance.now() - t0, parseInt(last().slice(1), 10)];
      });
      assert.equal(await drawn(), count + 1);
      const change = (await Promise.all(answers)).map((a) => { try { return JSON.parse(a); } catch { return {}; } }).find((a) => a.picture);
      assert.ok(change, "a state carried the change");
      assert.equal(change.picture.whole, false);
      assert.deepEqual(change.picture.objects.map((o) => o[0]), [added]);
      // The patched picture is the picture a new page is sent whole: the same pieces in order.
      const patched = await page.evaluate(() => [...document.querySelectorAll("#sheet svg [id^=o]")].map((e) => e.outerHTML).join(""));
      await page.reload();
      await asks(page, "command");
      const fresh = await page.evaluate(() => [...document.querySelectorAll("#sheet svg [id^=o]")].map((e) => e.outerHTML).join(""));
      assert.equal(patched, fresh);
      console.log(`# ${count} objects: served and first drawn in ${loaded} ms; a line to its element on the page in ${ms.toFixed(1)} ms`);
    } finally {
      serve.page.on("dialog", (d) => d.accept());  // quitting without saving is meant here
      assert.equal(await stopServe(serve), 0);
    }
  });
}

// ---- The mouse and the trackpad --------------------------------------------------------------

if (!only || only === "wheel") {
  test("a two-finger scroll pans, with Ctrl it zooms at the mouse; a mouse wheel zooms", async () => {
    const serve = await startServe("wheel");
    try {
      const page = serve.page;
      const at = (x, y) => page.evaluate(([px, py]) => window.tracelon.toScreen(px, py), [x, y]);
      const box = await page.locator("#drawing").boundingBox();
      const mouse = { x: Math.round(box.x + box.width / 2), y: Math.round(box.y + box.height / 2) };
      await page.mouse.move(mouse.x, mouse.y);
      // Where two drawing points are, and the drawing point under the mouse.
      const view = async () => {
        const a = await at(0, 0), b = await at(1000000, 0);
        return { a, span: b.x - a.x };
      };
      const near = (actual, expected, what) => assert.ok(Math.abs(actual - expected) < 0.5, `${what}: ${actual}, not ${expected}`);
      const start = await view();
      assert.ok(start.span > 0);
      // A trackpad's scroll (fine steps, sideways too): the drawing moves with the fingers, its
      // scale kept.
      await page.mouse.wheel(30, 20);
      await page.waitForTimeout(100);
      const panned = await view();
      near(panned.span, start.span, "the scale after a pan");
      near(panned.a.x, start.a.x - 30, "x after a pan");
      near(panned.a.y, start.a.y - 20, "y after a pan");
      // With Ctrl (a pinch): zoomed by the scroll's amount, the point under the mouse staying put.
      await page.keyboard.down("Control");
      await page.mouse.wheel(0, -20);
      await page.keyboard.up("Control");
      await page.waitForTimeout(100);
      const pinched = await view();
      near(pinched.span, panned.span * Math.exp(0.2), "the scale after a pinch");
      const k = pinched.span / panned.span;
      near(pinched.a.x, mouse.x + (panned.a.x - mouse.x) * k, "x of a point after a pinch");
      near(pinched.a.y, mouse.y + (panned.a.y - mouse.y) * k, "y of a point after a pinch");
      // A mouse wheel's notch (a whole, coarse step straight down) zooms out.
      await page.mouse.wheel(0, 100);
      await page.waitForTimeout(100);
      near((await view()).span, pinched.span * 0.8, "the scale after a wheel's notch");
      assert.equal(await stopServe(serve), 0);
    } catch (error) {
      await shot(serve.page, "wheel-failed");
      serve.child.kill("SIGTERM");
      throw error;
    }
  });
}

// ---- Safety --------------------------------------------------------------------------------

if (!only || only === "safety") {
  test("one drafter; refused lines change nothing; only this machine's page", async () => {
    const serve = await startServe("safety");
    try {
      const page = serve.page;
      // A line that answers nothing is refused with the reason, and the session stays as it was.
      const reply = await page.evaluate(async () => {
        const token = sessionStorage.getItem("tracelon-drafter");
        const r = await fetch("/api/line", { method: "POST", headers: { "Content-Type": "application/json", "X-Drafter": token }, body: JSON.stringify({ line: "point 10 20" }) });
        return r.json();
      });
      assert.equal(reply.ok, false);
      assert.equal(reply.message, "Nothing is asked now: pick a command from the menu.");
      assert.match(reply.detail, /answers nothing/);
      const played = () => page.evaluate(async () => {
        const token = sessionStorage.getItem("tracelon-drafter");
        const text = await (await fetch("/api/session", { headers: { "X-Drafter": token } })).text();
        return text.replace(/^#.*\n/, "");
      });
      assert.equal(await played(), "");
      // The page says so when a click answers nothing.
      await page.click("#b2");
      await settle(page);
      assert.equal(await page.textContent("#refusal"), "Nothing is asked now: pick a command from the menu.");
      assert.match(await page.getAttribute("#refusal", "title"), /"b2" was not taken/);
      // A second page is told the program is busy.
      const other = await serve.context.browser().newContext();
      const second = await other.newPage();
      await second.goto(serve.url);
      await second.waitForSelector("#busy:not([hidden])");
      assert.match(await second.textContent("#busytext"), /busy/);
      await other.close();
      // A request under another host name (a page of another site) is refused.
      const status = await new Promise((resolve, reject) => {
        const u = new URL(serve.url);
        http.get({ host: "127.0.0.1", port: u.port, path: "/", headers: { Host: "example.test" } }, (r) => resolve(r.statusCode)).on("error", reject);
      });
      assert.equal(status, 403);
      // Words of scripted sessions that the page never sends are refused by name, and the
      // program goes on (a machine word on a missing file used to end it).
      const post = (body, headers = {}) => new Promise((resolve, reject) => {
        const u = new URL(serve.url);
        const r = http.request({ host: "127.0.0.1", port: u.port, path: "/api/line", method: "POST",
          headers: { "Content-Type": "application/json", ...headers } }, (res) => {
          let text = "";
          res.on("data", (c) => { text += c; });
          res.on("end", () => resolve({ status: res.statusCode, text }));
        });
        r.on("error", (e) => (e.code === "EPIPE" || e.code === "ECONNRESET" ? resolve({ status: "reset" }) : reject(e)));
        r.end(body);
      });
      const token = await page.evaluate(() => sessionStorage.getItem("tracelon-drafter"));
      for (const line of ['delete "C:\\NOTHERE.TXT"', 'disk C full', "expect no message", 'host open "C:\\X.DWG"']) {
        const refused = await post(JSON.stringify({ line }), { "X-Drafter": token });
        assert.equal(refused.status, 200, line);
        const answer = JSON.parse(refused.text);
        assert.equal(answer.ok, false, line);
        assert.match(answer.message, /the page does not take it/, line);
      }
      // A body from a page that is not drafting is refused before it is read: the answer comes on
      // the headers alone, with 50 MB announced and not one byte of it sent. The drafter's own is
      // refused by its size (read and dropped, never kept).
      const announced = (headers) => new Promise((resolve, reject) => {
        const u = new URL(serve.url);
        const r = http.request({ host: "127.0.0.1", port: u.port, path: "/api/line", method: "POST",
          headers: { "Content-Type": "application/json", "Content-Length": String(50 << 20), ...headers } }, (res) => {
          resolve(res.statusCode);
          r.destroy();
        });
        r.on("error", () => {});
        r.setTimeout(5000, () => { r.destroy(); reject(new Error("the server waited for the body")); });
        r.flushHeaders();
      });
      assert.equal(await announced({ "X-Drafter": "not-the-drafter" }), 409);
      assert.equal((await post(JSON.stringify({ line: "x".repeat(5 << 20) }), { "X-Drafter": token })).status, 413);
      const foreign = await post(JSON.stringify({ line: "escape" }), { "X-Drafter": token, Origin: "http://example.test" });
      assert.equal(foreign.status, 403);
      assert.equal(await played(), "");
      // The file dialogs list only the machine's folders.
      const listing = await page.evaluate(async () => {
        const token = sessionStorage.getItem("tracelon-drafter");
        const r = await fetch("/api/files?dir=" + encodeURIComponent("C:\\..\\.."), { headers: { "X-Drafter": token } });
        return r.json();
      });
      // A path that climbs out of the drive stays on it, as on the system.
      const drive = fs.readdirSync(path.join(serve.root, "C")).sort();
      assert.ok(listing.error || JSON.stringify(listing.entries.map((e) => e.name).sort()) === JSON.stringify(drive),
        `a folder outside the machine is listed: ${JSON.stringify(listing)}`);
      // A page opened while the drafter's page is there waits; once that page is closed, the
      // new one takes over by itself at once.
      const later = await serve.context.browser().newContext();
      const next = await later.newPage();
      await next.goto(serve.url);
      await next.waitForSelector("#busy:not([hidden])");
      await page.close();
      await next.waitForSelector("#busy", { state: "hidden", timeout: 6000 });
      await asks(next, "command");
      serve.page = next;
      serve.later = later;
    } finally {
      const code = await stopServe(serve);
      if (serve.later) await serve.later.close();
      assert.equal(code, 0);
    }
  });
}
