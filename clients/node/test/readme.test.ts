// The package README's example runs as written against the demo scene.

import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { existsSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { test } from 'node:test';
import { binary, repository } from './support';

const packageRoot = resolve(__dirname, '../..');

test('the README example binds, checks, clicks, captures to a file and closes', (t) => {
  const readme = readFileSync(join(packageRoot, 'README.md'), 'utf8');
  const example = /```js\n([\s\S]*?)```/.exec(readme)?.[1];
  assert.ok(example, 'the README has a js example');
  assert.ok(example.trim().split('\n').length <= 10, 'the example is at most ten lines');
  if (binary !== join(repository, 'build/quillgate')) {
    t.skip('the example runs the build in build/');
    return;
  }

  // Inside the package, so that it imports the package by its name.
  const file = join(packageRoot, 'build-test/readme-example.mjs');
  writeFileSync(file, example);
  rmSync('/tmp/chat.png', { force: true });
  const env = { ...process.env };
  delete env.QUILLGATE_SCENE;
  const run = spawnSync(process.execPath, [file], { cwd: repository, env, encoding: 'utf8' });
  assert.equal(run.status, 0, run.stderr);
  assert.ok(existsSync('/tmp/chat.png'));
  const png = readFileSync('/tmp/chat.png');
  assert.deepEqual([png.readUInt32BE(16), png.readUInt32BE(20)], [1000, 700], 'the picture is the chat window');
  rmSync('/tmp/chat.png');
});
