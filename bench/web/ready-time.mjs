// Times pages from navigation start to the form being ready for its first click in headless
// Chromium: #Tarvona[aria-busy="false"] in a document parsed to its end (a page whose form is
// marked ready from the start would count from its first tag otherwise). The moment is taken
// inside the page, by performance.now() (which counts from navigation start) in a
// MutationObserver and a readystatechange listener installed before the page's own scripts,
// which run right after the change. Each load is in a fresh tab; the pages alternate, after one
// unmeasured load each.
// Usage: node ready-time.mjs RUNS PAGE...   prints one line per page: PATH ms ms ms...
import { pathToFileURL } from 'node:url';
import { resolve } from 'node:path';
import { launch } from '../../tests/web/lib.js';

const [runs, ...pages] = process.argv.slice(2);
const browser = await launch('chrome');

async function readyTime(path) {
    const page = await browser.newPage();
    await page.evaluateOnNewDocument(() => {
        const ready = () => {
            if (window.tarvonaReadyAt === undefined && document.readyState !== 'loading'
                && document.querySelector('#Tarvona[aria-busy="false"]')) {
                window.tarvonaReadyAt = performance.now();
            }
        };
        document.addEventListener('readystatechange', ready);
        new MutationObserver(ready).observe(document, {
            subtree: true, childList: true, attributes: true, attributeFilter: ['aria-busy'],
        });
    });
    await page.goto(pathToFileURL(resolve(path)).href);
    await page.waitForFunction(() => window.tarvonaReadyAt !== undefined, { timeout: 20000 });
    const ms = await page.evaluate(() => window.tarvonaReadyAt);
    await page.close();
    return ms;
}

try {
    const times = pages.map(() => []);
    for (const path of pages) {
        await readyTime(path);
    }
    for (let run = 0; run < Number(runs); ++run) {
        for (const [i, path] of pages.entries()) {
            times[i].push(await readyTime(path));
        }
    }
    for (const [i, path] of pages.entries()) {
        console.log(path, ...times[i].map((ms) => ms.toFixed(1)));
    }
} finally {
    await browser.close();
}
