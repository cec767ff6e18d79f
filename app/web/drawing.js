// The drawing as the program sends it: the whole picture (an SVG document) when the page has
// none, then only what changed since the version the page shows: objects added, changed and
// removed, each one element <g id="oID"> in its layer's group <g id="layer-N">, in id order
// there; the references, the cursor image and the host's temporary images (groups
// "references", "cursor-image", "marks") whole when they changed.

let pictureVersion = 0;  // the version of the drawing the page shows

const SVG_NS = "http://www.w3.org/2000/svg";

// Takes the drawing of a state answer into the page (at once: a later answer builds on it).
function takePicture(answer) {
  const picture = answer.picture;
  if (!picture) return;
  const holder = document.getElementById("sheet");
  if (picture.whole) {
    holder.innerHTML = picture.svg;
    const svg = holder.querySelector("svg");
    if (!svg) { sheet = null; pictureVersion = 0; return; }
    const number = (name) => parseFloat(svg.getAttribute(name));
    sheet = { minX: number("data-min-x"), maxY: number("data-max-y"), k: number("data-scale"), margin: number("data-margin"),
      width: number("width"), height: number("height"), pieces: number("data-pieces") };
    svg.removeAttribute("width");
    svg.removeAttribute("height");
  } else if (!patchPicture(picture)) {
    pictureVersion = 0;  // the next answer brings the whole drawing
    return;
  }
  const image = document.getElementById("cursor-image");
  cursorImage = image ? { element: image, style: +image.dataset.style, base: { x: +image.dataset.baseX, y: +image.dataset.baseY } } : null;
  pictureVersion = answer.svgVersion;
}

// Applies a change to the picture shown; false when there is none to change.
function patchPicture(picture) {
  const drawing = document.getElementById("picture");
  if (!drawing || !sheet) return false;
  const s = picture.sheet;
  sheet = { minX: s.minX, maxY: s.maxY, k: s.scale, margin: s.margin, width: s.width, height: s.height, pieces: s.pieces };
  drawing.setAttribute("transform", picture.transform);
  for (const id of picture.removed) {
    const element = document.getElementById("o" + id);
    if (element) removePiece(element);
  }
  if (picture.objects.length) {
    // All new pieces parsed at once, then each put in its place.
    const parsed = document.createElementNS(SVG_NS, "g");
    parsed.innerHTML = picture.objects.map((o) => o[2]).join("");
    const elements = [...parsed.children];
    picture.objects.forEach(([id, layer], i) => placePiece(drawing, elements[i], id, layer));
  }
  if ("references" in picture) replaceGroup(drawing, "references", picture.references, () => drawing.firstChild);
  if ("marks" in picture) replaceGroup(drawing, "marks", picture.marks, () => document.getElementById("cursor-image"));
  if ("cursor" in picture) replaceGroup(drawing, "cursor-image", picture.cursor, () => null);
  return true;
}

function pieceNumber(element) { return parseInt(element.id.slice(1), 10); }

function removePiece(element) {
  const group = element.parentNode;
  element.remove();
  if (group && group.id.startsWith("layer-") && !group.firstElementChild) group.remove();
}

// A piece into its layer's group (made when missing), in id order, in place of its old self.
function placePiece(drawing, element, id, layer) {
  const old = document.getElementById("o" + id);
  let group = document.getElementById("layer-" + layer);
  if (old && old.parentNode === group) { old.replaceWith(element); return; }
  if (old) removePiece(old);
  if (!group) {
    group = document.createElementNS(SVG_NS, "g");
    group.id = "layer-" + layer;
    const l = state && state.layers && state.layers.find((x) => x.layer === layer);
    if (l && l.name) group.dataset.name = l.name;
    let before = null;
    for (const child of drawing.children) {
      if (child.id.startsWith("layer-") ? parseInt(child.id.slice(6), 10) > layer : child.id !== "references") { before = child; break; }
    }
    drawing.insertBefore(group, before);
  }
  const last = group.lastElementChild;
  if (!last || pieceNumber(last) < id) { group.appendChild(element); return; }
  let next = group.firstElementChild;
  while (next && pieceNumber(next) < id) next = next.nextElementSibling;
  group.insertBefore(element, next);
}

// One of the drawing's own groups in place of the old one (none when `text` is empty), before
// the element `where` names then.
function replaceGroup(drawing, id, text, where) {
  const old = document.getElementById(id);
  if (old) old.remove();
  if (!text) return;
  const parsed = document.createElementNS(SVG_NS, "g");
  parsed.innerHTML = text;
  const before = where();
  if (parsed.firstElementChild) drawing.insertBefore(parsed.firstElementChild, before && before.parentNode === drawing ? before : null);
}

// The windows of a state answer: one that did not change since the state the page has comes
// as its handle alone, and is the page's own model of it. False when the page has no such model
// (the page then asks for a whole state).
function takeForms(answer, previous) {
  const known = new Map(((previous && previous.forms) || []).map((f) => [f.handle, f]));
  let whole = true;
  answer.forms = (answer.forms || []).map((f) => {
    if (!f.same) return f;
    if (!known.has(f.handle)) whole = false;
    return known.get(f.handle);
  });
  return whole;
}
