// What a call can fail with. Every error is a QuillgateError; branch on the
// class, and on a refusal's fields.

import type { FailureMessage, OperationName } from './generated/protocol';
import { readParts, type RefusalParts } from './refusal-parts';

export class QuillgateError extends Error {
  constructor(message: string, readonly operation: OperationName | undefined) {
    super(message);
    this.name = new.target.name;
  }
}

/** The program answered `"ok": false`; `message` is its `error` exactly. */
export class QuillgateRefusal extends QuillgateError implements RefusalParts {
  readonly error: FailureMessage;
  readonly change?: RefusalParts['change'];
  readonly size?: RefusalParts['size'];
  readonly occluder?: RefusalParts['occluder'];
  readonly occluderLayer?: number;
  readonly occluderSize?: RefusalParts['occluderSize'];
  readonly sameAppTransient?: boolean;
  readonly focusSource?: string;
  readonly prompt?: boolean;
  readonly promptBy?: string[];

  constructor(operation: OperationName, error: FailureMessage) {
    super(error, operation);
    this.error = error;
    Object.assign(this, readParts(error));
  }
}

/** The request missed its deadline; the program was killed. */
export class QuillgateTimeout extends QuillgateError {
  constructor(operation: OperationName, readonly deadlineMs: number) {
    super(`quillgate did not answer "${operation}" within ${deadlineMs} ms; the program was stopped`, operation);
  }
}

/** The program ended while it was not being closed. */
export class QuillgateExit extends QuillgateError {
  constructor(
    operation: OperationName | undefined,
    readonly status: number | null,
    readonly signal: NodeJS.Signals | null,
    /** Its last non-empty line of standard error, or "". */
    readonly stderr: string,
  ) {
    const how = signal ? `by signal ${signal}` : `with status ${status}`;
    super(`quillgate ended ${how}${stderr ? `: ${stderr}` : ''}`, operation);
  }
}

/** The program could not be started (missing, not executable, ...). */
export class QuillgateStartError extends QuillgateError {
  constructor(
    operation: OperationName | undefined,
    readonly binary: string,
    /** The system's error code, e.g. ENOENT or EACCES. */
    readonly code: string | undefined,
  ) {
    const why =
      code === 'ENOENT' ? 'not found' : code === 'EACCES' ? 'not executable' : `cannot be started (${code ?? 'unknown error'})`;
    super(`quillgate binary ${JSON.stringify(binary)} ${why}`, operation);
  }
}

/** The program's answer was not a response line of the protocol. */
export class QuillgateProtocolError extends QuillgateError {
  constructor(operation: OperationName, readonly line: string) {
    super(`quillgate answered "${operation}" with a line that is no response: ${line.slice(0, 200)}`, operation);
  }
}

/** The client was closed before or while the call ran. */
export class QuillgateClosed extends QuillgateError {
  constructor(operation: OperationName) {
    super(`the client was closed; "${operation}" was not answered`, operation);
  }
}
