// Every operation through the client against the real program on the demo
// scene, each answer checked for what the operation promises.

import assert from 'node:assert/strict';
import { test } from 'node:test';
import { demo, quillgate } from './support';

const pngSignature = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);

test('operations without a binding answer on the demo scene', async (t) => {
  const qg = quillgate(t);
  assert.deepEqual(await qg.permissions(), { ok: true, screen: true, accessibility: true });
  assert.deepEqual(await qg.selfTest(), { ok: true, kind: 'synthetic-helper-contract', inputExecuted: false });
  const idle = await qg.inputIdle();
  assert.ok(idle.idleMs > 0 && Array.isArray(idle.heldKeys));
  assert.equal(idle.frontPid, 4821);
  assert.deepEqual(await qg.releaseKeys({ keys: [56] }), { ok: true, released: [], stillHeld: [] });
  assert.deepEqual(await qg.dismissMenu({ bundles: ['com.example.notes'] }), { ok: true, found: false });
  assert.equal((await qg.showChats({ bundles: ['com.tencent.xinWeChat'] })).pressed, true);
  assert.deepEqual(await qg.reopenApp({ names: ['WeChat'] }), { ok: true, pressed: true });

  const { windows } = await qg.list();
  assert.ok(windows.some((w) => w.id === demo.hwnd && w.title === 'WeChat'));
  const { window } = await qg.probe(demo.hwnd);
  assert.deepEqual(window.rect, { x: 200, y: 100, width: 1000, height: 700 });
  const { identity } = await qg.inspect(demo.hwnd);
  assert.equal(identity.pid, 4821);
  assert.equal(identity.width, 1000);
});

test('guarded operations answer once a window and its header are bound', async (t) => {
  const qg = quillgate(t);
  const binding = await qg.bindWindow(demo.hwnd);
  assert.equal(binding.title, 'WeChat');
  assert.equal((await qg.activate()).identity.hwnd, demo.hwnd);

  const shot = await qg.capture();
  assert.equal(shot.width, 1000);
  assert.equal(shot.height, 700);
  assert.deepEqual(Buffer.from(shot.base64, 'base64').subarray(0, 8), pngSignature);
  const input = await qg.captureInput();
  assert.deepEqual([input.width, input.height], [1000, 700]);

  const { guard } = await qg.bindRegion({ region: demo.header, reference: shot.base64 });
  assert.match(guard.hash, /^[0-9a-f]{64}$/);
  assert.deepEqual(qg.binding?.guard, guard, 'the guard joins the binding');
  assert.deepEqual(await qg.check(), { ok: true });

  const text = await qg.axText();
  assert.equal(text.walked, true);
  assert.ok(text.items.length > 0);
  assert.deepEqual(await qg.composerText({ region: demo.composer }), { ok: true, text: '' });

  const { pointer } = await qg.pointer({ x: 0.2, y: 0.5 });
  assert.equal(pointer.inside, true);
  assert.deepEqual(await qg.execute({ kind: 'key', key: 'escape' }), { ok: true });
  assert.deepEqual(await qg.execute({ kind: 'click', x: 0.2, y: 0.5, button: 'left', count: 1 }), { ok: true });
  assert.deepEqual(await qg.execute({ kind: 'scroll', x: 0.2, y: 0.5, amount: 3, direction: 'down' }), { ok: true });
});

test('popup operations find the demo dialog, press its button and try to close it', async (t) => {
  const qg = quillgate(t);
  await qg.bindWindow(demo.hwnd);
  const popup = await qg.popup({ elements: true });
  assert.equal(popup.found, true);
  if (popup.found) assert.ok(popup.texts.includes('OK'));
  // The demo dialog stays whatever is done to it: nothing in its scene reacts.
  assert.deepEqual(await qg.popupPress({ labels: ['Cancel'] }), {
    ok: true, found: true, pressed: true, clicked: true, stillOpen: true,
  });
  assert.deepEqual(await qg.popupClose(), { ok: true, found: true, closed: false });
});
