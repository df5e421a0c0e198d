// The browser page in Debian's chromium, headless, opened from its folder as
// a user opens it: what it shows and saves must be what morvane-check (the
// Linux build of the same core) prints, and it must ask for nothing beyond
// its own files. scripts/test-web.sh runs it with MORVANE_WEB_PAGE (the built
// page's folder) and MORVANE_CHECK (the native morvane-check).
// The map sheet is tests/data/12103-0400-76.zip: 「登記所備付地図データ」（法務省）,
// credited in tests/data/SOURCES.md.
'use strict';

const {test, before, after} = require('node:test');
const assert = require('node:assert/strict');
const {execFileSync, spawnSync} = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const {pathToFileURL} = require('node:url');
const {chromium} = require('playwright-core');

const root = path.resolve(__dirname, '../..');
const pageFolder = path.resolve(process.env.MORVANE_WEB_PAGE);
const check = path.resolve(process.env.MORVANE_CHECK);
const sample = path.join(root, 'examples/sample.sim');
const sheetZip = path.join(root, 'tests/data/12103-0400-76.zip');

let context;
let work;
// Every request any page made: the test of "nothing leaves the machine".
const requests = [];

function native(args) {
    const run = spawnSync(check, args, {encoding: 'buffer'});
    return {stdout: run.stdout, stderr: run.stderr.toString('utf8'), status: run.status};
}

async function openPage(url = pathToFileURL(path.join(pageFolder, 'index.html')).href) {
    const page = await context.newPage();
    page.on('request', (request) => requests.push(request.url()));
    const errors = [];
    page.on('pageerror', (error) => errors.push(error.message));
    page.errors = errors;
    await page.goto(url);
    return page;
}

async function checkFiles(page, files, band = {}) {
    if (band.lower !== undefined)
        await page.fill('#lower', band.lower);
    if (band.tolerance !== undefined)
        await page.fill('#tolerance', band.tolerance);
    const before = await page.evaluate(() => self.morvanePage.checked());
    await page.setInputFiles('#file', files);
    if (band.refused)
        await page.waitForSelector('.notice');
    else
        await page.waitForFunction((previous) => self.morvanePage.checked() !== previous &&
                                                 !document.body.classList.contains('busy'),
                                   before, {timeout: 60000});
}

async function download(page, button) {
    const [saved] = await Promise.all([page.waitForEvent('download'), page.click(button)]);
    return fs.readFileSync(await saved.path());
}

before(async () => {
    work = fs.mkdtempSync(path.join(os.tmpdir(), 'morvane-web-'));
    // A new, empty profile, and nothing of chromium's own that would go out.
    context = await chromium.launchPersistentContext(path.join(work, 'profile'), {
        executablePath: process.env.MORVANE_CHROMIUM || '/usr/bin/chromium',
        headless: true,
        acceptDownloads: true,
        args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
               '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    });
});

after(async () => {
    await context?.close();
    fs.rmSync(work, {recursive: true, force: true});
});

test('the example gives the report, text file and CSV of morvane-check, byte for byte', async () => {
    const page = await openPage();
    await checkFiles(page, sample);
    const shown = await page.textContent('#result');
    assert.equal(shown, native([sample]).stdout.toString('utf8'));
    assert.deepEqual(await download(page, '#save-text'), native(['--crlf', sample]).stdout);
    // The page names the file as the user chose it: by its name alone.
    const csv = spawnSync(check, ['--format', 'csv', 'sample.sim'],
                          {cwd: path.dirname(sample), encoding: 'buffer'}).stdout;
    assert.deepEqual(await download(page, '#save-csv'), csv);
    assert.equal(await page.textContent('#title'), 'sample.sim（25点）較差 0 ≤ d < 0.05 m');
    assert.equal(await page.locator('#findings tbody tr').count(), 7);
    assert.deepEqual(page.errors, []);
    await page.close();
});

test('a band that is not a number is refused with the window\'s message, and checks nothing', async () => {
    const page = await openPage();
    for (const [field, text, message] of [
        ['#lower', '0,05', '較差の下限「0,05」を数値として読めません。'],
        ['#tolerance', '', '較差が入力されていません。'],
        ['#tolerance', '５ｃｍ', '較差「５ｃｍ」を数値として読めません。'],
    ]) {
        await page.fill('#lower', '0');
        await page.fill('#tolerance', '0.05');
        await page.fill(field, text);
        await checkFiles(page, sample, {refused: true});
        assert.equal(await page.textContent('.notice'), message);
        assert.equal(await page.getAttribute(field, 'aria-invalid'), 'true');
        assert.equal(await page.evaluate(() => document.activeElement.id), field.slice(1));
        assert.equal(await page.isHidden('#outcome'), true);
    }
    // Out of the range, the tolerance becomes 0.05, as in the window.
    await checkFiles(page, sample, {lower: '0', tolerance: '12'});
    assert.equal(await page.inputValue('#tolerance'), '0.05');
    await page.close();
});

test('a bad file says what the command line says of it, and gets no report', async () => {
    const bad = path.join(root, 'tests/corpus/inputs/cut-after-x.sim');
    const said = native([bad]);
    assert.equal(said.status, 2);
    // "morvane-check: FILE:LINE: message": the message, after the place.
    const message = said.stderr.trim().split(`${bad}:5: `)[1];
    const page = await openPage();
    await checkFiles(page, bad);
    // The window's line breaks, as the command line gives them: one space.
    const notice = (await page.textContent('.notice.error')).replace(/\s*\n+\s*/g, ' ');
    assert.ok(notice.startsWith(message), `${notice} / ${message}`);
    assert.match(notice, /cut-after-x\.sim　5 行目/);
    assert.equal(await page.textContent('#result'), '');
    await page.close();
});

test('a ZIP of sheets gives each sheet the report morvane-check gives it, and GeoJSON in its zone',
     async () => {
    // Two sheets in one archive: the real one, and the same under another name.
    const zip = path.join(work, 'sheets.zip');
    execFileSync('python3', ['-c', `
import sys, zipfile
sheet = zipfile.ZipFile(sys.argv[1]).read('12103-0400-76.xml')
with zipfile.ZipFile(sys.argv[2], 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('a/one.xml', sheet)
    z.writestr('two.xml', sheet)
`, sheetZip, zip]);
    const band = ['--lower', '0', '--tolerance', '2'];
    const one = native([...band, sheetZip]).stdout.toString('utf8').replace(/\n/g, '\r\n');
    const page = await openPage();
    await checkFiles(page, zip, {lower: '0', tolerance: '2'});
    const checked = await page.evaluate(() => self.morvanePage.checked());
    assert.deepEqual(checked.units.map((u) => [u.name, u.zone, u.points]),
                     [['sheets.zip:a/one.xml', 9, 610], ['sheets.zip:two.xml', 9, 610]]);
    const blank = one.endsWith('\r\n\r\n') ? '' : '\r\n';
    assert.equal(checked.text, `■ sheets.zip:a/one.xml\r\n${one}${blank}■ sheets.zip:two.xml\r\n${one}`);

    // proj4js places the findings where PROJ does, to a millionth of a metre or so.
    const geo = JSON.parse((await download(page, '#save-geojson')).toString('utf8'));
    const expected = JSON.parse(native([...band, '--format', 'geojson', sheetZip]).stdout.toString('utf8'));
    assert.ok(expected.features.length > 0);
    assert.equal(geo.features.length, 2 * expected.features.length);
    expected.features.forEach((feature, i) => {
        const got = geo.features[i];
        assert.deepEqual({...got.properties, file: ''}, {...feature.properties, file: ''});
        const flat = (g) => g ? [g.coordinates].flat(2) : [];
        const a = flat(got.geometry), b = flat(feature.geometry);
        assert.equal(a.length, b.length);
        a.forEach((value, k) => assert.ok(Math.abs(value - b[k]) < 1e-10, `${value} ${b[k]}`));
    });
    await page.close();
});

test('"too many findings": stop keeps the first run, go on runs again to the end', async () => {
    // 1,100 points of one name, a metre apart: the name check asks after 1,001.
    const many = path.join(work, 'many.sim');
    const lines = ['G00,01,many,'];
    for (let i = 1; i <= 1100; ++i)
        lines.push(`A01,${i},P,${i}.000,0.000,0.000,`);
    fs.writeFileSync(many, lines.join('\r\n') + '\r\n');
    const page = await openPage();
    for (const [answer, findings] of [['はい', 1001], ['いいえ', 1099]]) {
        await page.setInputFiles('#file', many);
        await page.waitForSelector('#question[open]');
        assert.equal(await page.textContent('#question-text'), '同一名称が多すぎます。処理を中止しますか？');
        await page.click(`#question button:text("${answer}")`);
        await page.waitForFunction(() => !document.body.classList.contains('busy'));
        const checked = await page.evaluate(() => self.morvanePage.checked());
        assert.equal(checked.table.count, findings);
        const tooMany = native(['--on-too-many', answer === 'はい' ? 'stop' : 'continue', many]);
        assert.equal(checked.text.replace(/\r\n/g, '\n'), tooMany.stdout.toString('utf8'));
    }
    await page.close();
});

test('the print goes through the browser with the core\'s pages and footer', async () => {
    const page = await openPage();
    await checkFiles(page, sample);
    await page.evaluate(() => { window.print = () => { self.printed = true; }; });
    await page.click('#print');
    await page.waitForFunction(() => self.printed);
    const sheets = await page.$$eval('#print-pages .sheet', (all) => all.map((s) => s.innerText));
    assert.equal(sheets.length, 1);
    assert.match(sheets[0], /同一名称/);
    assert.match(sheets[0], /sample\.sim　較差 0 から 0\.05 m　\d{4}-\d\d-\d\d \d\d:\d\d　1 \/ 1/);
    await page.close();
});

test('served by a plain static host, the page works the same', async () => {
    const server = require('node:http').createServer((request, response) => {
        const file = path.join(pageFolder, decodeURIComponent(new URL(request.url, 'http://x').pathname));
        if (!file.startsWith(pageFolder) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
            response.writeHead(404).end();
            return;
        }
        const types = {'.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css'};
        response.writeHead(200, {'content-type': types[path.extname(file)] || 'application/octet-stream'});
        response.end(fs.readFileSync(file));
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    const base = `http://127.0.0.1:${server.address().port}/`;
    try {
        const page = await openPage(`${base}index.html`);
        await checkFiles(page, sample);
        assert.equal(await page.textContent('#result'), native([sample]).stdout.toString('utf8'));
        await page.close();
    } finally {
        server.close();
    }
    // Last: every request of every test was for the page's own files (or
    // the blobs it made of them), from its folder or from the local host.
    const own = [pathToFileURL(pageFolder).href + '/', base, 'blob:'];
    const foreign = requests.filter((url) => !own.some((prefix) => url.startsWith(prefix)));
    assert.deepEqual(foreign, []);
    assert.ok(requests.length > 0);
});
