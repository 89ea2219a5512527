// What the tests share: where the built program and the repository's test
// scenes are, and a client that is closed when the test ends.

import { join, resolve } from 'node:path';
import type { TestContext } from 'node:test';
import { Quillgate, type QuillgateOptions } from '../src/index';

/** The repository, from build-test/test/ where the compiled tests run. */
export const repository = resolve(__dirname, '../../../..');
/** The program under test; scripts/test names the build it made. */
export const binary = resolve(process.env.QUILLGATE_TEST_BINARY ?? join(repository, 'build/quillgate'));

/** A scene of the end-to-end transcripts, e.g. "chat.json" or "guard-header-covered/scene.json". */
export const scene = (name: string): string => join(repository, 'tests/e2e', name);

/** The demo scene's chat window and its conversation header. */
export const demo = {
  hwnd: '4107',
  dialog: '4113',
  header: { x: 310, y: 0, width: 690, height: 56 },
  composer: { x: 310, y: 580, width: 690, height: 120 },
};

/** The environment without the host's own choice of scene, desktop or trace. */
function cleanEnvironment(): NodeJS.ProcessEnv {
  const env = { ...process.env };
  for (const name of ['QUILLGATE_SCENE', 'QUILLGATE_DESKTOP', 'QUILLGATE_TRACE', 'QUILLGATE_SIM_LOG']) delete env[name];
  return env;
}

export function quillgate(t: TestContext, options: Partial<QuillgateOptions> = {}): Quillgate {
  const client = new Quillgate({ binary, env: cleanEnvironment(), ...options });
  t.after(() => client.close());
  return client;
}

/** Whether a process of that id still runs. */
export function alive(pid: number): boolean {
  try {
    process.kill(pid, 0);
    return true;
  } catch {
    return false;
  }
}
