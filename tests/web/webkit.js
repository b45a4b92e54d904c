// WebKitGTK, the engine of Safari, driven over WebDriver: Debian's WebKitWebDriver starts the
// MiniBrowser that WebKitGTK ships, on a private Xvfb display, and takes real pointer and key
// actions. What the browser tests ask of a browser is given here in the shape puppeteer gives
// it for Chromium and Firefox (newPage, goto, evaluate, waitForFunction, mouse, keyboard,
// setViewport, screenshot), so that the same tests play in all three.
import { spawn } from 'node:child_process';
import { existsSync, readdirSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:net';

// WebKitGTK's library folder, which holds MiniBrowser, is named by the machine's architecture.
const miniBrowser = process.env.MINIBROWSER ?? readdirSync('/usr/lib').map((dir) => `/usr/lib/${dir}/webkit2gtk-4.1/MiniBrowser`)
    .find(existsSync);

// WebDriver's codes for the keys the tests press; a character stands for itself.
const keyCodes = {
    Tab: '\uE004', Enter: '\uE007', Shift: '\uE008', Escape: '\uE00C', PageUp: '\uE00E', PageDown: '\uE00F',
    End: '\uE010', Home: '\uE011', ArrowLeft: '\uE012', ArrowUp: '\uE013', ArrowRight: '\uE014', ArrowDown: '\uE015',
};
const keyCode = (key) => keyCodes[key] ?? key;

function freePort() {
    return new Promise((found, failed) => {
        const server = createServer().once('error', failed).listen(0, '127.0.0.1', () => {
            const { port } = server.address();
            server.close(() => found(port));
        });
    });
}

// Xvfb picks a free display and tells its number once it takes clients.
function startDisplay() {
    const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp', '-noreset'],
        { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
    return new Promise((started, failed) => {
        xvfb.once('error', failed);
        xvfb.stdio[3].once('data', (data) => started({ xvfb, display: `:${String(data).trim()}` }));
    });
}

class Page {
    constructor(browser, session) {
        this.browser_ = browser;
        this.session = session;
        this.listeners = { console: [], pageerror: [] };
        this.mouse = { click: (x, y) => this.click(x, y) };
        this.keyboard = {
            press: (key) => this.keys([{ type: 'keyDown', value: keyCode(key) }, { type: 'keyUp', value: keyCode(key) }]),
            down: (key) => this.keys([{ type: 'keyDown', value: keyCode(key) }]),
            up: (key) => this.keys([{ type: 'keyUp', value: keyCode(key) }]),
        };
    }

    call(method, path, body) {
        return this.browser_.call(method, `/session/${this.session}${path}`, body);
    }

    browser() {
        return this.browser_;
    }

    // The driver tells of no console message and no request. The page's errors are watched
    // from the moment it has loaded (one at its start leaves the form busy, which the tests
    // wait on) and told to the console's listeners when the page closes.
    on(type, listener) {
        this.listeners[type]?.push(listener);
    }

    async goto(url) {
        await this.call('POST', '/url', { url });
        await this.evaluate(() => {
            window.tarvonaErrors = [];
            const error = console.error;
            console.error = (...args) => {
                window.tarvonaErrors.push(args.join(' '));
                error(...args);
            };
            addEventListener('error', (event) => window.tarvonaErrors.push(`page: ${event.message}`));
            addEventListener('unhandledrejection', (event) => window.tarvonaErrors.push(`page: ${event.reason}`));
        });
    }

    // The function runs in the page with the arguments given, as puppeteer's evaluate does; it
    // may return a promise.
    async evaluate(fn, ...args) {
        const script = `const done = arguments[arguments.length - 1];
            Promise.resolve().then(() => (${fn}).apply(null, [...arguments].slice(0, -1)))
                .then((value) => done({ value }), (error) => done({ error: String(error?.stack ?? error) }));`;
        const result = await this.call('POST', '/execute/async', { script, args });
        if (result.error !== undefined) {
            throw new Error(`in the page: ${result.error}`);
        }
        return result.value;
    }

    async waitForFunction(fn, { timeout = 30000 } = {}, ...args) {
        const deadline = Date.now() + timeout;
        for (;;) {
            if (await this.evaluate(fn, ...args)) {
                return;
            }
            if (Date.now() > deadline) {
                throw new Error(`waited ${timeout} ms for ${fn}`);
            }
            await new Promise((later) => setTimeout(later, 20));
        }
    }

    waitForSelector(selector, options) {
        return this.waitForFunction((s) => document.querySelector(s) !== null, options, selector);
    }

    // The window is made the size that gives the viewport asked for, as far as the browser
    // lets it: MiniBrowser's window is never narrower than its toolbar.
    async setViewport({ width, height }) {
        await this.call('POST', '/window/rect', { width, height });
        const [innerWidth, innerHeight] = await this.evaluate(() => [innerWidth, innerHeight]);
        const rect = await this.call('GET', '/window/rect');
        await this.call('POST', '/window/rect',
            { width: rect.width + width - innerWidth, height: rect.height + height - innerHeight });
    }

    click(x, y) {
        return this.call('POST', '/actions', {
            actions: [{
                type: 'pointer', id: 'mouse', parameters: { pointerType: 'mouse' },
                actions: [{ type: 'pointerMove', x: Math.round(x), y: Math.round(y), origin: 'viewport' },
                    { type: 'pointerDown', button: 0 }, { type: 'pointerUp', button: 0 }],
            }],
        });
    }

    keys(actions) {
        return this.call('POST', '/actions', { actions: [{ type: 'key', id: 'keyboard', actions }] });
    }

    // A screenshot taken before the browser has drawn a frame comes back blank or stale.
    async screenshot({ path }) {
        await this.evaluate(() => new Promise((drawn) => requestAnimationFrame(() => requestAnimationFrame(drawn))));
        writeFileSync(path, Buffer.from(await this.call('GET', '/screenshot'), 'base64'));
    }

    async close() {
        this.browser_.page = undefined;
        const errors = await this.evaluate(() => window.tarvonaErrors ?? []).catch((error) => [String(error)]);
        for (const text of errors) {
            for (const listener of this.listeners.console) {
                listener({ type: () => 'error', text: () => text });
            }
        }
        await this.call('DELETE', '');
    }
}

class Browser {
    constructor(display, driver, port) {
        this.display = display;
        this.driver = driver;
        this.base = `http://127.0.0.1:${port}`;
        this.page = undefined;
    }

    async call(method, path, body) {
        const response = await fetch(this.base + path, {
            method, headers: { 'Content-Type': 'application/json' }, body: body && JSON.stringify(body),
        });
        const answer = await response.json();
        if (!response.ok) {
            throw new Error(`WebDriver ${method} ${path}: ${JSON.stringify(answer.value)}`);
        }
        return answer.value;
    }

    // Each page is a session of its own, with a browser of its own; one at a time.
    async newPage() {
        // A test that failed may have left its page open.
        await this.page?.close().catch(() => {});
        const { sessionId } = await this.call('POST', '/session', {
            capabilities: {
                alwaysMatch: {
                    'webkitgtk:browserOptions': {
                        binary: miniBrowser, args: ['--automation'],
                    },
                },
            },
        });
        this.page = new Page(this, sessionId);
        return this.page;
    }

    async close() {
        await this.page?.close().catch(() => {});
        this.driver.kill();
        this.display.kill();
    }
}

export async function launchWebKit() {
    const { xvfb, display } = await startDisplay();
    const port = await freePort();
    const driver = spawn(process.env.WEBKIT_WEBDRIVER ?? 'WebKitWebDriver', [`--port=${port}`],
        { env: { ...process.env, DISPLAY: display }, stdio: 'ignore' });
    const browser = new Browser(xvfb, driver, port);
    for (let tries = 0; ; ++tries) {
        try {
            if ((await browser.call('GET', '/status')).ready) {
                return browser;
            }
        } catch (error) {
            if (tries > 100) {
                await browser.close();
                throw error;
            }
        }
        await new Promise((later) => setTimeout(later, 50));
    }
}
