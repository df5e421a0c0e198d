// The page: hands the files and the band to the worker (the programs' core,
// compiled to WebAssembly), and shows what the run gives back as the window
// shows it: the result text, the findings, the plot; then saves and prints
// what the core writes. Nothing here decides or formats a finding.
'use strict';

// The events of src/web/PageEvents.h, in order.
const Event = {Status: 0, RefusedLower: 1, RefusedTolerance: 2, ToleranceSet: 3, Message: 4,
               Error: 5, Question: 6, UnitStarting: 7};
const Kinds = {duplicate_name: '同一名称', coincident_point: '同一座標値', duplicate_number: '同一点番号'};
// More rows would only slow the page; the downloads hold them all.
const MaxTableRows = 5000;
const $ = (id) => document.getElementById(id);

const worker = new Worker(URL.createObjectURL(
    new Blob([self.morvaneWorkerSource], {type: 'text/javascript'})));
let nextId = 1;
const waiting = new Map();
// What the running check has heard: its questions, its notices.
let heard = null;
let checked = null;
const plot = new MorvanePlot($('plot'));

worker.onmessage = (message) => {
    const reply = message.data;
    if (reply.type === 'event') {
        heardEvent(reply);
        return;
    }
    const done = waiting.get(reply.id);
    waiting.delete(reply.id);
    if (reply.type === 'failed')
        done.reject(new Error(reply.message));
    else
        done.resolve(reply);
};

function ask(request, transfer = []) {
    request.id = nextId++;
    return new Promise((resolve, reject) => {
        waiting.set(request.id, {resolve, reject});
        worker.postMessage(request, transfer);
    });
}

function heardEvent(e) {
    switch (e.event) {
    case Event.Status:
        $('status').textContent = e.text.trim();
        break;
    case Event.UnitStarting:
        heard.units += 1;
        $('status').textContent = `${heard.units}: ${e.text}`;
        break;
    case Event.RefusedLower:
    case Event.RefusedTolerance: {
        const field = e.event === Event.RefusedLower ? $('lower') : $('tolerance');
        notice(e.text, 'refused');
        field.setAttribute('aria-invalid', 'true');
        field.focus();
        field.select();
        break;
    }
    case Event.ToleranceSet:
        $('tolerance').value = e.text;
        break;
    case Event.Message:
        heard.notices.push({text: e.text, kind: 'message'});
        break;
    case Event.Error:
        heard.notices.push({text: e.detail ? `${e.text}\n${e.detail}` : e.text, kind: 'error'});
        break;
    case Event.Question:
        heard.questions.push(e.text);
        break;
    }
}

function notice(text, kind) {
    const p = document.createElement('p');
    p.className = `notice ${kind}`;
    p.textContent = text;
    $('notices').append(p);
}

function clearNotices() {
    $('notices').replaceChildren();
    for (const field of [$('lower'), $('tolerance')])
        field.removeAttribute('aria-invalid');
}

// The answer the user gives to a question the run already answered "stop".
function askUser(prompt) {
    return new Promise((resolve) => {
        const dialog = $('question');
        $('question-text').textContent = prompt;
        dialog.addEventListener('close', () => resolve(dialog.returnValue !== 'no'), {once: true});
        dialog.returnValue = '';
        dialog.showModal();
    });
}

let ticking = null;
function busy(on) {
    $('progress').hidden = !on;
    document.body.classList.toggle('busy', on);
    $('file').disabled = on;
    clearInterval(ticking);
    if (on) {
        const started = performance.now();
        $('elapsed').textContent = '';
        ticking = setInterval(() => {
            $('elapsed').textContent = `${((performance.now() - started) / 1000).toFixed(1)} 秒`;
        }, 200);
    }
}

// One check of the files, as the window's Start: the worker answers each
// "too many" question with the window's default (stop); when the user
// answers "go on" instead, the run is made again with that answer.
async function checkFiles(files) {
    if (!files.length || document.body.classList.contains('busy'))
        return;
    const started = performance.now();
    clearNotices();
    busy(true);
    const answers = [];
    let result;
    try {
        for (let first = true; ; first = false) {
            heard = {questions: [], notices: [], units: 0};
            result = await ask({type: 'check', files: first ? files : null, paths: result && result.paths,
                                lower: $('lower').value, tolerance: $('tolerance').value,
                                numbers: $('numbers').checked, answers, tableRows: MaxTableRows});
            if (result.refused)
                return;
            let again = false;
            while (answers.length < heard.questions.length) {
                const stop = await askUser(heard.questions[answers.length]);
                answers.push(stop ? 'Y' : 'N');
                if (!stop) {
                    again = true;
                    break;
                }
            }
            if (!again)
                break;
        }
    } catch (error) {
        notice(`検査できませんでした: ${error.message}`, 'error');
        return;
    } finally {
        busy(false);
    }
    for (const n of heard.notices)
        notice(n.text, n.kind);
    show(result);
    // From the drop to the result on screen, for bench/web.sh.
    requestAnimationFrame(() => { lastCheckMilliseconds = performance.now() - started; });
}
let lastCheckMilliseconds = null;

function show(result) {
    checked = result;
    checked.findingLines = result.findings.split('\n').filter((line) => line).map((line) => JSON.parse(line));
    document.title = `${result.title} - Morvane`;
    $('title').textContent = result.title;
    $('result').textContent = result.text.replace(/\r\n/g, '\n');
    $('outcome').hidden = false;
    fillTable(result.table);
    // GeoJSON needs each file's zone: a map sheet states it, a SIMA file not.
    checked.zoneKnown = result.units.every((u) => u.error || u.zone);
    $('zone').value = '0';
    zoneChosen();
    const units = result.units.map((u, i) => ({...u, index: i})).filter((u) => !u.error);
    const select = $('plot-unit');
    select.replaceChildren(...units.map((u) => new Option(u.name, u.index)));
    select.hidden = units.length < 2;
    if (units.length)
        showPlot(units[0].index);
    else
        plot.clear();
}

// The rows as the core gives them, numbers as the report prints them.
function fillTable(table) {
    const body = document.createDocumentFragment();
    for (const f of table.rows) {
        const row = document.createElement('tr');
        row.className = f.kind;
        row.dataset.unit = f.unit;
        row.dataset.finding = f.finding;
        const cells = [checked.units[f.unit].name, Kinds[f.kind] || f.kind, f.distance];
        for (const p of f.points)
            cells.push(p.number, p.file ? `${p.name}（${p.file}）` : p.name, p.x, p.y, p.line);
        for (const text of cells) {
            const cell = document.createElement('td');
            cell.textContent = text;
            row.append(cell);
        }
        body.append(row);
    }
    $('findings').tBodies[0].replaceChildren(body);
    $('finding-count').textContent = table.count > table.rows.length
        ? `${table.count} 件（表には最初の ${table.rows.length} 件）` : `${table.count} 件`;
}

async function showPlot(unit) {
    const points = await ask({type: 'plot', unit});
    // One JSON line a unit, in the units' order.
    const line = checked.findingLines[unit];
    plot.show(points.xs, points.ys, (line && line.findings) || []);
    $('plot-unit').value = String(unit);
}

function save(text, name, type) {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([text], {type}));
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

// "sample" of "sample.sim", the name the saved files take after.
function baseName() {
    const first = checked.paths[0].split('/').pop();
    return first.replace(/\.[^.]*$/, '') || 'morvane';
}

async function saveFindings(format, extension, type) {
    const zone = Number($('zone').value);
    const reply = await ask({type: 'findings', format, zone});
    if (reply.error !== undefined) {
        notice(reply.error, 'error');
        return;
    }
    save(reply.bytes, `${baseName()}.${extension}`, type);
}

// The core's printed pages, drawn on sheets for the browser's print dialog.
async function printReport() {
    const reply = await ask({type: 'print'});
    const sheets = document.createDocumentFragment();
    for (const page of reply.layout) {
        const sheet = document.createElement('div');
        sheet.className = 'sheet';
        for (const line of page) {
            const text = document.createElement('div');
            text.className = 'line';
            text.style.left = `${line.x / 20}pt`;
            text.style.top = `${line.y / 20}pt`;
            text.style.fontSize = `${line.points}pt`;
            text.textContent = line.text;
            sheet.append(text);
        }
        sheets.append(sheet);
    }
    $('print-pages').replaceChildren(sheets);
    window.print();
}

$('file').addEventListener('change', (e) => {
    checkFiles([...e.target.files]);
    e.target.value = '';
});
for (const field of [$('lower'), $('tolerance')])
    field.addEventListener('input', () => field.removeAttribute('aria-invalid'));
$('save-text').addEventListener('click', () =>
    save(checked.text, `${baseName()}-report.txt`, 'text/plain;charset=utf-8'));
$('save-csv').addEventListener('click', () => saveFindings(1, 'csv', 'text/csv;charset=utf-8'));
$('save-json').addEventListener('click', () => saveFindings(0, 'jsonl', 'application/jsonl'));
$('save-geojson').addEventListener('click', () => saveFindings(2, 'geojson', 'application/geo+json'));
$('print').addEventListener('click', printReport);
function zoneChosen() {
    const missing = !checked.zoneKnown && $('zone').value === '0';
    $('save-geojson').disabled = missing;
    $('save-geojson').title = missing ? '系を選ぶと保存できます' : '';
}
$('zone').addEventListener('change', zoneChosen);
$('plot-unit').addEventListener('change', (e) => showPlot(Number(e.target.value)));
$('plot-all').addEventListener('click', () => plot.frameAll());
$('findings').addEventListener('click', (e) => {
    const row = e.target.closest('tr');
    if (!row || row.dataset.unit === undefined)
        return;
    const unit = Number(row.dataset.unit);
    const focus = () => plot.focusFinding(Number(row.dataset.finding));
    if (String(unit) !== $('plot-unit').value)
        showPlot(unit).then(focus);
    else
        focus();
});

const roman = ['I', 'II', 'III', 'IV', 'V', 'VI', 'VII', 'VIII', 'IX', 'X', 'XI', 'XII', 'XIII', 'XIV',
               'XV', 'XVI', 'XVII', 'XVIII', 'XIX'];
roman.forEach((name, i) => $('zone').append(new Option(`${name} 系`, i + 1)));

// A drop anywhere on the page checks what was dropped.
let dragDepth = 0;
window.addEventListener('dragenter', (e) => {
    e.preventDefault();
    dragDepth += 1;
    $('drop-cover').hidden = false;
});
window.addEventListener('dragleave', () => {
    dragDepth = Math.max(0, dragDepth - 1);
    if (!dragDepth)
        $('drop-cover').hidden = true;
});
window.addEventListener('dragover', (e) => e.preventDefault());
window.addEventListener('drop', (e) => {
    e.preventDefault();
    dragDepth = 0;
    $('drop-cover').hidden = true;
    checkFiles([...e.dataTransfer.files]);
});

// For the page's tests and benchmark: the last outcome and its time.
self.morvanePage = {checked: () => checked, checkFiles, milliseconds: () => lastCheckMilliseconds};
