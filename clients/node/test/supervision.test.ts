// The client keeps the real program running: deadlines, unexpected ends,
// restarts with backoff, order under load, a program that cannot start, and
// a clean close.

import assert from 'node:assert/strict';
import { chmodSync, mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';
import {
  QuillgateClosed,
  QuillgateExit,
  QuillgateRefusal,
  QuillgateStartError,
  QuillgateTimeout,
  type Binding,
} from '../src/index';
import { alive, demo, quillgate, scene } from './support';

const smallChat: Binding = {
  hwnd: '60', pid: 501, process: 'Chat', processStart: '1765000000.25', title: 'Chat', width: 120, height: 80,
};

/** A test that waits for the program past this has hung; it fails rather than holding the run. */
const limit = { timeout: 30_000 };

/**
 * The transcripts' scene whose screenshot service never answers, in real
 * time: a capture then waits the service's 3 seconds and the tool's, far
 * beyond the short deadlines below.
 */
function neverAnsweringScene(): string {
  const never = JSON.parse(readFileSync(scene('capture-never-answers/scene.json'), 'utf8'));
  delete never.clock;
  delete never.timeline;
  const file = join(mkdtempSync(join(tmpdir(), 'quillgate-client-')), 'scene.json');
  writeFileSync(file, JSON.stringify(never));
  return file;
}

function exited(): { next: () => Promise<QuillgateExit>; onExit: (exit: QuillgateExit) => void } {
  const seen: QuillgateExit[] = [];
  let wake: (() => void) | undefined;
  return {
    onExit: (exit) => {
      seen.push(exit);
      wake?.();
    },
    next: async () => {
      while (seen.length === 0) await new Promise<void>((resolve) => (wake = resolve));
      return seen.shift()!;
    },
  };
}

test('a request past its deadline stops the program; the next call runs on a fresh one', limit, async (t) => {
  const qg = quillgate(t, { scene: neverAnsweringScene(), deadlines: { capture: 500 }, backoff: { initialMs: 10 } });
  qg.bind(smallChat);
  await qg.check();
  const first = qg.pid!;
  await assert.rejects(qg.capture(), (e: unknown) => {
    assert.ok(e instanceof QuillgateTimeout);
    assert.equal(e.operation, 'capture');
    assert.equal(e.deadlineMs, 500);
    return true;
  });
  assert.equal(alive(first), false, 'the program that missed the deadline is gone');
  assert.deepEqual(await qg.check(), { ok: true }, 'the binding held across the restart');
  assert.notEqual(qg.pid, first);
});

test('an unexpected end is reported, fails the request in flight, and the next call restarts', limit, async (t) => {
  const ends = exited();
  const qg = quillgate(t, { scene: neverAnsweringScene(), onExit: ends.onExit, backoff: { initialMs: 10 } });
  qg.bind(smallChat);

  await qg.check();
  const between = qg.pid!;
  process.kill(between, 'SIGKILL');
  const idle = await ends.next();
  assert.equal(idle.signal, 'SIGKILL');
  assert.equal(idle.operation, undefined, 'it ended between requests');
  assert.deepEqual(await qg.check(), { ok: true });
  assert.notEqual(qg.pid, between);

  const during = qg.pid!;
  const capture = qg.capture();
  setTimeout(() => process.kill(during, 'SIGKILL'), 200);
  await assert.rejects(capture, (e: unknown) => {
    assert.ok(e instanceof QuillgateExit);
    assert.equal(e.operation, 'capture');
    assert.equal(e.signal, 'SIGKILL');
    return true;
  });
  assert.equal((await ends.next()).operation, 'capture');
  assert.deepEqual(await qg.check(), { ok: true });
});

test('a program that ends at once is reported with its status and standard error, restarted after a backoff', limit, async (t) => {
  const starts: number[] = [];
  const qg = quillgate(t, {
    scene: join(tmpdir(), 'quillgate-client-no-such-scene.json'),
    backoff: { initialMs: 300, maxMs: 1000 },
    onStart: () => starts.push(Date.now()),
  });
  for (let attempt = 0; attempt < 2; attempt++) {
    await assert.rejects(qg.list(), (e: unknown) => {
      assert.ok(e instanceof QuillgateExit);
      assert.equal(e.status, 2);
      assert.match(e.stderr, /quillgate-client-no-such-scene\.json: cannot read: No such file or directory$/);
      assert.match(e.message, /^quillgate ended with status 2: /);
      return true;
    });
  }
  assert.equal(starts.length, 2);
  assert.ok(starts[1] - starts[0] >= 300, 'the restart waited for the backoff');
});

test('the desktop and the trace file pass through to the program', limit, async (t) => {
  const trace = join(mkdtempSync(join(tmpdir(), 'quillgate-client-')), 'trace.jsonl');
  const traced = quillgate(t, { trace });
  await traced.permissions();
  await traced.close();
  assert.deepEqual(
    readFileSync(trace, 'utf8').trim().split('\n').map((line) => JSON.parse(line).op),
    ['permissions'],
  );

  const elsewhere = quillgate(t, { desktop: 'none-such' });
  await assert.rejects(elsewhere.list(), (e: unknown) => e instanceof QuillgateExit && /none-such/.test(e.stderr));
});

const refused = (e: unknown): string => (e instanceof QuillgateRefusal ? e.error : String(e));

test('a thousand requests sent at once are answered in order, each by its own response', limit, async (t) => {
  const starts: number[] = [];
  const qg = quillgate(t, { onStart: (pid) => starts.push(pid!) });
  const calls = Array.from({ length: 1000 }, (_, i) => {
    switch (i % 4) {
      case 0:
        return qg.probe(demo.hwnd).then((r) => r.window.id);
      case 1:
        return qg.probe(demo.dialog).then((r) => r.window.id, refused);
      case 2:
        return qg.inspect(demo.hwnd).then((r) => `${r.identity.title} ${r.identity.width}`);
      default:
        return qg.check().then(() => 'checked', refused);
    }
  });
  const expected = ['4107', 'selected window is unavailable', 'WeChat 1000', 'window binding is required'];
  const answers = await Promise.all(calls);
  answers.forEach((answer, i) => assert.equal(answer, expected[i % 4], `request ${i}`));
  assert.equal(starts.length, 1, 'one program served them all');
});

test('a missing or non-executable program is reported as such', limit, async (t) => {
  const missing = quillgate(t, { binary: join(tmpdir(), 'quillgate-client-missing', 'quillgate') });
  await assert.rejects(missing.list(), (e: unknown) => {
    assert.ok(e instanceof QuillgateStartError);
    assert.equal(e.code, 'ENOENT');
    assert.match(e.message, /quillgate-client-missing\/quillgate" not found$/);
    return true;
  });

  const plain = join(mkdtempSync(join(tmpdir(), 'quillgate-client-')), 'quillgate');
  writeFileSync(plain, '');
  chmodSync(plain, 0o644);
  const notExecutable = quillgate(t, { binary: plain });
  await assert.rejects(notExecutable.list(), (e: unknown) => {
    assert.ok(e instanceof QuillgateStartError);
    assert.equal(e.code, 'EACCES');
    assert.match(e.message, /" not executable$/);
    return true;
  });
});

test('close answers the calls made, ends the program, and later calls fail as closed', limit, async (t) => {
  const exits: QuillgateExit[] = [];
  const qg = quillgate(t, { onExit: (exit) => exits.push(exit) });
  await qg.permissions();
  const pid = qg.pid!;
  const made = [qg.list(), qg.permissions()];
  await qg.close();
  assert.deepEqual((await Promise.all(made)).map((r) => r.ok), [true, true], 'the calls made before close were answered');
  assert.equal(alive(pid), false);
  assert.equal(qg.pid, undefined);
  assert.deepEqual(exits, [], 'a close is no unexpected end');
  await assert.rejects(qg.list(), QuillgateClosed);
  await qg.close();
});
