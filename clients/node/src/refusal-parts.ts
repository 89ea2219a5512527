// The machine-readable parts some refusal messages end with, as fields.

export interface RefusalParts {
  /** `change=`: what about the bound window changed. */
  change?: 'process' | 'title' | 'size';
  /** With `change=size`: the bound size and the window's size now. */
  size?: { from: Size; to: Size };
  /** `occluder=`: the owner of the window over the target or the header. */
  occluder?: string;
  occluderLayer?: number;
  occluderSize?: Size;
  /** The occluder is a small window of the bound application itself. */
  sameAppTransient?: boolean;
  /** `focus_source=`: where the focus check found the focus. */
  focusSource?: string;
  /** `prompt=`: whether a screen-recording prompt was seen on screen. */
  prompt?: boolean;
  /** `by=`: the windows taken for that prompt, as owner@layer. */
  promptBy?: string[];
}

export interface Size {
  width: number;
  height: number;
}

const size = (text: string): Size => {
  const [width, height] = text.split('x').map(Number);
  return { width, height };
};

export function readParts(message: string): RefusalParts {
  const parts: RefusalParts = {};
  const change = /change=(process|title|size)(?: (\d+x\d+)->(\d+x\d+))?/.exec(message);
  if (change) {
    parts.change = change[1] as RefusalParts['change'];
    if (change[2] && change[3]) parts.size = { from: size(change[2]), to: size(change[3]) };
  }
  const occluder = /occluder=(.*?)(?: layer=(-?\d+) size=(\d+x\d+)( same-app-transient)?)?$/.exec(message);
  if (occluder) {
    parts.occluder = occluder[1];
    if (occluder[2] !== undefined) {
      parts.occluderLayer = Number(occluder[2]);
      parts.occluderSize = size(occluder[3]);
      parts.sameAppTransient = occluder[4] !== undefined;
    }
  }
  const focus = /focus_source=([^;\s]+)/.exec(message);
  if (focus) parts.focusSource = focus[1];
  const prompt = /; prompt=(yes|no)(?:; by=(.+))?$/.exec(message);
  if (prompt) {
    parts.prompt = prompt[1] === 'yes';
    if (prompt[2]) parts.promptBy = prompt[2].split(',');
  }
  return parts;
}
