// Keeps one quillgate program running for the client: writes requests one at
// a time in order (the protocol has no ids, so the next line out answers the
// request in flight), holds each to its deadline, and starts the program
// again, after a backoff, when it timed out, ended or could not start.

import type { OperationName } from './generated/protocol';
import {
  QuillgateClosed,
  QuillgateExit,
  QuillgateStartError,
  QuillgateTimeout,
} from './errors';
import { Program, type ProgramEnd } from './program';

export interface Backoff {
  /** The wait before the first restart after a failure. */
  initialMs: number;
  /** Waits double with each failure in a row, up to this. */
  maxMs: number;
}

export interface SupervisorOptions {
  binary: string;
  env: NodeJS.ProcessEnv;
  backoff: Backoff;
  /** How long close() waits for the program to exit before killing it. */
  closeGraceMs: number;
  onStart?: (pid: number | undefined) => void;
  onExit?: (exit: QuillgateExit) => void;
}

type Outcome = { kind: 'answer'; text: string } | { kind: 'timeout' } | { kind: 'end'; end: ProgramEnd };

interface InFlight {
  operation: OperationName;
  answer: (line: string) => void;
}

export class Supervisor {
  private program: Program | undefined;
  private inFlight: InFlight | undefined;
  private queue: Promise<unknown> = Promise.resolve();
  private failures = 0;
  private lastFailureAt = 0;
  private closing = false;
  /** The programs the client stopped on purpose: their end is not reported. */
  private readonly stopped = new WeakSet<Program>();

  constructor(private readonly options: SupervisorOptions) {}

  get pid(): number | undefined {
    return this.program?.pid;
  }

  /** Writes the line after every earlier one was answered; resolves with the answer line. */
  send(operation: OperationName, line: string, deadlineMs: number): Promise<string> {
    if (this.closing) return Promise.reject(new QuillgateClosed(operation));
    const turn = this.queue.then(() => this.exchange(operation, line, deadlineMs));
    this.queue = turn.catch(() => {});
    return turn;
  }

  async close(): Promise<void> {
    this.closing = true;
    await this.queue;
    const program = this.program;
    if (!program) return;
    this.stopped.add(program);
    program.endInput();
    const grace = setTimeout(() => program.kill(), this.options.closeGraceMs);
    await program.ended;
    clearTimeout(grace);
    this.program = undefined;
  }

  private async exchange(operation: OperationName, line: string, deadlineMs: number): Promise<string> {
    const program = await this.running(operation);
    let timer: NodeJS.Timeout | undefined;
    const answered = new Promise<Outcome>((resolve) => {
      this.inFlight = { operation, answer: (text) => resolve({ kind: 'answer', text }) };
    });
    const timedOut = new Promise<Outcome>((resolve) => {
      timer = setTimeout(() => resolve({ kind: 'timeout' }), deadlineMs);
    });
    const ended = program.ended.then((end): Outcome => ({ kind: 'end', end }));
    try {
      program.write(line);
      const outcome = await Promise.race([answered, ended, timedOut]);
      switch (outcome.kind) {
        case 'answer':
          this.failures = 0;
          return outcome.text;
        case 'timeout':
          this.stopped.add(program);
          program.kill();
          await program.ended;
          this.failed();
          throw new QuillgateTimeout(operation, deadlineMs);
        case 'end':
          throw this.exitError(operation, outcome.end);
      }
    } finally {
      clearTimeout(timer);
      this.inFlight = undefined;
    }
  }

  /** The running program, started first when there is none. */
  private async running(operation: OperationName): Promise<Program> {
    if (this.program) return this.program;
    const wait = this.backoffMs() - (Date.now() - this.lastFailureAt);
    if (wait > 0) await new Promise((resolve) => setTimeout(resolve, wait));
    let program: Program;
    try {
      program = await Program.start(this.options.binary, this.options.env, (answer) => this.inFlight?.answer(answer));
    } catch (error) {
      this.failed();
      throw new QuillgateStartError(operation, this.options.binary, (error as NodeJS.ErrnoException).code);
    }
    this.program = program;
    void program.ended.then((end) => this.ended(program, end));
    this.options.onStart?.(program.pid);
    return program;
  }

  private ended(program: Program, end: ProgramEnd): void {
    if (this.program === program) this.program = undefined;
    if (this.stopped.has(program)) return;
    this.failed();
    this.options.onExit?.(this.exitError(this.inFlight?.operation, end));
  }

  private exitError(operation: OperationName | undefined, end: ProgramEnd): QuillgateExit {
    return new QuillgateExit(operation, end.status, end.signal, end.stderr);
  }

  private failed(): void {
    this.failures += 1;
    this.lastFailureAt = Date.now();
  }

  private backoffMs(): number {
    if (this.failures === 0) return 0;
    const { initialMs, maxMs } = this.options.backoff;
    return Math.min(maxMs, initialMs * 2 ** (this.failures - 1));
  }
}
