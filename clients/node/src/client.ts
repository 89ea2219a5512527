// The host's handle on quillgate: one method per operation, each a promise of
// the operation's typed response, and the binding the guarded ones carry.

import type {
  Action,
  Binding,
  FailureMessage,
  Identity,
  OperationName,
  Operations,
} from './generated/protocol';
import { defaultDeadlineMs } from './deadlines';
import { QuillgateProtocolError, QuillgateRefusal, type QuillgateExit } from './errors';
import { Supervisor, type Backoff } from './supervisor';

export interface QuillgateOptions {
  /** Path of the quillgate program. */
  binary: string;
  /** QUILLGATE_SCENE: the simulated desktop's scene file. */
  scene?: string;
  /** QUILLGATE_DESKTOP: which desktop the program drives ("x11" on Linux). */
  desktop?: string;
  /** QUILLGATE_TRACE: the file the program appends its request trace to. */
  trace?: string;
  /** The program's environment; the host's own when left out. The three above are set on top. */
  env?: NodeJS.ProcessEnv;
  /** Deadlines in milliseconds by operation, in place of the defaults. */
  deadlines?: Partial<Record<OperationName, number>>;
  backoff?: Partial<Backoff>;
  /** How long close() waits for the program to exit before killing it; default 2000. */
  closeGraceMs?: number;
  /** Called with the process id each time the program starts. */
  onStart?: (pid: number | undefined) => void;
  /** Called each time the program ends unexpectedly, also between requests. */
  onExit?: (exit: QuillgateExit) => void;
}

/** What a request of the operation carries besides its name and the binding. */
export type Params<Op extends OperationName> = Omit<Operations[Op]['request'], 'op' | 'operation' | 'bound'>;
export type Reply<Op extends OperationName> = Operations[Op]['response'];

export class Quillgate {
  /**
   * The bound window, sent as "bound" with every request. It is the host's:
   * it stays across restarts of the program, and each guarded request checks
   * that it still holds.
   */
  binding: Binding | undefined;
  private readonly supervisor: Supervisor;
  private readonly deadlines: Partial<Record<OperationName, number>>;

  constructor(options: QuillgateOptions) {
    const env = { ...(options.env ?? process.env) };
    if (options.scene !== undefined) env.QUILLGATE_SCENE = options.scene;
    if (options.desktop !== undefined) env.QUILLGATE_DESKTOP = options.desktop;
    if (options.trace !== undefined) env.QUILLGATE_TRACE = options.trace;
    this.deadlines = options.deadlines ?? {};
    this.supervisor = new Supervisor({
      binary: options.binary,
      env,
      backoff: { initialMs: 100, maxMs: 5000, ...options.backoff },
      closeGraceMs: options.closeGraceMs ?? 2000,
      onStart: options.onStart,
      onExit: options.onExit,
    });
  }

  /** The running program's process id; undefined while none runs. */
  get pid(): number | undefined {
    return this.supervisor.pid;
  }

  /** Sends one request; resolves with its success response or rejects with a QuillgateError. */
  async request<Op extends OperationName>(operation: Op, params: Params<Op>): Promise<Reply<Op>> {
    const line = JSON.stringify({ op: operation, ...params, ...(this.binding && { bound: this.binding }) });
    const answer = await this.supervisor.send(operation, line, this.deadlines[operation] ?? defaultDeadlineMs(operation));
    let response: { ok?: unknown; error?: unknown };
    try {
      response = JSON.parse(answer);
    } catch {
      throw new QuillgateProtocolError(operation, answer);
    }
    if (response.ok === true) return response as Reply<Op>;
    if (response.ok === false && typeof response.error === 'string') {
      throw new QuillgateRefusal(operation, response.error as FailureMessage);
    }
    throw new QuillgateProtocolError(operation, answer);
  }

  /** Binds the window `inspect` described (or a binding kept from before). */
  bind(window: Identity | Binding): void {
    const { hwnd, pid, process, processStart, title, width, height, guard } = window as Binding;
    this.binding = { hwnd, pid, process, processStart, title, width, height, ...(guard && { guard }) };
  }

  /** Inspects the window and binds it. */
  async bindWindow(hwnd: string): Promise<Binding> {
    this.bind((await this.inspect(hwnd)).identity);
    return this.binding!;
  }

  /** Stops the program: it answers what it has, then exits. Later calls fail. */
  close(): Promise<void> {
    return this.supervisor.close();
  }

  permissions() {
    return this.request('permissions', {});
  }
  selfTest() {
    return this.request('self-test', {});
  }
  inputIdle() {
    return this.request('input-idle', {});
  }
  dismissMenu(params: Params<'dismiss-menu'> = {}) {
    return this.request('dismiss-menu', params);
  }
  releaseKeys(params: Params<'release-keys'> = {}) {
    return this.request('release-keys', params);
  }
  showChats(params: Params<'show-chats'> = {}) {
    return this.request('show-chats', params);
  }
  reopenApp(params: Params<'reopen-app'> = {}) {
    return this.request('reopen-app', params);
  }
  list() {
    return this.request('list', {});
  }
  probe(id: string) {
    return this.request('probe', { id });
  }
  inspect(hwnd: string) {
    return this.request('inspect', { hwnd });
  }
  activate() {
    return this.request('activate', {});
  }
  popup(params: Params<'popup'> = {}) {
    return this.request('popup', params);
  }
  popupClose() {
    return this.request('popup-close', {});
  }
  popupPress(params: Params<'popup-press'> = {}) {
    return this.request('popup-press', params);
  }
  check() {
    return this.request('check', {});
  }
  capture() {
    return this.request('capture', {});
  }
  captureInput() {
    return this.request('capture-input', {});
  }
  /** Binds the region as the conversation header: its guard joins the binding. */
  async bindRegion(params: Params<'bind-region'>) {
    const response = await this.request('bind-region', params);
    if (this.binding) this.binding = { ...this.binding, guard: response.guard };
    return response;
  }
  axText() {
    return this.request('ax-text', {});
  }
  composerText(params: Params<'composer-text'> = {}) {
    return this.request('composer-text', params);
  }
  pointer(params: Params<'pointer'>) {
    return this.request('pointer', params);
  }
  execute(action: Action) {
    return this.request('execute', { action });
  }
}
