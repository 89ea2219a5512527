// One running `quillgate --server`: its lines in and out, and how it ended.

import { spawn, type ChildProcessWithoutNullStreams } from 'node:child_process';

export interface ProgramEnd {
  status: number | null;
  signal: NodeJS.Signals | null;
  /** The last non-empty line it wrote on standard error, or "". */
  stderr: string;
}

export class Program {
  /** Settles once the process has ended and its output is read. */
  readonly ended: Promise<ProgramEnd>;
  private pending = '';
  private lastErrorLine = '';
  private errorTail = '';

  private constructor(
    private readonly child: ChildProcessWithoutNullStreams,
    private readonly onLine: (line: string) => void,
  ) {
    child.stdout.setEncoding('utf8');
    child.stdout.on('data', (chunk: string) => this.read(chunk));
    child.stderr.setEncoding('utf8');
    child.stderr.on('data', (chunk: string) => this.readError(chunk));
    // A write to a program that just ended fails here; its end is reported below.
    child.stdin.on('error', () => {});
    this.ended = new Promise((resolve) => {
      child.on('close', (status, signal) => {
        this.readError('\n');
        resolve({ status, signal, stderr: this.lastErrorLine });
      });
    });
  }

  /** Starts the program; fails with the system's error code when it cannot run. */
  static start(binary: string, env: NodeJS.ProcessEnv, onLine: (line: string) => void): Promise<Program> {
    return new Promise((resolve, reject) => {
      const child = spawn(binary, ['--server'], { env, stdio: ['pipe', 'pipe', 'pipe'] });
      child.once('error', (error: NodeJS.ErrnoException) => reject(error));
      child.once('spawn', () => resolve(new Program(child, onLine)));
    });
  }

  get pid(): number | undefined {
    return this.child.pid;
  }

  write(line: string): void {
    this.child.stdin.write(line + '\n');
  }

  /** Ends its input: the program answers what it has read, then exits. */
  endInput(): void {
    this.child.stdin.end();
  }

  kill(): void {
    this.child.kill('SIGKILL');
  }

  private read(chunk: string): void {
    this.pending += chunk;
    let end: number;
    while ((end = this.pending.indexOf('\n')) >= 0) {
      const line = this.pending.slice(0, end);
      this.pending = this.pending.slice(end + 1);
      this.onLine(line);
    }
  }

  private readError(chunk: string): void {
    const lines = (this.errorTail + chunk).split('\n');
    this.errorTail = lines.pop() ?? '';
    for (const line of lines) if (line.trim()) this.lastErrorLine = line.trim();
  }
}
