// The page played in each browser with real input: mouse clicks at the controls' places, key
// presses and touches through the browser's own input pipeline. Every page opened must end
// without a console or page error and without a request but the page itself (lib.finish).
import assert from 'node:assert/strict';
import { createServer } from 'node:http';
import { readFileSync } from 'node:fs';
import { after, before, describe, test } from 'node:test';
import {
    browserNames, clickAuthor, clickRestart, clickWork, finish, formDesign, launch, master, open, pagePath, state,
    titles, typeLetter, verdictLine,
} from './lib.js';

const restartText = 'Нов избор';

// Where each control stands on the form at scale 1 (left, top, width, height), its
// background and its text, as the form's design gives them (the window is laid out from the
// same design); the author bars are placed within the frame.
const design = formDesign();
const layout = [
    ...design.controls.map(({ name: control, box, colour, text }) => [`#${control}`, box, colour, undefined, text]),
    ...design.options.map((box, i) => [`#Option1_${i}`, box, design.optionColour, '#Frame1']),
];
const [, , formWidth, formHeight] = design.form;
const font = [[...design.fontFamilies.map((family) => `"${family}"`), 'serif'].join(', '), `${(design.fontPoints * 4) / 3}px`];

function geometry(page) {
    return page.evaluate((layout, formWidth) => {
        const form = document.getElementById('Tarvona');
        const box = form.getBoundingClientRect();
        const scale = box.width / formWidth;
        const style = (element) => getComputedStyle(element);
        return {
            scale,
            form: [box.left, box.top, box.width / scale, box.height / scale],
            formColour: style(form).backgroundColor,
            viewport: [innerWidth, innerHeight],
            scrollWidth: document.documentElement.scrollWidth,
            controls: layout.map(([selector, , , within]) => {
                const element = document.querySelector(selector);
                const rect = element.getBoundingClientRect();
                const origin = within ? document.querySelector(within).getBoundingClientRect() : box;
                return {
                    selector,
                    place: [rect.left - origin.left, rect.top - origin.top, rect.width, rect.height]
                        .map((v) => Math.round((v / scale) * 10) / 10),
                    colour: style(element).backgroundColor,
                    font: [style(element).fontFamily, style(element).fontSize],
                    // A frame's text is its legend's.
                    text: (element.querySelector('legend') ?? element).textContent,
                };
            }),
            // The work list's rows, each at its row of the box, as the box scrolls them.
            rows: (() => {
                const list = document.getElementById('List1_0');
                const top = list.getBoundingClientRect().top;
                return {
                    places: [...list.children].map((row) => Math.round(((row.getBoundingClientRect().top - top) / scale
                        + list.scrollTop) * 10) / 10),
                    heights: [...list.children].map((row) => Math.round((row.getBoundingClientRect().height / scale) * 10) / 10),
                    scrolls: style(list).overflowY === 'auto' && list.scrollHeight > list.clientHeight,
                };
            })(),
            caption: document.querySelector('title').textContent,
            lang: document.documentElement.lang,
            viewportMeta: document.querySelector('meta[name="viewport"]')?.content,
            logName: document.getElementById('Text1_0').getAttribute('aria-label'),
        };
    }, layout, formWidth);
}

function checkLayout(found) {
    assert.ok(Math.abs(found.form[2] - formWidth) < 0.5 && Math.abs(found.form[3] - formHeight) < 0.5, `form ${found.form}`);
    assert.equal(found.formColour, design.colour);
    for (const [i, [selector, place, colour, , text]] of layout.entries()) {
        const control = found.controls[i];
        assert.ok(control.place.every((v, k) => Math.abs(v - place[k]) <= 0.5),
            `${selector} at ${control.place}, not ${place}`);
        if (colour) {
            assert.equal(control.colour, colour, selector);
        }
        assert.deepEqual(control.font, font, selector);
        if (text) {
            assert.equal(control.text, text, selector);
        }
    }
    assert.deepEqual(found.rows, { places: titles.map((_, i) => 1 + 18 * i), heights: titles.map(() => 18), scrolls: true });
}

for (const name of browserNames) {
    describe(name, () => {
        let browser;
        before(async () => {
            browser = await launch(name);
        });
        after(() => browser?.close());

        // Over WebDriver, a page's WebAssembly cannot be held back from its first tag.
        for (const compileInBackgroundOnly of name === 'webkit' ? [false] : [false, true]) {
            const where = compileInBackgroundOnly ? ', in a browser that compiles only in the background' : '';
            test(`the worked sequence: two answers logged, the works gone${where}`, async () => {
                const opened = await open(browser, { compileInBackgroundOnly });
                const { page } = opened;
                await clickAuthor(page, 4);
                assert.equal((await state(page)).log, '', 'the first author pick empties the log');
                await clickWork(page, 'Антигона');
                await clickAuthor(page, 3);
                await clickWork(page, 'Медея');
                const now = await state(page);
                assert.equal(now.log, '\nВярно Софокъл:Антигона\n\nНевярно Омир:Медея\n');
                assert.deepEqual(now.rows, titles.filter((t) => t !== 'Антигона' && t !== 'Медея'));
                assert.equal(now.selected, -1);
                assert.equal(now.author, -1);
                await finish(opened);
            });
        }

        test('a work picked with no author is refused', async () => {
            const opened = await open(browser);
            const { page } = opened;
            const start = await state(page);
            await clickWork(page, 'Илиада');
            let now = await state(page);
            assert.deepEqual([now.rows, now.selected, now.log], [titles, -1, start.log]);
            assert.ok(now.status.join('\n').includes('Първо изберете автор.'), `live region: ${now.status}`);
            // After an answer the author is used up: the next work is refused as well.
            await clickAuthor(page, 3);
            await clickWork(page, 'Илиада');
            await clickWork(page, 'Облаци');
            now = await state(page);
            assert.deepEqual([now.log, now.rows.length, now.selected], [verdictLine(3, 'Илиада'), 8, -1]);
            await finish(opened);
        });

        test('all nine works answered, then restart brings them back', async () => {
            const opened = await open(browser);
            const { page } = opened;
            let expected = '';
            for (const [title, author] of master) {
                await clickAuthor(page, author);
                await clickWork(page, title);
                expected += verdictLine(author, title);
            }
            let now = await state(page);
            assert.deepEqual([now.rows, now.log], [[], expected]);
            await clickRestart(page);
            now = await state(page);
            assert.deepEqual([now.rows, now.log, now.author, now.selected], [titles, restartText, -1, -1]);
            assert.ok(now.status.join('\n').endsWith('Нов избор. Всички 9 произведения са отново в списъка.'),
                `live region: ${now.status}`);
            // A fresh round: the first author empties the log again.
            await clickAuthor(page, 0);
            await clickWork(page, 'Облаци');
            assert.equal((await state(page)).log, verdictLine(0, 'Облаци'));
            await finish(opened);
        });

        test('Tab goes log box, list, restart button, authors, and picks nothing', async () => {
            const opened = await open(browser);
            const { page } = opened;
            const start = await state(page);
            assert.equal(start.focus, 'Text1_0');
            assert.match(start.log, /^Тарвона, автори и произведения\n\n/);
            assert.deepEqual(start.logCaret, [0, 0], 'the statement is read from its top');
            const order = [];
            for (let i = 0; i < 3; ++i) {
                await page.keyboard.press('Tab');
                order.push((await state(page)).focus);
            }
            assert.deepEqual(order, ['List1_0', 'Command1_0', 'Option1_0']);
            // The list as a screen reader sees it: named by its heading, every row saying its
            // place, the count and that it is not selected; the first row has the cursor.
            const list = await page.evaluate(() => {
                const box = document.getElementById('List1_0');
                return {
                    role: box.getAttribute('role'),
                    name: document.getElementById(box.getAttribute('aria-labelledby')).textContent,
                    selects: document.querySelectorAll('select').length,
                    rows: [...box.children].map((row) => ['role', 'aria-posinset', 'aria-setsize', 'aria-selected', 'tabindex']
                        .map((name) => row.getAttribute(name)).join(' ')),
                };
            });
            assert.deepEqual(list, {
                role: 'listbox', name: 'Тарвона - произведения', selects: 0,
                rows: titles.map((_, i) => `option ${i + 1} 9 false ${i === 0 ? 0 : -1}`),
            });
            const now = await state(page);
            assert.deepEqual([now.rows, now.selected, now.author, now.log], [titles, -1, -1, start.log]);
            await finish(opened);
        });

        test('arrow keys and Space pick in both groups', async () => {
            const opened = await open(browser);
            const { page } = opened;
            const press = async (...keys) => {
                for (const key of keys) {
                    await page.keyboard.press(key);
                }
                return state(page);
            };
            const shiftTab = async (times) => {
                await page.keyboard.down('Shift');
                for (let i = 0; i < times; ++i) {
                    await page.keyboard.press('Tab');
                }
                await page.keyboard.up('Shift');
            };
            // In the author group, with none picked yet: an arrow key picks the author it lands on.
            let now = await press('Tab', 'Tab', 'Tab', 'ArrowDown');
            assert.deepEqual([now.focus, now.author, now.log], ['Option1_1', 1, '']);
            now = await press('ArrowUp');
            assert.deepEqual([now.focus, now.author], ['Option1_0', 0]);
            // In the list, Space answers the row under the cursor, the first one on entering.
            await shiftTab(2);
            now = await press(' ');
            let log = verdictLine(0, 'Антигона');
            assert.deepEqual([now.focus, now.log, now.rows, now.selected], ['List1_0', log, titles.slice(1), -1]);
            assert.deepEqual(now.marks, titles.slice(1).map((_, i) => `${i + 1} 8 false`));
            // With the author used up, Down is refused but moves the cursor on.
            now = await press('ArrowDown');
            assert.deepEqual([now.log, now.rows.length, now.selected], [log, 8, -1]);
            // Space in the group picks the author under the focus; Down then answers the next row.
            await press('Tab', 'Tab');
            now = await press(' ');
            assert.deepEqual([now.focus, now.author], ['Option1_0', 0]);
            await shiftTab(2);
            now = await press('ArrowDown');
            log += verdictLine(0, 'Жените в народното събрание');
            assert.equal(now.log, log);
            // End and Home answer the last and the first row.
            await press('Tab', 'Tab', 'ArrowDown');
            await shiftTab(2);
            now = await press('End');
            log += verdictLine(1, 'Прикованият Прометей');
            await press('Tab', 'Tab', 'ArrowDown', 'ArrowDown');
            await shiftTab(2);
            now = await press('Home');
            log += verdictLine(2, 'Едип цар');
            assert.deepEqual([now.log, now.rows], [log, ['Електра', 'Илиада', 'Медея', 'Облаци', 'Орестия']]);
            // Page Down goes four rows on, refused; a typed letter, small or capital, finds the
            // work it begins.
            now = await press('PageDown');
            assert.deepEqual([now.cursor, now.focusedRow, now.log], [4, 'Орестия', log]);
            await typeLetter(page, 'М');
            now = await state(page);
            assert.deepEqual([now.cursor, now.focusedRow, now.log], [2, 'Медея', log]);
            // Away to pick an author and back, the focus is on the cursor's row, which Space answers.
            await press('Tab', 'Tab', 'ArrowDown');
            await shiftTab(2);
            now = await state(page);
            assert.deepEqual([now.author, now.cursor, now.focusedRow], [1, 2, 'Медея']);
            now = await press(' ');
            log += verdictLine(1, 'Медея');
            assert.deepEqual([now.log, now.cursor, now.focusedRow], [log, 2, 'Облаци']);
            now = await press('PageUp');
            assert.deepEqual([now.cursor, now.focusedRow], [0, 'Електра']);
            await finish(opened);
        });

        test('the focus follows the cursor once the pick is told, each key held its full time',
            { skip: name === 'webkit' && 'over WebDriver, the page\'s timers cannot be taken over' }, async () => {
                const opened = await open(browser, { heldTimers: true });
                const { page } = opened;
                const held = async () => [await page.evaluate(() => window.tarvonaTimers.count()),
                    await state(page, { settle: false })];
                await page.keyboard.press('Tab');
                // A refused pick: the screen shows the cursor on the next row at once, and the
                // focus stays, until the hint has been told.
                await page.keyboard.press('ArrowDown');
                let [timers, now] = await held();
                assert.deepEqual([timers, now.cursor, now.focusedRow, now.status], [1, 1, 'Антигона', ['Първо изберете автор.']]);
                // The next key finds the focus where the cursor is, and holds it anew.
                await page.keyboard.press('ArrowDown');
                [timers, now] = await held();
                assert.deepEqual([timers, now.cursor, now.focusedRow], [1, 2, 'Едип цар']);
                await page.evaluate(() => window.tarvonaTimers.runAll());
                [timers, now] = await held();
                assert.deepEqual([timers, now.cursor, now.focusedRow], [0, 2, 'Електра']);
                await finish(opened);
            });

        test('layout, colours, font and caption as designed, scaled to the viewport', async () => {
            const opened = await open(browser, { width: 1280, height: 900 });
            let found;
            // As opened, again once the window is made narrow and tall, and at a phone's width
            // (or as narrow as the browser's window goes: MiniBrowser's, 447 px).
            for (const size of [[1280, 900], [600, 1000], [360, 640]]) {
                await opened.page.setViewport({ width: size[0], height: size[1] });
                found = await geometry(opened.page);
                checkLayout(found);
                const [width, height] = found.viewport;
                assert.ok(width <= Math.max(size[0], 447) && height <= size[1], `viewport ${found.viewport}`);
                const scale = Math.min(width / formWidth, height / formHeight);
                assert.ok(Math.abs(found.scale - scale) < 0.01, `scale ${found.scale}, not ${scale}`);
                assert.ok(Math.abs(found.form[0] - (width - formWidth * scale) / 2) <= 1, `centred: left ${found.form[0]}`);
                assert.ok(Math.abs(found.form[1] - (height - formHeight * scale) / 2) <= 1, `centred: top ${found.form[1]}`);
            }
            assert.deepEqual([found.caption, found.logName], [design.caption, design.logName]);
            assert.equal(found.lang, 'bg');
            await finish(opened);
        });

        test('a phone: the whole form fits, nothing scrolls sideways, taps play', { skip: name === 'webkit'
            && 'MiniBrowser has no touch screen, nor a window as narrow as a phone' }, async () => {
            const opened = await open(browser, { width: 360, height: 640, touch: true });
            const { page } = opened;
            const found = await geometry(page);
            checkLayout(found);
            assert.equal(found.viewportMeta, 'width=device-width, initial-scale=1');
            assert.ok(Math.abs(found.scale - 360 / formWidth) < 0.01, `scale ${found.scale}`);
            assert.ok(found.form[0] >= 0 && found.form[1] >= 0 && found.form[0] + formWidth * found.scale <= 360.5
                && found.form[1] + formHeight * found.scale <= 640.5, `form at ${found.form}`);
            assert.ok(found.scrollWidth <= 360, `scrollWidth ${found.scrollWidth}`);
            // Each work in view takes the tap at its place: with no author, it is refused, and
            // the cursor goes to it.
            const rowsInView = await page.evaluate(() => {
                const list = document.getElementById('List1_0').getBoundingClientRect();
                return [...document.querySelectorAll('#List1_0 [role="option"]')].map((row) => row.getBoundingClientRect())
                    .filter((row) => row.top >= list.top && row.bottom <= list.bottom)
                    .map((row) => [row.left + row.width / 2, row.top + row.height / 2]);
            });
            assert.equal(rowsInView.length, 5);
            for (const [i, [x, y]] of rowsInView.entries()) {
                await page.touchscreen.tap(x, y);
                const now = await state(page);
                assert.deepEqual([now.cursor, now.focusedRow, now.rows, now.status], [i, titles[i], titles,
                    [`Първо изберете автор.\n${titles[i]}`]]);
            }
            // A finger's drag over the list scrolls it and picks nothing. (Firefox scrolls by no
            // touch that a driver makes.)
            if (name === 'chrome') {
                const before = await state(page);
                const [x, y] = rowsInView[4];
                await page.touchscreen.touchStart(x, y);
                for (let step = 1; step <= 10; ++step) {
                    await page.touchscreen.touchMove(x, y - step * 6);
                }
                await page.touchscreen.touchEnd();
                const scrolled = await page.evaluate(() => document.getElementById('List1_0').scrollTop);
                assert.ok(scrolled > 0, `the list scrolled by ${scrolled}`);
                assert.deepEqual(await state(page), before);
            }
            await clickAuthor(page, 4, { tap: true });
            await clickWork(page, 'Прикованият Прометей', { tap: true });
            await clickRestart(page, { tap: true });
            await clickAuthor(page, 2, { tap: true });
            await clickWork(page, 'Прикованият Прометей', { tap: true });
            const now = await state(page);
            assert.deepEqual([now.log, now.rows.length], [verdictLine(2, 'Прикованият Прометей'), 8]);
            await finish(opened);
        });

        test('served over HTTP with a strict Content-Security-Policy', async () => {
            const served = [];
            const server = createServer((request, response) => {
                served.push(request.url);
                response.writeHead(200, {
                    'Content-Type': 'text/html; charset=utf-8',
                    'Content-Security-Policy': "default-src 'none'; script-src 'unsafe-inline' 'wasm-unsafe-eval'; "
                        + "style-src 'unsafe-inline'; img-src data:",
                });
                response.end(readFileSync(pagePath));
            });
            await new Promise((done) => server.listen(0, '127.0.0.1', done));
            try {
                const opened = await open(browser, { url: `http://127.0.0.1:${server.address().port}/tarvona.html` });
                await clickAuthor(opened.page, 1);
                await clickWork(opened.page, 'Медея');
                assert.equal((await state(opened.page)).log, verdictLine(1, 'Медея'));
                await finish(opened);
                assert.deepEqual(served, ['/tarvona.html']);
            } finally {
                server.close();
            }
        });
    });
}
