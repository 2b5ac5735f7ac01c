// The web backend's side in the page (web_backend.cpp calls it as
// Module.webScreen): raw input from Pointer Events, the keyboard and the
// wheel, queued for the program; the wait that the program's message loop
// yields in; the screen on the canvas; the wait cursor; sounds through Web
// Audio. Linked into the program's module ahead of the generated code.
Module['webScreen'] = (function () {
  // Raw event kinds, as RawEvent in web_backend.cpp numbers them.
  const DOWN = 0, MOVE = 1, UP = 2, KEY_DOWN = 3, KEY_UP = 4, CHAR = 5, WHEEL = 6;
  const REPEAT = 1, CTRL = 2, ALT = 4, SHIFT = 8, META = 16;
  // Windows virtual-key codes the program takes: the device's keys, then
  // the desktop shortcuts (Backspace, Home, F1, Ctrl+F, Ctrl+Q).
  const DEVICE_KEYS = new Set([38, 40, 37, 39, 13, 27, 9, 46, 33, 34, 36, 35, 16]);
  const PLAIN_SHORTCUTS = new Set([8, 36, 112]);
  const CTRL_SHORTCUTS = new Set([70, 81]);
  // Wheel travel that makes one step, by deltaMode (pixels, lines, pages).
  const WHEEL_STEP = [100, 3, 1];

  const events = [];
  let wake = null;
  let canvas = null;
  let context = null;  // the canvas's 2d context
  let image = null;  // an ImageData on the program's frame, while it stays put
  let pending = null;  // the frame's rows not yet on the canvas: {address, top, bottom}
  let pointer = null;  // the id of the pointer that is the stylus
  let wheelTravel = 0;
  let wheelTime = -Infinity;
  let audio = null;
  let playing = null;
  let halted = false;
  const listeners = [];

  function push(kind, x, y, key, flags, ch) {
    events.push([kind, x, y, key, flags, ch]);
    if (wake) wake();
  }

  function putPending() {
    if (!pending || !canvas) return;
    const width = canvas.width, height = canvas.height;
    // The program's memory moves when it grows, and the frame with it.
    if (!image || image.data.buffer !== HEAPU8.buffer || image.data.byteOffset != pending.address ||
        image.width != width || image.height != height) {
      image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, pending.address, width * height * 4), width, height);
    }
    context.putImageData(image, 0, 0, 0, pending.top, width, pending.bottom - pending.top);
    pending = null;
  }

  function at(event) {
    const box = canvas.getBoundingClientRect();
    return [Math.floor((event.clientX - box.left) * canvas.width / box.width),
            Math.floor((event.clientY - box.top) * canvas.height / box.height)];
  }

  function modifiers(event) {
    return (event.repeat ? REPEAT : 0) | (event.ctrlKey ? CTRL : 0) | (event.altKey ? ALT : 0) |
           (event.shiftKey ? SHIFT : 0) | (event.metaKey ? META : 0);
  }

  // The browser lets sound start only after the user has done something.
  function wakeAudio() {
    if (!audio && typeof AudioContext == 'function') audio = new AudioContext();
    if (audio && audio.state == 'suspended') audio.resume();
  }

  const handlers = {
    pointerdown(event) {
      if (pointer !== null || (event.pointerType == 'mouse' && event.button != 0)) return;
      event.preventDefault();
      canvas.focus();
      wakeAudio();
      pointer = event.pointerId;
      // Moves off the canvas still belong to the stylus; a pointer the
      // browser does not know (a made-up event) cannot be captured.
      try {
        canvas.setPointerCapture(pointer);
      } catch (error) {
      }
      const point = at(event);
      push(DOWN, point[0], point[1], 0, 0, 0);
    },
    pointermove(event) {
      if (event.pointerId !== pointer) return;
      const point = at(event);
      push(MOVE, point[0], point[1], 0, 0, 0);
    },
    pointerup(event) {
      if (event.pointerId !== pointer) return;
      pointer = null;
      const point = at(event);
      push(UP, point[0], point[1], 0, 0, 0);
    },
    pointercancel(event) { handlers.pointerup(event); },
    contextmenu(event) { event.preventDefault(); },
    wheel(event) {
      event.preventDefault();
      if (event.deltaY == 0) return;
      const step = WHEEL_STEP[event.deltaMode] || 1;
      // A turn's first movement is a step at once; after it, each step's
      // worth of travel in the same turn is one more.
      if (event.timeStamp - wheelTime > 300) wheelTravel = Math.sign(event.deltaY) * step;
      else wheelTravel += event.deltaY;
      wheelTime = event.timeStamp;
      while (Math.abs(wheelTravel) >= step) {
        push(WHEEL, 0, 0, wheelTravel < 0 ? 1 : -1, 0, 0);
        wheelTravel -= Math.sign(wheelTravel) * step;
      }
    },
  };
  const keyHandlers = {
    keydown(event) { key(event, KEY_DOWN); },
    keyup(event) { key(event, KEY_UP); },
  };

  function listen(target, name, handler) {
    target.addEventListener(name, handler, {passive: false});
    listeners.push({target: target, name: name, handler: handler});
  }

  function key(event, kind) {
    const vk = event.keyCode;
    const flags = modifiers(event);
    const ctrl = event.ctrlKey && !event.altKey && !event.metaKey && !event.shiftKey;
    const plain = !event.ctrlKey && !event.altKey && !event.metaKey;
    const shortcut = (plain && !event.shiftKey && PLAIN_SHORTCUTS.has(vk)) || (ctrl && CTRL_SHORTCUTS.has(vk));
    if (shortcut || DEVICE_KEYS.has(vk)) {
      if (vk != 16) event.preventDefault();
      if (kind == KEY_DOWN) wakeAudio();
      push(kind, 0, 0, vk, flags, 0);
    } else if (kind == KEY_DOWN && plain && event.key.length <= 2 && event.key.length > 0 &&
               event.key.codePointAt(0) >= 32) {
      // Printable text, one UTF-16 unit at a time.
      event.preventDefault();
      for (let i = 0; i < event.key.length; ++i) push(CHAR, 0, 0, 0, 0, event.key.charCodeAt(i));
    }
  }

  return {
    // Takes input from this canvas and the page's keyboard.
    attach(element) {
      canvas = element;
      context = canvas.getContext('2d');
      // (Emscripten's minifier takes no destructuring in loops.)
      for (const name in handlers) listen(canvas, name, handlers[name]);
      for (const name in keyHandlers) listen(window, name, keyHandlers[name]);
    },
    detach() {
      for (const entry of listeners) entry.target.removeEventListener(entry.name, entry.handler);
      listeners.length = 0;
      if (wake) wake();
      this.stopSound();
    },
    // Stops the program for good, as the page does to open another guide:
    // it never gets input, time or the canvas again, and nothing holds it.
    halt() {
      halted = true;
      this.detach();
      canvas = null;
      if (audio) audio.close();
    },
    // Fills a RawEvent; 0 when none is waiting.
    takeEvent(address) {
      if (!events.length) return 0;
      HEAP32.set(events.shift(), address >> 2);
      return 1;
    },
    // Resolves on the next event, or after timeoutMs (never when negative).
    wait(timeoutMs) {
      if (halted) return new Promise(() => {});
      if (events.length) return Promise.resolve();
      return new Promise(resolve => {
        let timer = null;
        wake = () => {
          wake = null;
          if (timer !== null) clearTimeout(timer);
          resolve();
        };
        if (timeoutMs >= 0) timer = setTimeout(wake, timeoutMs);
        if (Module['onWait']) Module['onWait'](timeoutMs);
      });
    },
    // The whole frame is at address; its rows from top on have changed, and
    // the others are on the canvas already, unless it has just been sized.
    // The rows go onto the canvas as the browser next paints it, which
    // shows them no later; frames the program presents in between cost
    // one put, and the program waits again sooner.
    present(address, width, height, top, rows) {
      if (canvas) {
        if (canvas.width != width || canvas.height != height) {
          canvas.width = width;
          canvas.height = height;
          top = 0;
          rows = height;
        }
        if (pending) {
          pending.top = Math.min(pending.top, top);
          pending.bottom = Math.max(pending.bottom, top + rows);
        } else {
          pending = {top: top, bottom: top + rows};
          requestAnimationFrame(putPending);
        }
        pending.address = address;
      }
      if (Module['onPresent'] && !halted) Module['onPresent']();
    },
    // The device screen as last presented, in RGBA bytes: the canvas holds
    // it exactly, every pixel being opaque.
    frame() {
      if (!canvas) return null;
      putPending();
      const image = context.getImageData(0, 0, canvas.width, canvas.height);
      return {width: image.width, height: image.height, data: new Uint8Array(image.data.buffer)};
    },
    setBusy(busy) {
      if (canvas) canvas.style.cursor = busy ? 'wait' : '';
    },
    setIcon(address, width, height) {
      const picture = document.createElement('canvas');
      picture.width = width;
      picture.height = height;
      const pixels = new Uint8ClampedArray(HEAPU8.slice(address, address + width * height * 4).buffer);
      picture.getContext('2d').putImageData(new ImageData(pixels, width, height), 0, 0);
      let link = document.querySelector('link[rel="icon"]');
      if (!link) {
        link = document.createElement('link');
        link.rel = 'icon';
        document.head.appendChild(link);
      }
      link.href = picture.toDataURL('image/png');
    },
    // Plays PCM samples at once (the program calls as it yields, after the
    // frame that goes with them).
    play(address, bytes, channels, rate, bits) {
      this.stopSound();
      const width = bits == 8 ? 1 : 2;
      const frames = Math.floor(bytes / (width * channels));
      wakeAudio();
      if (!audio || frames == 0) return;
      const view = new DataView(HEAPU8.buffer, address, bytes);
      const buffer = audio.createBuffer(channels, frames, rate);
      for (let c = 0; c < channels; ++c) {
        const samples = buffer.getChannelData(c);
        for (let i = 0; i < frames; ++i) {
          const offset = (i * channels + c) * width;
          samples[i] = width == 1 ? (view.getUint8(offset) - 128) / 128 : view.getInt16(offset, true) / 32768;
        }
      }
      playing = audio.createBufferSource();
      playing.buffer = buffer;
      playing.connect(audio.destination);
      playing.start();
    },
    stopSound() {
      if (playing) {
        playing.stop();
        playing = null;
      }
    },
  };
})();
