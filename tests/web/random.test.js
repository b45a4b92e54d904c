// Thousands of random clicks and key presses on the page in Chromium, each also given as the
// pick it stands for to the engine's own form (tarvona_model_replay); after every step the list,
// the picked author and the log must agree. The pick a key stands for comes from this test's
// own record of the focus and of the list's cursor, never from the page's reaction, so a page
// that answers the wrong row shows as a mismatch. TARVONA_WEB_SEED repeats a run,
// TARVONA_WEB_STEPS sets its length.
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { createInterface } from 'node:readline';
import { test } from 'node:test';
import { centreOf, finish, launch, open, replayPath, shown, state, typeLetter } from './lib.js';

const steps = Number(process.env.TARVONA_WEB_STEPS ?? 10000);
const seed = Number(process.env.TARVONA_WEB_SEED ?? Math.floor(Math.random() * 2 ** 31));

// mulberry32: small, and the same sequence from the same seed everywhere.
function generator(start) {
    let a = start >>> 0;
    return (n) => {
        a = (a + 0x6d2b79f5) >>> 0;
        let t = a;
        t = Math.imul(t ^ (t >>> 15), t | 1);
        t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
        return Math.floor((((t ^ (t >>> 14)) >>> 0) / 4294967296) * n);
    };
}

// The engine's form behind its line protocol: one JSON line of state per line sent.
function startReplay() {
    const child = spawn(replayPath, [], { stdio: ['pipe', 'pipe', 'inherit'] });
    const lines = createInterface({ input: child.stdout })[Symbol.asyncIterator]();
    const read = async () => {
        const { value, done } = await lines.next();
        assert.ok(!done, 'the model ended early');
        const answer = JSON.parse(value);
        assert.equal(answer.error, undefined);
        return answer;
    };
    return {
        read,
        send(line) {
            child.stdin.write(`${line}\n`);
            return read();
        },
        stop: () => child.stdin.end(),
    };
}

// The stops of the Tab order; the author group is one stop, entered at its picked author.
const stops = ['Text1_0', 'List1_0', 'Command1_0', 'authors'];

test(`${steps} random steps agree with the engine (seed ${seed})`, async (t) => {
    t.diagnostic(`seed ${seed} (TARVONA_WEB_SEED=${seed} repeats this run)`);
    const below = generator(seed);
    const browser = await launch('chrome');
    const replay = startReplay();
    try {
        const opened = await open(browser);
        const { page, seen } = opened;
        let model = await replay.read();
        let focus = 'Text1_0';
        let cursor = 0; // the list's cursor, -1 while the list is empty
        let focusedAuthor = 0;
        // Letters typed in the list find a row together while they come within a second of each
        // other, with no other key of the list's between; the page counts by its events' time,
        // so a letter that comes close to the second is held until it is surely past it.
        let typed = '';
        let typedAt = -Infinity;
        const history = [];

        const pick = async (line) => {
            const count = model.rows.length;
            model = await replay.send(line);
            if (line.startsWith('work ')) {
                // The cursor stays where the pick was, on the next row when the work has gone.
                const row = Number(line.slice(5));
                cursor = model.rows.length < count ? Math.min(row, model.rows.length - 1) : row;
            } else if (line === 'restart') {
                cursor = 0;
                typed = '';
            }
        };
        const enter = (stop) => {
            focus = stop;
            if (stop === 'authors') {
                focusedAuthor = model.author >= 0 ? model.author : 0;
            }
        };
        const press = (key) => page.keyboard.press(key);
        const tabTo = async (stop) => {
            const from = stops.indexOf(focus);
            const to = stops.indexOf(stop);
            if (from === to) {
                return;
            }
            if (to < from) {
                await page.keyboard.down('Shift');
            }
            for (let i = from; i !== to; i += Math.sign(to - from)) {
                await press('Tab');
                enter(stops[i + Math.sign(to - from)]);
            }
            if (to < from) {
                await page.keyboard.up('Shift');
            }
        };
        // The controls stay where they are, so only a row's place is asked for each time.
        const places = new Map();
        const click = async (selector, row = -1) => {
            if (row >= 0 || !places.has(selector)) {
                places.set(selector, await centreOf(page, selector, row));
            }
            const { x, y } = places.get(selector);
            await page.mouse.click(x, y);
        };

        const actions = [
            async () => {
                const author = below(5);
                history.push(`click author ${author}`);
                await click(`#Option1_${author}`);
                focus = 'authors';
                focusedAuthor = author;
                await pick(`author ${author}`);
            },
            async () => {
                const count = model.rows.length;
                if (count === 0) {
                    history.push('click the empty list');
                    await click('#List1_0');
                    focus = 'List1_0';
                    return;
                }
                const row = below(count);
                history.push(`click work ${row} (${model.rows[row]})`);
                await click('#List1_0', row);
                focus = 'List1_0';
                await pick(`work ${row}`);
            },
            async () => {
                history.push('click restart');
                await click('#Command1_0');
                focus = 'Command1_0';
                await pick('restart');
            },
            async () => {
                await tabTo('List1_0');
                const key = ['ArrowDown', 'ArrowUp', 'Home', 'End', 'PageDown', 'PageUp', 'Space'][below(7)];
                history.push(`${key} in the list at row ${cursor}`);
                await press(key === 'Space' ? ' ' : key);
                typed = '';
                const last = model.rows.length - 1;
                if (last < 0) {
                    return;
                }
                const target = {
                    ArrowDown: cursor + 1, ArrowUp: cursor - 1, Home: 0, End: last, PageDown: cursor + 4, PageUp: cursor - 4,
                }[key];
                if (key === 'Space') {
                    await pick(`work ${cursor}`);
                } else if (Math.min(Math.max(target, 0), last) !== cursor) {
                    await pick(`work ${Math.min(Math.max(target, 0), last)}`);
                }
            },
            async () => {
                // A letter that begins a title, or one that goes on from one ("ел", "ед").
                await tabTo('List1_0');
                const letter = ['а', 'е', 'ж', 'и', 'м', 'о', 'п', 'л', 'д', 'я'][below(10)];
                let since = performance.now() - typedAt;
                if (since > 800 && since < 1300) {
                    await new Promise((later) => setTimeout(later, 1300 - since));
                    since = 1300;
                }
                history.push(`${letter} typed in the list at row ${cursor}${since < 1000 ? ` after "${typed}"` : ''}`);
                await typeLetter(page, letter);
                typedAt = performance.now();
                typed = since < 1000 ? typed + letter : letter;
                const count = model.rows.length;
                const repeated = [...typed].every((c) => c === typed[0]);
                const sought = repeated ? typed[0] : typed;
                for (let k = 0; k < count; ++k) {
                    const row = ((repeated ? cursor + 1 : cursor) + k) % count;
                    if (model.rows[row].toLowerCase().startsWith(sought)) {
                        if (row !== cursor) {
                            await pick(`work ${row}`);
                        }
                        break;
                    }
                }
            },
            async () => {
                await tabTo('authors');
                const key = ['ArrowDown', 'ArrowUp', 'ArrowRight', 'ArrowLeft', 'Home', 'End', 'Space'][below(7)];
                history.push(`${key} in the authors at ${focusedAuthor}`);
                await press(key === 'Space' ? ' ' : key);
                // The browser's radio group wraps around at its ends; Home and End do nothing.
                const step = { ArrowDown: 1, ArrowRight: 1, ArrowUp: 4, ArrowLeft: 4, Space: 0 }[key];
                if (step !== undefined) {
                    focusedAuthor = (focusedAuthor + step) % 5;
                    await pick(`author ${focusedAuthor}`);
                }
            },
            async () => {
                const at = stops.indexOf(focus);
                const to = at === 0 ? 1 : at === stops.length - 1 ? at - 1 : at + (below(2) === 0 ? 1 : -1);
                history.push(`Tab to ${stops[to]}`);
                await tabTo(stops[to]);
            },
            async () => {
                history.push('click the log box');
                await click('#Text1_0');
                focus = 'Text1_0';
            },
        ];
        const weights = [3, 3, 1, 3, 1, 2, 2, 1];
        const table = weights.flatMap((weight, i) => Array(weight).fill(actions[i]));

        const started = performance.now();
        for (let step = 0; step < steps; ++step) {
            await table[below(table.length)]();
            // Keys come as fast as the browser takes them, even while the focus waits to
            // follow the cursor after a pick; the screen shows every change at once.
            const now = await state(page, { settle: false });
            const expected = {
                rows: model.rows,
                selected: -1,
                cursor: model.rows.length === 0 ? -1 : cursor,
                author: model.author,
                log: shown(model.log),
                focus: focus === 'authors' ? `Option1_${focusedAuthor}` : focus,
            };
            const found = {
                rows: now.rows, selected: now.selected, cursor: now.cursor, author: now.author, log: now.log,
                focus: now.focus,
            };
            assert.deepEqual(found, expected,
                `step ${step} of seed ${seed}, after:\n  ${history.slice(-8).join('\n  ')}\n`);
            // Now and then, once the focus has followed the cursor: it is on the cursor's row.
            if (step % 250 === 249 && focus === 'List1_0' && model.rows.length > 0) {
                assert.equal((await state(page)).focusedRow, model.rows[cursor], `step ${step} of seed ${seed}`);
            }
            assert.deepEqual(seen.errors, []);
            if (history.length > 100) {
                history.splice(0, 50);
            }
        }
        assert.deepEqual((await state(page)).rows, model.rows);
        t.diagnostic(`${steps} steps in ${((performance.now() - started) / 1000).toFixed(1)} s`);
        await finish(opened);
    } finally {
        replay.stop();
        await browser.close();
    }
});
