// The navigation benchmark's actions on the page, timed inside it as
// bench_navigation times them natively: a tap on a place, from the stylus
// release to the frame presented with its popup, and Forward along a link
// to a map whose image must be decoded, from the release of the button to
// the frame of that map. Each returns milliseconds. The frame's pixels go
// onto the canvas as the browser next paints; the tap's puts, as bench.js
// times them (window.benchPuts), are summed apart in lastPut.
'use strict';
(function () {
  const canvas = document.getElementById('screen');
  // Device pixels on the 240 x 320 screen. The home map opens centred on
  // map point (2000, 2000) in a 240 x 268 window 26 pixels down: the place
  // (2040, 2040), the link's hot rectangle (1930, 1930), and the menu bar's
  // Forward and Back buttons.
  const PLACE = [160, 200];
  const LINK = [50, 90];
  const FORWARD = [206, 307];
  const BACK = [182, 307];

  let lastFrame = 0;
  canvas.addEventListener('mapfolio-frame', () => { lastFrame = performance.now(); });

  // The event a mouse button makes at device pixel (x, y). It is made
  // before the timing starts: a person's browser makes it before the page
  // sees it.
  function pointer(type, [x, y]) {
    const box = canvas.getBoundingClientRect();
    return new PointerEvent(type, {
      pointerId: 1, pointerType: 'mouse', isPrimary: true, button: 0, buttons: type == 'pointerup' ? 0 : 1,
      clientX: box.left + (x + 0.5) * box.width / canvas.width,
      clientY: box.top + (y + 0.5) * box.height / canvas.height, bubbles: true, cancelable: true});
  }
  const pause = ms => new Promise(resolve => setTimeout(resolve, ms));
  // The program runs from the event's microtasks until it waits again;
  // a task queued after them runs once it is idle.
  const idle = () => pause(0);

  // Down, 50 ms, then the release, timed to the last frame it presents.
  async function tap(at) {
    canvas.dispatchEvent(pointer('pointerdown', at));
    await pause(50);
    const up = pointer('pointerup', at);
    const puts = window.benchPuts.length;
    const start = performance.now();
    lastFrame = start;
    canvas.dispatchEvent(up);
    await idle();
    const took = lastFrame - start;
    // Keeps the next press from making a double tap.
    await pause(600);
    window.bench.lastPut = window.benchPuts.slice(puts).reduce((sum, put) => sum + put.ms, 0);
    return took;
  }

  window.bench = {
    async tap() {
      const took = await tap(PLACE);
      if (!window.mapfolio.state().popup.visible) throw new Error('the tap showed no popup');
      return took;
    },
    async forward() {
      await tap(LINK);
      const took = await tap(FORWARD);
      if (window.mapfolio.state().current_map != 'Far') throw new Error('Forward did not open the far map');
      await tap(BACK);
      return took;
    },
  };
})();
