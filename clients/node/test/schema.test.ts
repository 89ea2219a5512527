// The client's types come from the schema: a schema whose response no longer
// fits what the client reads fails the client's type check.

import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { cpSync, mkdtempSync, readFileSync, rmSync, symlinkSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { test } from 'node:test';
import { repository } from './support';

const packageRoot = resolve(__dirname, '../..');
const schema = JSON.parse(readFileSync(join(repository, 'docs/protocol.schema.json'), 'utf8'));

type Schema = { $defs: Record<string, { properties: Record<string, unknown>; required: string[] }> };

/** Type-checks the client's sources against types generated from the schema; the compiler's output, or null when clean. */
function typeCheck(change: (schema: Schema) => void): string | null {
  const dir = mkdtempSync(join(tmpdir(), 'quillgate-client-schema-'));
  try {
    const changed = structuredClone(schema);
    change(changed);
    writeFileSync(join(dir, 'protocol.schema.json'), JSON.stringify(changed));
    cpSync(join(packageRoot, 'src'), join(dir, 'src'), { recursive: true, filter: (path) => !path.includes('generated') });
    cpSync(join(packageRoot, 'tsconfig.json'), join(dir, 'tsconfig.json'));
    symlinkSync(join(packageRoot, 'node_modules'), join(dir, 'node_modules'));
    execFileSync(process.execPath, [
      join(packageRoot, 'tools/generate-types.mjs'),
      join(dir, 'protocol.schema.json'),
      join(dir, 'src/generated/protocol.ts'),
    ]);
    const tsc = spawnSync(process.execPath, [join(packageRoot, 'node_modules/typescript/bin/tsc'), '-p', dir, '--noEmit', '--skipLibCheck'], {
      encoding: 'utf8',
    });
    return tsc.status === 0 ? null : tsc.stdout + tsc.stderr;
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

function rename(definition: string, from: string, to: string): (schema: Schema) => void {
  return (s) => {
    const d = s.$defs[definition];
    d.properties[to] = d.properties[from];
    delete d.properties[from];
    d.required = d.required.map((name) => (name === from ? to : name));
  };
}

test('the client type-checks against the schema as it stands', () => {
  assert.equal(typeCheck(() => {}), null);
});

test('a response definition that no longer fits fails the type check', async (t) => {
  const cases: [string, (schema: Schema) => void, RegExp][] = [
    ['bind-region answers "guard" under another name', rename('BindRegionResponse', 'guard', 'region'), /Property 'guard' does not exist/],
    ['inspect answers "identity" under another name', rename('InspectResponse', 'identity', 'window'), /Property 'identity' does not exist/],
    [
      'bind-region answers its guard as a string',
      (s) => (s.$defs.BindRegionResponse.properties.guard = { type: 'string' }),
      /Type 'string' is not assignable to type 'Guard'/,
    ],
    [
      'an operation is named without its definitions',
      (s) => (s.$defs as unknown as { OperationName: { enum: string[] } }).OperationName.enum.push('wave'),
      /Cannot find name 'WaveRequest'/,
    ],
  ];
  for (const [name, change, error] of cases) {
    await t.test(name, () => {
      const output = typeCheck(change);
      assert.notEqual(output, null, 'the type check passed');
      assert.match(output!, error);
    });
  }
});
