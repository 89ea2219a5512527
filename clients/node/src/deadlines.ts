// How long each operation may take before the client gives up on it: a few
// seconds above the longest wait the protocol documents for it.

import type { OperationName } from './generated/protocol';

/** A window capture: the screenshot service's 3 seconds, then the tool's 5. */
const captureMs = 3000 + 5000;
/** A popup's picture waits for the screenshot service alone. */
const popupPictureMs = 3000;

/** The longest documented wait of each operation; every guarded one may capture. */
const documentedWaitMs: Record<OperationName, number> = {
  permissions: 0,
  'self-test': 0,
  'input-idle': 0,
  'dismiss-menu': 0,
  'release-keys': 0,
  'show-chats': 0,
  'reopen-app': 0,
  list: 0,
  probe: 0,
  inspect: 0,
  activate: 0,
  popup: popupPictureMs,
  'popup-close': 0,
  'popup-press': 0,
  check: captureMs,
  capture: captureMs,
  'capture-input': captureMs,
  'bind-region': captureMs,
  'ax-text': captureMs,
  'composer-text': captureMs,
  pointer: captureMs,
  execute: captureMs,
};

const slackMs = 3000;
/** Even an operation without a documented wait reads the desktop. */
const floorMs = 5000;

export function defaultDeadlineMs(operation: OperationName): number {
  return Math.max(floorMs, documentedWaitMs[operation] + slackMs);
}
