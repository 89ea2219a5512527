// Writes the protocol's TypeScript types from the JSON Schema, at build time.
//   node tools/generate-types.mjs [SCHEMA] [OUTPUT]
// Defaults: the repository's docs/protocol.schema.json, src/generated/protocol.ts.
//
// json-schema-to-typescript does the translation. Three schema shapes it
// cannot express are rewritten first, each into the nearest sound type:
// - a string with a pattern that is a literal prefix ("^text") becomes the
//   template literal type `text${string}`, so prefixed failure messages stay
//   in the failure union instead of widening it to string;
// - "if"/"then"/"else" becomes the union of "then" and "else" (every valid
//   value matches one of them);
// - an "anyOf" of bare "required" lists (at least one of "op" and
//   "operation") is dropped: it constrains which keys are present, not types.
// Then the map from operation name to request and response types is added
// from the OperationName enumeration, so a missing definition fails the build.
import { compile } from 'json-schema-to-typescript';
import { mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { dirname, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const schemaPath = resolve(process.argv[2] ?? resolve(here, '../../../docs/protocol.schema.json'));
const outputPath = resolve(process.argv[3] ?? resolve(here, '../src/generated/protocol.ts'));

const literalPrefix = /^\^([^\\.*+?()[\]{}|$^]*)$/;

function rewrite(node) {
  if (Array.isArray(node)) return node.map(rewrite);
  if (node === null || typeof node !== 'object') return node;
  const out = {};
  for (const [key, value] of Object.entries(node)) out[key] = rewrite(value);
  if (out.type === 'string' && typeof out.pattern === 'string') {
    const prefix = literalPrefix.exec(out.pattern);
    if (prefix) out.tsType = '`' + prefix[1].replace(/[`\\]/g, '\\$&').replace(/\$\{/g, '\\${') + '${string}`';
  }
  if (out.if !== undefined && out.then !== undefined && out.else !== undefined) {
    out.anyOf = [out.then, out.else];
    delete out.if;
    delete out.then;
    delete out.else;
  }
  if (Array.isArray(out.anyOf) && out.anyOf.every(onlyRequired)) delete out.anyOf;
  return out;
}

function onlyRequired(branch) {
  return branch !== null && typeof branch === 'object' && Object.keys(branch).join() === 'required';
}

const pascal = (name) => name.split('-').map((part) => part[0].toUpperCase() + part.slice(1)).join('');

const schema = rewrite(JSON.parse(readFileSync(schemaPath, 'utf8')));
const operations = schema.$defs?.OperationName?.enum;
if (!Array.isArray(operations)) throw new Error(`${schemaPath}: no OperationName enumeration`);

// The generator emits every definition only under an object at the root, so
// the root's "any request or response" is replaced by an empty object that
// carries the definitions; Request and Response are definitions of their own.
const root = { title: 'ProtocolDefinitions', type: 'object', properties: {}, additionalProperties: false, $defs: schema.$defs };
const types = await compile(root, 'ProtocolDefinitions', {
  bannerComment: '/* Generated from docs/protocol.schema.json by tools/generate-types.mjs; do not edit. */',
  additionalProperties: false,
  strictIndexSignatures: true,
  unreachableDefinitions: true,
  format: false,
});
const map = operations
  .map((op) => `  ${JSON.stringify(op)}: { request: ${pascal(op)}Request; response: ${pascal(op)}Response };`)
  .join('\n');
mkdirSync(dirname(outputPath), { recursive: true });
writeFileSync(outputPath, `${types}\n/** Every operation's request and success response, by name. */\nexport interface Operations {\n${map}\n}\n`);
