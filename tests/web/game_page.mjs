// Drives the game's web page in headless Chromium (Debian's, through
// puppeteer-core) the way tests/e2e/test_game_flow.sh drives the native
// window: the menu, the administrator's log-in, a practice duel won, Esc
// back to the menu and "Exit" ending the program. Text lines are recognised
// by comparing the canvas with reference pictures (PPM) that the native
// build's render_text_line made; the whole menu is compared with the native
// window's menu (PPM).
//
// Usage: node game_page.mjs URL REFS_DIR NATIVE_MENU.ppm OUT_DIR
// Exits 0 when every step passed; prints what failed otherwise.
import fs from 'node:fs';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const [url, refsDir, nativeMenuPath, outDir] = process.argv.slice(2);
if (!outDir) {
  console.error('usage: node game_page.mjs URL REFS_DIR NATIVE_MENU.ppm OUT_DIR');
  process.exit(2);
}
const W = 300, H = 240;

// Binary PPM (P6) -> {width, height, rgb}.
function readPpm(file) {
  const buf = fs.readFileSync(file);
  const fields = [];
  let i = 0;
  while (fields.length < 4) {
    while (/\s/.test(String.fromCharCode(buf[i]))) i++;
    if (buf[i] === 0x23) { while (buf[i] !== 0x0a) i++; continue; }  // comment
    let s = '';
    while (!/\s/.test(String.fromCharCode(buf[i]))) s += String.fromCharCode(buf[i++]);
    fields.push(s);
  }
  i++;  // the single white space before the pixels
  const [magic, w, h] = [fields[0], +fields[1], +fields[2]];
  if (magic !== 'P6' || +fields[3] !== 255) throw new Error(`${file}: not an 8-bit P6 picture`);
  return { width: w, height: h, rgb: buf.subarray(i, i + w * h * 3) };
}

const refs = {};
for (const f of fs.readdirSync(refsDir)) if (f.endsWith('.ppm')) refs[path.basename(f, '.ppm')] = readPpm(path.join(refsDir, f));
const nativeMenu = readPpm(nativeMenuPath);

const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  defaultViewport: { width: 348, height: 300 },
  userDataDir: fs.mkdtempSync(path.join(outDir, 'profile-')),
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync', '--window-size=420,420'],
});
let failed = null;
const log = [];
const page = await browser.newPage();
page.on('console', (m) => log.push(`console: ${m.text()}`));
page.on('pageerror', (e) => log.push(`page error: ${e.message}`));

// The canvas as RGB rows (W x H), read through a copy of it.
async function canvasRgb() {
  const data = await page.evaluate((w, h) => {
    const c = document.getElementById('canvas');
    if (c.width !== w || c.height !== h) return null;
    const copy = document.createElement('canvas');
    copy.width = w; copy.height = h;
    const g = copy.getContext('2d');
    g.drawImage(c, 0, 0);
    return Array.from(g.getImageData(0, 0, w, h).data);
  }, W, H);
  if (!data) return null;
  const rgb = Buffer.alloc(W * H * 3);
  for (let p = 0; p < W * H; p++) {
    rgb[p * 3] = data[p * 4]; rgb[p * 3 + 1] = data[p * 4 + 1]; rgb[p * 3 + 2] = data[p * 4 + 2];
  }
  return rgb;
}

// Whether the 300 x 16 line at y equals the reference picture.
function lineIs(rgb, y, name) {
  const ref = refs[name];
  if (!ref) throw new Error(`no reference ${name}`);
  return rgb.subarray(y * W * 3, (y + 16) * W * 3).equals(ref.rgb);
}

async function waitLine(y, name, seconds = 10) {
  const end = Date.now() + seconds * 1000;
  for (;;) {
    const rgb = await canvasRgb();
    if (rgb && lineIs(rgb, y, name)) return rgb;
    if (Date.now() > end) return null;
    await new Promise((r) => setTimeout(r, 50));
  }
}

// The game acts on one key per poll (every 10 ms) and drops the keys queued
// behind it, as a person types: keys go one at a time, Enter after a pause.
const pause = (ms) => new Promise((r) => setTimeout(r, ms));
async function type(text) {
  for (const ch of text) {
    await page.keyboard.type(ch, { delay: 30 });
    await pause(70);
  }
}
async function press(key) {
  await pause(150);
  await page.keyboard.press(key, { delay: 30 });
}

function step(ok, what) {
  if (!ok && !failed) failed = what;
  return ok;
}

try {
  await page.goto(url, { waitUntil: 'load' });
  const isolated = await page.evaluate(() => self.crossOriginIsolated);
  if (!step(isolated, 'the page is not cross-origin isolated (COOP/COEP headers missing)')) throw 0;
  await page.focus('#canvas');

  // The menu, and how it compares with the native window's.
  let menu = await waitLine(0, 'title', 60);
  if (!step(menu, 'the title line never showed "Lumenvale"')) throw 0;
  menu = await waitLine(60, 'menu_exit', 10);
  if (!step(menu, 'the Exit line of the menu is missing')) throw 0;
  step(lineIs(menu, 40, 'menu_hint'), 'the menu hint is missing');
  let same = 0;
  for (let p = 0; p < W * H; p++) {
    const a = p * 3;
    if (menu[a] === nativeMenu.rgb[a] && menu[a + 1] === nativeMenu.rgb[a + 1] && menu[a + 2] === nativeMenu.rgb[a + 2]) same++;
  }
  const agreement = same / (W * H);
  console.log(`menu: ${(agreement * 100).toFixed(2)} % of pixels agree with the native window`);
  step(nativeMenu.width === W && nativeMenu.height === H, 'the native menu picture is not 300 x 240');
  step(agreement >= 0.99, `only ${(agreement * 100).toFixed(2)} % of the menu's pixels agree with the native window`);
  const canvas = await page.$('#canvas');
  await canvas.screenshot({ path: path.join(outDir, 'lumenvale_web_menu.png') });
  await page.screenshot({ path: path.join(outDir, 'lumenvale_web_page.png') });
  if (failed) throw 0;

  // version-1.0.0 and the administrator's log-in.
  await type('version-1.0.0'); await press('Enter');
  if (!step(await waitLine(20, 'ask_name'), 'no name prompt after choosing version-1.0.0')) throw 0;
  await type('kestrel_v'); await press('Enter');
  if (!step(await waitLine(20, 'ask_password'), 'no password prompt after the name')) throw 0;
  await type('_tek4590$'); await press('Enter');
  if (!step(await waitLine(20, 'level_prompt'), 'no level prompt after the log-in')) throw 0;
  console.log('logged in as kestrel_v');

  // A practice duel at huashen: cultivate, then the sword finger wins.
  await type('0'); await press('Enter');
  const duel = await waitLine(20, 'action_prompt');
  if (!step(duel, 'the practice duel did not start')) throw 0;
  step(lineIs(duel, 40, 'power0'), 'the power line does not read 0 at the start of the duel');
  let won = false;
  for (let round = 0; round < 5 && !won; round++) {
    await type('0'); await press('Enter');
    if (!step(await waitLine(40, 'power5', 20), 'no prompt with 5 power after cultivating')) throw 0;
    await type('4'); await press('Enter');
    won = !!(await waitLine(20, 'won', 12));
  }
  if (!step(won, 'the duel never showed the win message')) throw 0;
  console.log('the practice duel ran to its end (won)');

  // Back to the menu, then Exit ends the program and the page says so.
  if (!step(await waitLine(20, 'level_prompt', 20), 'no level prompt after the duel')) throw 0;
  await press('Escape');
  if (!step(await waitLine(40, 'menu_hint', 20), 'Esc did not return to the menu')) throw 0;
  await type('Exit'); await press('Enter');
  const ended = await page.waitForFunction(() => window.glintState === 'ended', { timeout: 20000 })
    .then(() => true, () => false);
  if (!step(ended, 'the page never showed the end of the program after Exit')) throw 0;
  const status = await page.evaluate(() => [window.glintExitStatus, document.getElementById('status').textContent]);
  step(status[0] === 0, `exit status ${status[0]}`);
  step(/ended/.test(status[1]), `the page's status line reads "${status[1]}"`);
  console.log(`after Exit the page reads: ${status[1]}`);
} catch (e) {
  if (e !== 0 && !failed) failed = `error: ${e && e.stack ? e.stack : e}`;
}
if (failed) {
  try { await page.screenshot({ path: path.join(outDir, 'failure.png') }); } catch (_) { /* closed */ }
  console.log(log.slice(-30).join('\n'));
  console.log(`FAIL: ${failed}`);
}
await browser.close();
process.exit(failed ? 1 : 0);
