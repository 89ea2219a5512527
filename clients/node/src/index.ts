export { Quillgate, type QuillgateOptions, type Params, type Reply } from './client';
export {
  QuillgateError,
  QuillgateRefusal,
  QuillgateTimeout,
  QuillgateExit,
  QuillgateStartError,
  QuillgateProtocolError,
  QuillgateClosed,
} from './errors';
export type { RefusalParts, Size } from './refusal-parts';
export type { Backoff } from './supervisor';
export type * from './generated/protocol';
