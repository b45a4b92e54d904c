// What the browser tests share: starting Debian's browsers, opening the page with watchers
// for errors and requests, reading the form's state, and real input at the controls' places.
import assert from 'node:assert/strict';
import { existsSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

export const pagePath = resolve(process.env.TARVONA_HTML ?? 'build-web/tarvona.html');
export const pageUrl = pathToFileURL(pagePath).href;

export const authors = ['Аристофан', 'Еврипид', 'Есхил', 'Омир', 'Софокъл'];
// The works in master order, each with the index of its author.
export const master = [
    ['Антигона', 4], ['Едип цар', 4], ['Електра', 4], ['Жените в народното събрание', 0], ['Илиада', 3],
    ['Медея', 1], ['Облаци', 0], ['Орестия', 2], ['Прикованият Прометей', 2],
];
export const titles = master.map(([title]) => title);

// The browsers under test, by puppeteer's name; TARVONA_BROWSERS=chrome (or firefox) narrows it.
export const browserNames = (process.env.TARVONA_BROWSERS ?? 'chrome,firefox').split(',');

function firefoxPath() {
    return ['/usr/bin/firefox-esr', '/usr/bin/firefox'].find(existsSync) ?? '/usr/bin/firefox-esr';
}

// Headless, from the system's packages, with no downloads: Chromium is told to stay off the
// network (the machine refuses its connections, which would otherwise show up as errors),
// and runs as root only without its sandbox.
export async function launch(name) {
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
export async function open(browser, { url = pageUrl, width = 800, height = 600, touch = false,
    compileInBackgroundOnly = false } = {}) {
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
    await page.evaluateOnNewDocument(() => {
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
    await page.setViewport({ width, height, hasTouch: touch, isMobile: touch });
    await page.goto(url);
    if (compileInBackgroundOnly) {
        // The page is shown before the program starts: a work clicked then is not a pick.
        await page.waitForFunction(() => window.tarvonaLetStart);
        await clickWork(page, 'Антигона');
        await page.evaluate(() => window.tarvonaLetStart());
    }
    await page.waitForSelector('#Tarvona[aria-busy="false"]', { timeout: 20000 });
    // And as a pupil first sees it: the log box takes its focus when the page is first shown.
    await page.evaluate(() => new Promise((shown) => requestAnimationFrame(() => requestAnimationFrame(shown))));
    return { page, seen, url };
}

// Closes the tab after checking that it raised no error and asked for nothing but the page.
// (Firefox reports no request for a file:// page at all; the test over HTTP counts there.)
export async function finish({ page, seen, url }) {
    const violations = await page.evaluate(() => window.cspViolations);
    await page.close();
    assert.deepEqual(seen.errors, [], 'console or page errors');
    assert.deepEqual(violations, [], 'Content-Security-Policy violations');
    assert.deepEqual(seen.requests.filter((request) => request !== url), [], 'requests');
}

// The page may hold the list's rows back for a moment after a key answers a pick, so that a
// screen reader hears the answer first; it marks the list aria-busy meanwhile.
export function settled(page) {
    return page.waitForFunction(() => !document.querySelector('#List1_0[aria-busy="true"]'), { timeout: 5000 });
}

// Everything the tests compare, read in one round trip; by default once the list has settled.
export async function state(page, { settle = true } = {}) {
    if (settle) {
        await settled(page);
    }
    return page.evaluate(() => {
        const list = document.getElementById('List1_0');
        const checked = document.querySelector('input[name="Option1"]:checked');
        const focused = document.activeElement;
        let focus = focused?.id || focused?.tagName;
        if (focused?.name === 'Option1') {
            focus = `Option1_${focused.value}`;
        }
        return {
            rows: [...list.options].map((option) => option.text),
            selected: list.selectedIndex,
            author: checked ? Number(checked.value) : -1,
            log: document.getElementById('Text1_0').value,
            logCaret: [document.getElementById('Text1_0').selectionStart, document.getElementById('Text1_0').scrollTop],
            // The messages the live region holds (a region may keep each as a paragraph).
            status: (({ children, textContent }) => (children.length ? [...children].map((c) => c.textContent)
                : [textContent]))(document.getElementById('Status')),
            focus,
            listBusy: list.getAttribute('aria-busy') === 'true',
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
// scrolled into the list's view, as a pupil would scroll to it, once the browser has drawn a
// frame: a list box scrolls to a row the program selected only then, and would move the row
// away from under the pointer. The point must be on the control itself, so that a click
// elsewhere is the test's fault, not taken for the page's.
export async function centreOf(page, selector, row = -1) {
    const found = await page.evaluate(async (selector, row) => {
        let element = document.querySelector(selector);
        if (row >= 0) {
            await new Promise((drawn) => requestAnimationFrame(() => setTimeout(drawn)));
            element = element.options[row];
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
