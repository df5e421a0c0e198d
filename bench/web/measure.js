// Times the browser page in Debian's chromium, headless, opened from its
// folder: the example from the drop to the result on screen, and a large
// file; prints one line of JSON. Run by bench/web.sh, which passes the
// page's folder and the large file.
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const {pathToFileURL} = require('node:url');
const {chromium} = require(path.resolve(__dirname, '../../tests/web/node_modules/playwright-core'));

const [pageFolder, example, large, repeats] = process.argv.slice(2);

async function timeCheck(page, file) {
    const before = await page.evaluate(() => self.morvanePage.checked());
    await page.setInputFiles('#file', file);
    await page.waitForFunction((previous) => self.morvanePage.checked() !== previous &&
                                             self.morvanePage.milliseconds() !== null,
                               before, {timeout: 600000, polling: 50});
    await page.waitForFunction(() => !document.body.classList.contains('busy'));
    const ms = await page.evaluate(() => self.morvanePage.milliseconds());
    await page.evaluate(() => self.morvanePage.checked().points);
    return ms;
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

(async () => {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'morvane-bench-'));
    const context = await chromium.launchPersistentContext(profile, {
        executablePath: '/usr/bin/chromium', headless: true,
        args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
               '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    });
    try {
        const page = await context.newPage();
        let loaded = 0;
        page.on('requestfinished', async (request) => {
            const response = await request.response();
            if (response)
                loaded += (await response.body()).length;
        });
        const loadStart = Date.now();
        await page.goto(pathToFileURL(path.join(pageFolder, 'index.html')).href);
        await page.waitForLoadState('load');
        const loadMs = Date.now() - loadStart;
        const first = await timeCheck(page, example);
        const again = [];
        for (let i = 0; i < Number(repeats); ++i)
            again.push(await timeCheck(page, example));
        const largeRuns = [];
        for (let i = 0; i < 3; ++i)
            largeRuns.push(await timeCheck(page, large));
        const points = await page.evaluate(() => self.morvanePage.checked().units[0].points);
        console.log(JSON.stringify({firstLoadBytes: loaded, loadMs, exampleFirstMs: first,
                                    exampleMedianMs: median(again), largeMedianMs: median(largeRuns),
                                    largePoints: points}));
    } finally {
        await context.close();
        fs.rmSync(profile, {recursive: true, force: true});
    }
})().catch((error) => {
    console.error(error);
    process.exit(1);
});
