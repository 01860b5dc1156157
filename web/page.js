// The page around the picture module: the viewer's series and controls, links that name the
// picture on show, downloads, and the gallery. Appended to the module's loader, so the site has
// one script; loaded as a worker, the same script paints gallery thumbnails instead.
"use strict";

(function () {
  const PictureWidth = 570;
  const PictureHeight = 190;
  const HalvedWidth = 285;
  const HalvedHeight = 95;
  const SceneSeedCount = 32768;
  const LargestScale = 8;
  const ShortestInterval = 1;
  const LongestInterval = 10;
  const RgbaBytes = 4;
  const U32Max = 4294967295;

  if (typeof document === "undefined") {
    paintThumbnailsInWorker();
    return;
  }
  const scriptUrl = document.currentScript.src;

  // The module's result as an ImageData of width x height, or null when it painted nothing.
  function imageAt(module, pointer, width, height) {
    if (!pointer) {
      return null;
    }
    const bytes = module.HEAPU8.subarray(pointer, pointer + width * height * RgbaBytes);
    return new ImageData(new Uint8ClampedArray(bytes), width, height);
  }

  function paintThumbnailsInWorker() {
    const loading = VistrelModule();
    self.onmessage = async (event) => {
      const module = await loading;
      const job = event.data;
      const pointer = module._vistrel_thumbnail(job.seed, job.width, job.height, job.fromPicture);
      const pixels = pointer
        ? module.HEAPU8.slice(pointer, pointer + job.width * job.height * RgbaBytes)
        : null;
      self.postMessage({ job, pixels }, pixels ? [pixels.buffer] : []);
    };
  }

  // ---- Texts: the desktop program's, generated from its translations.

  const language = preferredLanguage(navigator.languages || [navigator.language]);

  function preferredLanguage(wanted) {
    const available = Object.keys(VistrelTexts);
    for (const tag of wanted) {
      const lower = String(tag).toLowerCase();
      if (lower === "en" || lower.startsWith("en-")) {
        return null;
      }
      const chinese = lower === "zh" || lower.startsWith("zh-hans") || lower === "zh-sg";
      const match = available.find(
        (name) => name.toLowerCase() === lower || (chinese && name === "zh-CN"));
      if (match) {
        return match;
      }
    }
    return null;
  }

  function tr(context, source) {
    const table = language ? VistrelTexts[language] : null;
    return (table && table[context + "\u0004" + source]) || source;
  }

  // Qt's %1, %2 ... placeholders.
  function filled(text, ...values) {
    return text.replace(/%(\d)/g, (_, n) => String(values[Number(n) - 1]));
  }

  const $ = (id) => document.getElementById(id);

  function nameControls() {
    if (language) {
      document.documentElement.lang = language;
    }
    const texts = {
      previous: tr("ViewerDialog", "Previous"),
      next: tr("ViewerDialog", "Next"),
      auto: tr("ViewerDialog", "Auto"),
      stop: tr("ViewerDialog", "Stop"),
      "interval-label": tr("ViewerDialog", "Interval:"),
      seconds: tr("ViewerDialog", "seconds"),
      "show-seed": tr("PictureActions", "Show Seed…"),
      save: tr("PictureActions", "Save Picture…"),
      "open-gallery": tr("vistrel::ViewerDialog", "Gallery…"),
      "full-screen": tr("vistrel::ViewerDialog", "Full Screen"),
      "seed-title": tr("PictureActions", "Show Seed"),
      "seed-label": tr("PictureActions", "Scene seed (0 to 32767):"),
      "seed-ok": tr("AboutDialog", "OK"),
      "seed-close": tr("vistrel::GalleryWindow", "Close"),
      "save-title": tr("vistrel::SavePictureDialog", "Save Picture"),
      "save-scale-label": tr("vistrel::SavePictureDialog", "Scale:"),
      "save-ok": tr("AboutDialog", "OK"),
      "save-close": tr("vistrel::GalleryWindow", "Close"),
      "gallery-title": tr("vistrel::GalleryWindow", "Vistrel Gallery"),
      "gallery-close": tr("vistrel::GalleryWindow", "Close"),
    };
    for (const [id, text] of Object.entries(texts)) {
      $(id).textContent = text;
    }
    $("interval").setAttribute("aria-label", tr("vistrel::ViewerDialog", "Interval"));
    const scale = $("save-scale");
    for (let n = 1; n <= LargestScale; ++n) {
      scale.add(new Option(n + "×", String(n)));
    }
    // The image full screen shows on this screen, as large as its device pixels allow.
    scale.add(new Option(tr("vistrel::ViewerDialog", "Full Screen"), "screen"));
  }

  // ---- What the address says: "#seed=S", or "#run=R&scene=K" for scene K of a run's series.

  function parsedAddress(hash) {
    const number = (text) => (/^\d{1,10}$/.test(text) && Number(text) <= U32Max ? Number(text) : null);
    let match = /^#seed=([^&]*)$/.exec(hash);
    if (match && number(match[1]) !== null) {
      return { seed: number(match[1]) };
    }
    match = /^#run=([^&]*)&scene=([^&]*)$/.exec(hash);
    if (match && number(match[1]) !== null && number(match[2]) !== null) {
      return { run: number(match[1]), scene: number(match[2]) };
    }
    return null;
  }

  const sceneAddress = (run, scene) => `#run=${run}&scene=${scene}`;

  // ---- The viewer.

  class Viewer {
    constructor(module) {
      this.module = module;
      // A new run's series starts from the clock, as the desktop viewer's does.
      this.runSeed = Math.floor(Date.now() / 1000) >>> 0;
      this.sceneIndex = 0;
      this.shown = null;
      this.timer = 0;
      this.canvas = $("picture");
      this.context = this.canvas.getContext("2d");
      this.firstPictureAt = null;
      this.controls = {
        previous: $("previous"),
        next: $("next"),
        auto: $("auto"),
        stop: $("stop"),
        interval: $("interval"),
      };
    }

    start() {
      const c = this.controls;
      c.next.addEventListener("click", () => this.next());
      c.previous.addEventListener("click", () => this.previous());
      c.auto.addEventListener("click", () => this.auto());
      c.stop.addEventListener("click", () => this.stop());
      c.interval.addEventListener("change", () => {
        c.interval.value = String(this.intervalSeconds());
      });
      window.addEventListener("hashchange", () => this.showAddress());
      this.canvas.addEventListener("dblclick", () => toggleFullScreen());
      new ResizeObserver((entries) => this.resized(entries[0])).observe(this.canvas, {
        box: "device-pixel-content-box",
      });
      if (!parsedAddress(location.hash)) {
        history.replaceState(null, "", sceneAddress(this.runSeed, 1));
      }
      this.showAddress();
      c.next.focus();
    }

    showAddress() {
      const address = parsedAddress(location.hash);
      if (!address) {
        this.go(sceneAddress(this.runSeed, (this.sceneIndex + 1) >>> 0));
        return;
      }
      if (address.seed !== undefined) {
        this.shown = {
          seed: address.seed,
          name: filled(tr("vistrel::ViewerDialog", "Seed %1"), address.seed),
        };
      } else {
        this.runSeed = address.run;
        this.sceneIndex = address.scene;
        const seed = this.module._vistrel_seed_of_scene(address.run, address.scene) >>> 0;
        this.shown = {
          seed,
          name: filled(tr("vistrel::ViewerDialog", "Scene %1 · seed %2"), address.scene, seed),
        };
      }
      this.paint();
    }

    // Each picture shown is one step of the browser's history.
    go(hash) {
      if (location.hash !== hash) {
        location.hash = hash;
      }
    }

    next() {
      this.go(sceneAddress(this.runSeed, (this.sceneIndex + 1) >>> 0));
    }

    nextIfEnabled() {
      if (!this.controls.next.disabled) {
        this.next();
      }
    }

    previous() {
      if (this.sceneIndex > 1) {
        this.go(sceneAddress(this.runSeed, this.sceneIndex - 1));
      }
    }

    intervalSeconds() {
      const value = Math.round(Number(this.controls.interval.value));
      return Number.isFinite(value)
        ? Math.min(LongestInterval, Math.max(ShortestInterval, value))
        : ShortestInterval;
    }

    auto() {
      const c = this.controls;
      const milliseconds = this.intervalSeconds() * 1000;
      c.stop.disabled = false;
      c.stop.focus();
      this.setManualControlsEnabled(false);
      this.timer = setInterval(() => this.next(), milliseconds);
    }

    stop() {
      const c = this.controls;
      this.setManualControlsEnabled(true);
      clearInterval(this.timer);
      this.timer = 0;
      c.stop.disabled = true;
      c.auto.focus();
    }

    setManualControlsEnabled(enabled) {
      const c = this.controls;
      c.next.disabled = !enabled;
      c.auto.disabled = !enabled;
      c.interval.disabled = !enabled;
    }

    resized(entry) {
      // The device-pixel box is exact where the browser snaps the canvas to device pixels; where
      // it disagrees with the CSS box times the ratio (emulated ratios report CSS pixels), the
      // product is taken.
      const box = entry.devicePixelContentBoxSize && entry.devicePixelContentBoxSize[0];
      const near = (exact, css) => {
        const product = Math.round(css * devicePixelRatio);
        return exact !== undefined && Math.abs(exact - product) <= 1 ? exact : product;
      };
      const width = near(box && box.inlineSize, entry.contentRect.width);
      const height = near(box && box.blockSize, entry.contentRect.height);
      if (width !== this.canvas.width || height !== this.canvas.height) {
        this.canvas.width = width;
        this.canvas.height = height;
      }
      this.paint();
    }

    // The picture fitted on the canvas's device pixels, as a desktop background is on a screen.
    paint() {
      const { width, height } = this.canvas;
      if (!this.shown || width < 1 || height < 1) {
        return;
      }
      const image = imageAt(
        this.module, this.module._vistrel_fit(this.shown.seed, width, height), width, height);
      if (!image) {
        return;
      }
      this.context.putImageData(image, 0, 0);
      this.canvas.setAttribute("aria-label", this.shown.name);
      if (this.firstPictureAt === null) {
        this.firstPictureAt = performance.now();
      }
    }
  }

  function toggleFullScreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen();
    } else if (document.documentElement.requestFullscreen) {
      document.documentElement.requestFullscreen().catch(() => {});
    }
  }

  // ---- Downloads: the picture enlarged 1 to 8 times, or fitted on this screen, as PNG.

  function screenDevicePixels() {
    return [Math.round(screen.width * devicePixelRatio), Math.round(screen.height * devicePixelRatio)];
  }

  function download(module, seed, choice) {
    const forScreen = choice === "screen";
    const scale = Number(choice);
    const [width, height] = forScreen
      ? screenDevicePixels()
      : [PictureWidth * scale, PictureHeight * scale];
    const image = imageAt(module, module._vistrel_fit(seed, width, height), width, height);
    if (!image) {
      return;
    }
    const canvas = document.createElement("canvas");
    canvas.width = width;
    canvas.height = height;
    canvas.getContext("2d").putImageData(image, 0, 0);
    canvas.toBlob((blob) => {
      const link = document.createElement("a");
      link.href = URL.createObjectURL(blob);
      link.download = forScreen ? `vistrel-${seed}-${width}x${height}.png` : `vistrel-${seed}.png`;
      link.click();
      setTimeout(() => URL.revokeObjectURL(link.href), 60000);
    }, "image/png");
  }

  // ---- The gallery: every seed's thumbnail, painted by workers, only the rows in view.

  class ThumbnailWorkers {
    constructor(count, painted) {
      this.waiting = [];
      this.idle = [];
      this.busy = new Set();
      for (let i = 0; i < count; ++i) {
        const worker = new Worker(scriptUrl);
        worker.onmessage = (event) => {
          this.busy.delete(event.data.job.seed);
          this.idle.push(worker);
          painted(event.data.job, event.data.pixels);
          this.pump();
        };
        this.idle.push(worker);
      }
    }

    // Replaces whatever waits: rows scrolled away are never painted.
    paint(jobs) {
      this.waiting = jobs.filter((job) => !this.busy.has(job.seed));
      this.pump();
    }

    pump() {
      while (this.idle.length > 0 && this.waiting.length > 0) {
        const job = this.waiting.shift();
        this.busy.add(job.seed);
        this.idle.pop().postMessage(job);
      }
    }
  }

  class Gallery {
    constructor(chosen) {
      this.chosen = chosen;
      this.section = $("gallery");
      this.scroller = $("gallery-scroll");
      this.grid = $("gallery-grid");
      this.cells = new Map();
      this.thumbnails = new Map();
      this.workers = null;
      this.gap = 8;
      this.captionHeight = 22;
      this.scroller.addEventListener("scroll", () => this.layout());
      new ResizeObserver(() => this.layout()).observe(this.scroller);
      $("gallery-close").addEventListener("click", () => this.close());
    }

    get isOpen() {
      return !this.section.hidden;
    }

    open(seed) {
      if (!this.workers) {
        const cores = Math.max(1, Math.min(navigator.hardwareConcurrency || 2, 8));
        this.workers = new ThumbnailWorkers(cores, (job, pixels) => this.painted(job, pixels));
      }
      this.section.hidden = false;
      this.layout();
      const row = Math.floor((seed & (SceneSeedCount - 1)) / this.columns);
      this.scroller.scrollTop = row * this.rowHeight;
      this.layout();
      (this.cells.get(seed) || this.scroller).focus();
    }

    close() {
      this.section.hidden = true;
      this.workers && this.workers.paint([]);
      $("next").focus();
    }

    deviceSize() {
      const ratio = window.devicePixelRatio || 1;
      return {
        width: Math.ceil(HalvedWidth * ratio),
        height: Math.ceil(HalvedHeight * ratio),
        fromPicture: ratio >= 2,
      };
    }

    layout() {
      if (!this.isOpen) {
        return;
      }
      const cellWidth = HalvedWidth + this.gap;
      this.columns = Math.max(1, Math.floor((this.scroller.clientWidth - this.gap) / cellWidth));
      this.rowHeight = HalvedHeight + this.captionHeight + this.gap;
      const rows = Math.ceil(SceneSeedCount / this.columns);
      this.grid.style.height = `${rows * this.rowHeight + this.gap}px`;
      const firstRow = Math.floor(this.scroller.scrollTop / this.rowHeight);
      const lastRow = Math.min(
        rows - 1, Math.floor((this.scroller.scrollTop + this.scroller.clientHeight) / this.rowHeight));
      const first = firstRow * this.columns;
      const last = Math.min(SceneSeedCount - 1, (lastRow + 1) * this.columns - 1);
      for (const [seed, cell] of this.cells) {
        if (seed < first || seed > last) {
          cell.remove();
          this.cells.delete(seed);
        }
      }
      const size = this.deviceSize();
      const jobs = [];
      for (let seed = first; seed <= last; ++seed) {
        const cell = this.cells.get(seed) || this.addCell(seed);
        const column = seed % this.columns;
        cell.style.left = `${this.gap + column * cellWidth}px`;
        cell.style.top = `${this.gap + Math.floor(seed / this.columns) * this.rowHeight}px`;
        if (!this.show(seed, size)) {
          jobs.push({ seed, ...size });
        }
      }
      this.workers.paint(jobs);
    }

    addCell(seed) {
      const cell = document.createElement("button");
      cell.type = "button";
      cell.className = "cell";
      cell.dataset.seed = String(seed);
      const name = filled(tr("vistrel::GalleryView", "Seed %1"), seed);
      cell.title = tr("vistrel::GalleryWindow", "Show in Viewer");
      const canvas = document.createElement("canvas");
      canvas.setAttribute("role", "img");
      canvas.setAttribute("aria-label", name);
      const caption = document.createElement("div");
      caption.textContent = name;
      cell.append(canvas, caption);
      cell.addEventListener("click", () => {
        this.close();
        this.chosen(seed);
      });
      this.grid.append(cell);
      this.cells.set(seed, cell);
      return cell;
    }

    // Puts the seed's thumbnail into its cell if one of this size is at hand.
    show(seed, size) {
      const image = this.thumbnails.get(seed);
      const cell = this.cells.get(seed);
      if (!image || image.width !== size.width || image.height !== size.height) {
        return false;
      }
      const painted = `${image.width}x${image.height}`;
      if (cell && cell.dataset.painted !== painted) {
        const canvas = cell.firstChild;
        canvas.width = image.width;
        canvas.height = image.height;
        canvas.getContext("2d").putImageData(image, 0, 0);
        cell.dataset.painted = painted;
      }
      return true;
    }

    painted(job, pixels) {
      if (!pixels) {
        return;
      }
      // Several screens' worth, to scroll back to at once; a thumbnail at twice the pixels
      // holds 433 KB, so never all 32768.
      const kept = 256;
      if (this.thumbnails.size >= kept) {
        this.thumbnails.delete(this.thumbnails.keys().next().value);
      }
      this.thumbnails.set(job.seed, new ImageData(new Uint8ClampedArray(pixels.buffer), job.width, job.height));
      this.show(job.seed, this.deviceSize());
    }
  }

  // ---- Keys, as the desktop viewer has them.

  function bindKeys(viewer, gallery, askForSeed, askToSave) {
    document.addEventListener("keydown", (event) => {
      if (event.key === "F11") {
        event.preventDefault();
        toggleFullScreen();
        return;
      }
      if (event.key === "Escape" && document.fullscreenElement) {
        document.exitFullscreen();
        return;
      }
      if (gallery.isOpen) {
        if (event.key === "Escape") {
          gallery.close();
        }
        return;
      }
      if (document.querySelector("dialog[open]")) {
        return;
      }
      const control = event.ctrlKey && !event.altKey && !event.metaKey;
      const key = event.key.toLowerCase();
      const onButton = event.target instanceof HTMLButtonElement ||
        event.target instanceof HTMLSelectElement;
      let handled = true;
      if (event.key === "PageDown") {
        viewer.nextIfEnabled();
      } else if (event.key === "PageUp") {
        viewer.previous();
      } else if (event.key === "Enter" && !onButton) {
        viewer.nextIfEnabled();
      } else if (control && key === "g") {
        askForSeed();
      } else if (control && key === "s") {
        askToSave();
      } else if (control && key === "l") {
        gallery.open(viewer.shown ? viewer.shown.seed : 0);
      } else {
        handled = false;
      }
      if (handled) {
        event.preventDefault();
      }
    });
  }

  async function startPage() {
    nameControls();
    const module = await VistrelModule();
    const viewer = new Viewer(module);
    const gallery = new Gallery((seed) => viewer.go(`#seed=${seed}`));

    const seedDialog = $("seed-dialog");
    const seedInput = $("seed-input");
    const askForSeed = () => {
      seedInput.value = viewer.shown ? String(viewer.shown.seed & (SceneSeedCount - 1)) : "0";
      seedDialog.showModal();
      seedInput.select();
    };
    seedDialog.addEventListener("close", () => {
      if (seedDialog.returnValue === "ok" && seedInput.checkValidity()) {
        viewer.go(`#seed=${Number(seedInput.value)}`);
      }
    });

    const saveDialog = $("save-dialog");
    const askToSave = () => viewer.shown && saveDialog.showModal();
    saveDialog.addEventListener("close", () => {
      if (saveDialog.returnValue === "ok" && viewer.shown) {
        download(module, viewer.shown.seed, $("save-scale").value);
      }
    });

    $("show-seed").addEventListener("click", askForSeed);
    $("save").addEventListener("click", askToSave);
    $("open-gallery").addEventListener("click", () => gallery.open(viewer.shown ? viewer.shown.seed : 0));
    $("full-screen").addEventListener("click", toggleFullScreen);
    bindKeys(viewer, gallery, askForSeed, askToSave);
    viewer.start();

    // What the browser tests and the speed figures read.
    window.vistrelPage = {
      shown: () => ({ ...viewer.shown, width: viewer.canvas.width, height: viewer.canvas.height }),
      firstPictureAt: () => viewer.firstPictureAt,
      digests: (first, last) => {
        const text = module._vistrel_digests(first, last);
        return text ? module.UTF8ToString(text) : null;
      },
      timeRenders: (first, count, width, height) => {
        const start = performance.now();
        const rendered = module._vistrel_render_only(first, count, width, height);
        return { milliseconds: performance.now() - start, rendered };
      },
    };
  }

  startPage();
})();
