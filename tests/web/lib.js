// What the browser tests share: starting Debian's browsers, opening the page with watchers
// for errors and requests, reading the form's state, and real input at the controls' places.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';
import { launchWebKit } from './webkit.js';

export const pagePath = resolve(process.env.TARVONA_HTML ?? 'build-web/tarvona.html');
export const pageUrl = pathToFileURL(pagePath).href;

// The engine's form behind a line protocol (tests/web/ModelReplay.cpp), which also tells the
// form's design: every control's place, size, colour and text, which the page must show.
export const replayPath = resolve(process.env.TARVONA_MODEL_REPLAY ?? 'build-web-replay/tests/web/tarvona_model_replay');
let designRead;
export function formDesign() {
    designRead ??= JSON.parse(execFileSync(replayPath, ['--design'], { encoding: 'utf8' }));
    return designRead;
}

export const authors = ['Аристофан', 'Еврипид', 'Есхил', 'Омир', 'Софокъл'];
// The works in master order, each with the index of its author.
export const master = [
    ['Антигона', 4], ['Едип цар', 4], ['Електра', 4], ['Жените в народното събрание', 0], ['Илиада', 3],
    ['Медея', 1], ['Облаци', 0], ['Орестия', 2], ['Прикованият Прометей', 2],
];
export const titles = master.map(([title]) => title);

// The browsers under test, by puppeteer's name, and WebKitGTK; TARVONA_BROWSERS=chrome (or
// firefox, webkit) narrows it.
export const browserNames = (process.env.TARVONA_BROWSERS ?? 'chrome,firefox,webkit').split(',');

function firefoxPath() {
    return ['/usr/bin/firefox-esr', '/usr/bin/firefox'].find(existsSync) ?? '/usr/bin/firefox-esr';
}

// Headless, from the system's packages, with no downloads: Chromium is told to stay off the
// network (the machine refuses its connections, which would otherwise show up as errors),
// and runs as root only without its sandbox.
export async function launch(name) {
    if (name === 'webkit') {
        return launchWebKit();
    }
    if (name === 'chrome') {
        const profile = mkdtempSync(join(tmpdir(), 'tarvona-chromium-'));
        const browser = await puppeteer.launch({
            browser: 'chrome',
            executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
            headless: true,
            pipe: true,
            userDataDir: profile,
            args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                '--disable-background-networking', '--disable-component-update', '--disable-sync'],
        });
        browser.process().once('exit', () => rmSync(profile, { recursive: true, force: true }));
        return browser;
    }
    return puppeteer.launch({ browser: 'firefox', executablePath: process.env.FIREFOX ?? firefoxPath(), headless: true });
}

// Opens the page in a fresh tab and waits until the form is ready for its first click. Every
// console error, page error and request is kept, for `finish` to check.
// With compileInBackgroundOnly, the browser refuses to compile WebAssembly of over 4 KB as the
// page is read, as Chrome did up to 110 and some Android WebViews still do.
// With heldTimers, the page's timers run only when the test says (window.tarvonaTimers).
export async function open(browser, { url = pageUrl, width = 800, height = 600, touch = false,
    compileInBackgroundOnly = false, heldTimers = false } = {}) {
    const page = await browser.newPage();
    const seen = { errors: [], requests: [] };
    page.on('console', (message) => {
        if (message.type() === 'error') {
            seen.errors.push(`console: ${message.text()}`);
        }
    });
    page.on('pageerror', (error) => seen.errors.push(`page: ${error.message ?? error}`));
    page.on('request', (request) => {
        if (!request.url().startsWith('data:')) {
            seen.requests.push(request.url());
        }
    });
    // (Over WebDriver, as WebKit is driven, a page cannot be watched from its first tag.)
    await page.evaluateOnNewDocument?.(() => {
        window.cspViolations = [];
        document.addEventListener('securitypolicyviolation',
            (event) => window.cspViolations.push(`${event.violatedDirective} ${event.blockedURI}`));
    });
    if (compileInBackgroundOnly) {
        await page.evaluateOnNewDocument(() => {
            const Module = WebAssembly.Module;
            WebAssembly.Module = function (bytes) {
                if (bytes.byteLength > 4096) {
                    throw new RangeError('WebAssembly.Module(): Buffer size is larger than 4KB');
                }
                return new Module(bytes);
            };
            // And the program starts only when the test lets it, so that a pupil can be quick.
            const instantiate = WebAssembly.instantiate;
            WebAssembly.instantiate = (...args) => new Promise((started) => {
                window.tarvonaLetStart = () => started(instantiate(...args));
            });
        });
    }
    if (heldTimers) {
        await page.evaluateOnNewDocument(() => {
            const timers = new Map();
            let last = 0;
            window.setTimeout = (run) => {
                timers.set(++last, run);
                return last;
            };
            window.clearTimeout = (id) => timers.delete(id);
            window.tarvonaTimers = {
                count: () => timers.size,
                runAll: () => [...timers].forEach(([id, run]) => timers.delete(id) && run()),
            };
        });
    }
    await page.setViewport({ width, height, hasTouch: touch, isMobile: touch });
    await page.goto(url);
    if (compileInBackgroundOnly) {
        // The page is shown before the program starts: a work clicked then is not a pick, but
        // takes the list's cursor, as the focus is on it.
        await page.waitForFunction(() => window.tarvonaLetStart);
        await clickWork(page, 'Жените в народното събрание');
        await page.evaluate(() => window.tarvonaLetStart());
    }
    await page.waitForSelector('#Tarvona[aria-busy="false"]', { timeout: 20000 });
    // And as a pupil first sees it: the log box takes its focus when the page is first shown.
    await page.evaluate(() => new Promise((shown) => requestAnimationFrame(() => requestAnimationFrame(shown))));
    if (compileInBackgroundOnly) {
        const now = await state(page);
        assert.deepEqual([now.cursor, now.focusedRow, now.selected, now.status], [3, 'Жените в народното събрание', -1, ['']]);
    }
    return { page, seen, url };
}

// Closes the tab after checking that it raised no error and asked for nothing but the page.
// (Firefox reports no request for a file:// page at all; the test over HTTP counts there.)
export async function finish({ page, seen, url }) {
    const violations = await page.evaluate(() => window.cspViolations ?? []);
    await page.close();
    assert.deepEqual(seen.errors, [], 'console or page errors');
    assert.deepEqual(violations, [], 'Content-Security-Policy violations');
    assert.deepEqual(seen.requests.filter((request) => request !== url), [], 'requests');
}

// After a pick that tells a screen reader something, the page moves the focus after the list's
// cursor only a moment later, so that the message is heard first; a row that has left the list
// keeps the focus until then.
export function settled(page) {
    return page.waitForFunction(() => {
        const list = document.getElementById('List1_0');
        const focused = document.activeElement;
        return !list.querySelector('.leaving')
            && (!list.contains(focused) || focused === (list.querySelector('[tabindex="0"]') ?? list));
    }, { timeout: 5000 });
}

// Everything the tests compare, read in one round trip; by default once the focus has settled.
export async function state(page, { settle = true } = {}) {
    if (settle) {
        await settled(page);
    }
    return page.evaluate(() => {
        const list = document.getElementById('List1_0');
        const rows = [...list.querySelectorAll('[role="option"]:not(.leaving)')];
        const checked = document.querySelector('input[name="Option1"]:checked');
        const focused = document.activeElement;
        let focus = focused?.id || focused?.tagName;
        if (focused?.name === 'Option1') {
            focus = `Option1_${focused.value}`;
        } else if (list.contains(focused)) {
            focus = 'List1_0';
        }
        return {
            rows: rows.map((row) => row.textContent),
            selected: rows.findIndex((row) => row.getAttribute('aria-selected') === 'true'),
            // The list's cursor: its one stop in the Tab order.
            cursor: rows.findIndex((row) => row.getAttribute('tabindex') === '0'),
            // What each row tells a screen reader: its place, the count, whether it is selected.
            marks: rows.map((row) => ['aria-posinset', 'aria-setsize', 'aria-selected'].map((name) => row.getAttribute(name)).join(' ')),
            focusedRow: rows.includes(focused) ? focused.textContent : null,
            author: checked ? Number(checked.value) : -1,
            log: document.getElementById('Text1_0').value,
            logCaret: [document.getElementById('Text1_0').selectionStart, document.getElementById('Text1_0').scrollTop],
            // The messages the live region holds (a region may keep each as a paragraph).
            status: (({ children, textContent }) => (children.length ? [...children].map((c) => c.textContent)
                : [textContent]))(document.getElementById('Status')),
            focus,
        };
    });
}

// The engine's log as the text box shows it (the DOM has "\n" for CR LF).
export function shown(log) {
    return log.replaceAll('\r\n', '\n');
}

export function verdictLine(author, title) {
    const right = master.find(([work]) => work === title)[1] === author;
    return `\n${right ? 'Вярно' : 'Невярно'} ${authors[author]}:${title}\n`;
}

// The middle of a control on the screen, in CSS px of the viewport. A work's row is first
// scrolled into the list's view, as a pupil would scroll to it. The point must be on the
// control itself, so that a click elsewhere is the test's fault, not taken for the page's.
export async function centreOf(page, selector, row = -1) {
    const found = await page.evaluate((selector, row) => {
        let element = document.querySelector(selector);
        if (row >= 0) {
            element = element.querySelectorAll('[role="option"]:not(.leaving)')[row];
            element.scrollIntoView({ block: 'nearest' });
        }
        const rect = element.getBoundingClientRect();
        const x = rect.left + rect.width / 2;
        const y = rect.top + rect.height / 2;
        return { x, y, onIt: element.contains(document.elementFromPoint(x, y)) };
    }, selector, row);
    assert.ok(found.onIt, `${selector} ${row} is not at ${found.x}, ${found.y}`);
    return found;
}

// A real click (or a tap) at a control's place.
export async function hit(page, selector, { row = -1, tap = false } = {}) {
    const { x, y } = await centreOf(page, selector, row);
    if (tap) {
        await page.touchscreen.tap(x, y);
    } else {
        await page.mouse.click(x, y);
    }
}

export const clickAuthor = (page, i, options) => hit(page, `#Option1_${i}`, options);
export const clickRestart = (page, options) => hit(page, '#Command1_0', options);
export async function clickWork(page, title, options) {
    const row = (await state(page)).rows.indexOf(title);
    assert.ok(row >= 0, `${title} is in the list`);
    await hit(page, '#List1_0', { ...options, row });
}

// A letter typed on the keyboard, as a pupil with a Bulgarian layout types it. Puppeteer's
// own keyboard knows only a US layout's keys in Chromium, which then takes the key event as
// it stands from the DevTools protocol.
export async function typeLetter(page, letter) {
    try {
        await page.keyboard.press(letter);
    } catch (error) {
        if (!/Unknown key/.test(error.message)) {
            throw error;
        }
        page.tarvonaSession ??= await page.createCDPSession();
        await page.tarvonaSession.send('Input.dispatchKeyEvent', { type: 'keyDown', key: letter, text: letter, unmodifiedText: letter });
        await page.tarvonaSession.send('Input.dispatchKeyEvent', { type: 'keyUp', key: letter });
    }
}
