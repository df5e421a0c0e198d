// The page's worker: runs the engine (the programs' C++ core compiled to
// WebAssembly, src/web/Engine.cpp) on the files the page hands over, and
// converts plane coordinates for GeoJSON through proj4js. It is bundled with
// proj4js and the engine into the page's engine.js by scripts/build-web.sh.
'use strict';

// The origins of the plane rectangular zones I to XIX (latitude, longitude in
// degrees): transverse Mercator on GRS80, scale 0.9999, in JGD2011, whose
// geographic coordinates are GRS80's own.
const ZoneOrigins = [
    [33, 129.5], [33, 131], [36, 132 + 1 / 6], [33, 133.5], [36, 134 + 1 / 3],
    [36, 136], [36, 137 + 1 / 6], [36, 138.5], [36, 139 + 5 / 6], [40, 140 + 5 / 6],
    [44, 140.25], [44, 142.25], [44, 144.25], [26, 142], [26, 127.5],
    [26, 124], [26, 131], [20, 136], [26, 154],
];
const Geographic = '+proj=longlat +ellps=GRS80 +towgs84=0,0,0 +no_defs';
const converters = new Map();

self.morvaneToLonLat = (zone, x, y) => {
    let convert = converters.get(zone);
    if (!convert) {
        const [lat0, lon0] = ZoneOrigins[zone - 1];
        convert = proj4(`+proj=tmerc +lat_0=${lat0} +lon_0=${lon0} +k=0.9999 +x_0=0 +y_0=0 ` +
                        '+ellps=GRS80 +towgs84=0,0,0 +units=m +no_defs', Geographic);
        converters.set(zone, convert);
    }
    // Easting first, as proj4js takes a plane's axes.
    return convert.forward([y, x]);
};

self.morvaneTell = (event, text, detail) => {
    postMessage({type: 'event', event, text, detail});
};

const engineReady = createMorvaneEngine();

function withStrings(engine, texts, call) {
    const pointers = texts.map((text) => {
        const size = engine.lengthBytesUTF8(text) + 1;
        const pointer = engine._malloc(size);
        engine.stringToUTF8(text, pointer, size);
        return pointer;
    });
    try {
        return call(...pointers);
    } finally {
        pointers.forEach((pointer) => engine._free(pointer));
    }
}

// The files live in the worker's memory under /in, named as the user's, so
// that the report names them as the window would.
async function writeFiles(engine, files) {
    const FS = engine.FS;
    if (FS.analyzePath('/in').exists) {
        for (const name of FS.readdir('/in'))
            if (name !== '.' && name !== '..')
                removeTree(FS, '/in/' + name);
    } else {
        FS.mkdir('/in');
    }
    FS.chdir('/in');
    const paths = [];
    for (const [index, file] of files.entries()) {
        let path = file.name;
        // Two files of one name from two folders each keep theirs.
        if (paths.includes(path)) {
            FS.mkdir(String(index + 1));
            path = `${index + 1}/${file.name}`;
        }
        FS.writeFile(path, new Uint8Array(await file.arrayBuffer()));
        paths.push(path);
    }
    return paths;
}

function removeTree(FS, path) {
    if (FS.isDir(FS.stat(path).mode)) {
        for (const name of FS.readdir(path))
            if (name !== '.' && name !== '..')
                removeTree(FS, path + '/' + name);
        FS.rmdir(path);
    } else {
        FS.unlink(path);
    }
}

async function check(engine, request) {
    const started = performance.now();
    const paths = request.files ? await writeFiles(engine, request.files) : request.paths;
    const run = withStrings(engine, [paths.join('\n'), request.lower, request.tolerance,
                                     request.answers.join('')],
                            (p, l, t, a) => engine._morvane_check(p, l, t, request.numbers ? 1 : 0, a));
    if (!run)
        return {type: 'checked', refused: true, paths};
    const result = JSON.parse(engine.UTF8ToString(run));
    result.type = 'checked';
    result.paths = paths;
    result.text = engine.UTF16ToString(engine._morvane_result_text());
    result.questions = engine._morvane_question_count();
    result.findings = engine.UTF8ToString(engine._morvane_findings(0, 0));
    result.table = JSON.parse(engine.UTF8ToString(engine._morvane_table(request.tableRows)));
    result.milliseconds = performance.now() - started;
    return result;
}

function plot(engine, unit) {
    const count = engine._morvane_plot(unit);
    const from = engine._morvane_xs() / 8 + 1;
    const xs = engine.HEAPF64.slice(from, from + count);
    const to = engine._morvane_ys() / 8 + 1;
    const ys = engine.HEAPF64.slice(to, to + count);
    return {type: 'plotted', unit, xs, ys};
}

// The bytes the core wrote, as it wrote them: a decoder would drop the CSV's
// byte order mark.
function findings(engine, format, zone) {
    const text = engine._morvane_findings(format, zone);
    const bytes = engine.HEAPU8.slice(text, engine.HEAPU8.indexOf(0, text));
    const error = 'error:';
    if (new TextDecoder().decode(bytes.subarray(0, error.length)) === error)
        return {type: 'findings', error: new TextDecoder().decode(bytes.subarray(error.length))};
    return {type: 'findings', bytes};
}

onmessage = async (message) => {
    const request = message.data;
    const engine = await engineReady;
    let reply;
    try {
        if (request.type === 'check')
            reply = await check(engine, request);
        else if (request.type === 'plot')
            reply = plot(engine, request.unit);
        else if (request.type === 'findings')
            reply = findings(engine, request.format, request.zone);
        else if (request.type === 'print')
            reply = {type: 'print', layout: JSON.parse(engine.UTF8ToString(engine._morvane_print_layout()))};
    } catch (error) {
        reply = {type: 'failed', request: request.type, message: String(error && error.message || error)};
    }
    reply.id = request.id;
    const transfer = reply.type === 'plotted' ? [reply.xs.buffer, reply.ys.buffer]
                     : reply.bytes ? [reply.bytes.buffer] : [];
    postMessage(reply, transfer);
};
