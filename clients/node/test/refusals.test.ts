// Refusals of the real program arrive as QuillgateRefusal with the exact
// message and its machine-readable parts as fields.

import assert from 'node:assert/strict';
import { test } from 'node:test';
import { QuillgateError, QuillgateRefusal, type Binding } from '../src/index';
import { demo, quillgate, scene } from './support';

/** The window of the transcripts' chat scenes, as inspect describes it. */
const chat: Binding = { hwnd: '60', pid: 501, process: 'Chat', processStart: '1765000000.25', title: 'Chat', width: 900, height: 600 };
const smallChat: Binding = { ...chat, width: 120, height: 80 };

async function refusal(call: Promise<unknown>): Promise<QuillgateRefusal> {
  const error = await call.then(
    () => assert.fail('expected a refusal'),
    (e: unknown) => e,
  );
  assert.ok(error instanceof QuillgateRefusal, `expected a refusal, got ${String(error)}`);
  assert.ok(error instanceof QuillgateError);
  return error;
}

test('plain refusals carry the message and the operation', async (t) => {
  const qg = quillgate(t);
  const unbound = await refusal(qg.check());
  assert.equal(unbound.error, 'window binding is required');
  assert.equal(unbound.message, 'window binding is required');
  assert.equal(unbound.operation, 'check');
  assert.equal(unbound.change, undefined);

  await qg.bindWindow(demo.hwnd);
  // @ts-expect-error an action's key is one of the permitted names
  const key = await refusal(qg.execute({ kind: 'key', key: 'f1' }));
  assert.equal(key.error, 'key is not permitted');
  const reference = await refusal(qg.bindRegion({ region: demo.header, reference: 'not a picture' }));
  assert.equal(reference.error, 'invalid conversation reference');
});

test('a changed window says what changed', async (t) => {
  const qg = quillgate(t);
  const { identity } = await qg.inspect(demo.hwnd);

  qg.bind({ ...identity, title: 'Notes' });
  const title = await refusal(qg.check());
  assert.equal(title.error, 'selected window identity or size changed; change=title');
  assert.equal(title.change, 'title');

  qg.bind({ ...identity, pid: identity.pid + 1 });
  assert.equal((await refusal(qg.check())).change, 'process');

  qg.bind({ ...identity, width: 999 });
  const size = await refusal(qg.check());
  assert.equal(size.error, 'selected window identity or size changed; change=size 999x700->1000x700');
  assert.equal(size.change, 'size');
  assert.deepEqual(size.size, { from: { width: 999, height: 700 }, to: { width: 1000, height: 700 } });
});

test('focus, occluders and the screen-recording prompt are fields', async (t) => {
  const typing = quillgate(t, { scene: scene('activate-refused-while-typing/scene.json') });
  typing.bind(chat);
  const focus = await refusal(typing.activate());
  assert.equal(focus.focusSource, 'other');

  const dock = quillgate(t, { scene: scene('pointer-dock-overlay/scene.json') });
  dock.bind(chat);
  const pointer = await refusal(dock.pointer({ x: 0.5, y: 0.95 }));
  assert.equal(pointer.error, '目标窗口被遮挡，未执行点击。occluder=Dock layer=20 size=1920x80');
  assert.deepEqual(
    [pointer.occluder, pointer.occluderLayer, pointer.occluderSize, pointer.sameAppTransient],
    ['Dock', 20, { width: 1920, height: 80 }, false],
  );

  const banner = quillgate(t, { scene: scene('guard-header-covered/scene.json') });
  const hash = 'd905d64c9a18fd38f4a6a56ab26c4a4b5067c3dbbd4aeff1ab1c5eeb2e2b2ae9';
  banner.bind({ ...smallChat, guard: { x: 0, y: 0, width: 120, height: 20, hash } });
  const covered = await refusal(banner.check());
  assert.equal(covered.error, 'conversation header is obscured; action cancelled; occluder=Banner');
  assert.equal(covered.occluder, 'Banner');
  assert.equal(covered.occluderLayer, undefined);

  banner.bind({ ...smallChat, guard: { x: 0, y: 0, width: 120, height: 20, hash: hash.replace('d9', 'e9') } });
  assert.equal((await refusal(banner.check())).error, 'conversation header changed; action cancelled');

  const prompt = quillgate(t, { scene: scene('capture-never-answers/scene.json') });
  prompt.bind(smallChat);
  await prompt.capture();
  await prompt.capture();
  const waiting = await refusal(prompt.capture());
  assert.match(waiting.error, /^MAC_SCREEN_WAITING: /);
  assert.equal(waiting.prompt, true);
  assert.deepEqual(waiting.promptBy, ['screencaptureui@25']);
});
