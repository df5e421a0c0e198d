// The plot: the points of a checked file, north up and one scale for both
// axes, the findings drawn over them in their kind's colour; the wheel zooms
// about the pointer, a drag moves the view. X is the northing, Y the easting,
// as in the files.
'use strict';

class MorvanePlot {
    constructor(canvas) {
        this.canvas = canvas;
        this.xs = new Float64Array(0);
        this.ys = new Float64Array(0);
        this.findings = [];
        this.view = {x: 0, y: 0, scale: 1};
        this.colors = {};
        new ResizeObserver(() => this.draw()).observe(canvas);
        canvas.addEventListener('wheel', (e) => {
            e.preventDefault();
            this.zoomAbout(e.offsetX, e.offsetY, Math.exp(-e.deltaY / 500));
        }, {passive: false});
        canvas.addEventListener('pointerdown', (e) => {
            canvas.setPointerCapture(e.pointerId);
            this.drag = {x: e.clientX, y: e.clientY};
        });
        canvas.addEventListener('pointermove', (e) => {
            if (!this.drag)
                return;
            const s = this.view.scale;
            this.view.x += (e.clientY - this.drag.y) / s;
            this.view.y -= (e.clientX - this.drag.x) / s;
            this.drag = {x: e.clientX, y: e.clientY};
            this.draw();
        });
        canvas.addEventListener('pointerup', () => { this.drag = null; });
        canvas.addEventListener('keydown', (e) => {
            const step = 40 / this.view.scale;
            const moves = {ArrowUp: [step, 0], ArrowDown: [-step, 0], ArrowLeft: [0, -step], ArrowRight: [0, step]};
            if (moves[e.key]) {
                this.view.x += moves[e.key][0];
                this.view.y += moves[e.key][1];
            } else if (e.key === '+' || e.key === '-') {
                this.zoomAbout(this.canvas.clientWidth / 2, this.canvas.clientHeight / 2, e.key === '+' ? 1.5 : 1 / 1.5);
                return;
            } else {
                return;
            }
            e.preventDefault();
            this.draw();
        });
    }

    // Points at exactly (0, 0) have no coordinates and are not drawn.
    plotted(i) {
        return !(this.xs[i] === 0 && this.ys[i] === 0);
    }

    show(xs, ys, findings) {
        this.xs = xs;
        this.ys = ys;
        this.findings = findings;
        this.frameAll();
    }

    clear() {
        this.show(new Float64Array(0), new Float64Array(0), []);
    }

    frameAll() {
        let minX = Infinity, maxX = -Infinity, minY = Infinity, maxY = -Infinity;
        for (let i = 0; i < this.xs.length; ++i) {
            if (!this.plotted(i))
                continue;
            minX = Math.min(minX, this.xs[i]);
            maxX = Math.max(maxX, this.xs[i]);
            minY = Math.min(minY, this.ys[i]);
            maxY = Math.max(maxY, this.ys[i]);
        }
        this.frame(minX, maxX, minY, maxY);
    }

    frame(minX, maxX, minY, maxY) {
        const margin = 20;
        const width = Math.max(this.canvas.clientWidth - 2 * margin, 1);
        const height = Math.max(this.canvas.clientHeight - 2 * margin, 1);
        if (!isFinite(minX)) {
            this.view = {x: 0, y: 0, scale: 1};
        } else {
            const scale = Math.min(width / Math.max(maxY - minY, 1e-3), height / Math.max(maxX - minX, 1e-3));
            this.view = {x: (minX + maxX) / 2, y: (minY + maxY) / 2, scale: Math.min(Math.max(scale, 1e-5), 1e4)};
        }
        this.draw();
    }

    // A finding with its neighbours around it: some ten metres, or its two
    // points with room to spare.
    focusFinding(index) {
        const f = this.findings[index];
        if (!f)
            return;
        const [a, b] = f.points;
        const reach = Math.max(Math.abs(a.x - b.x), Math.abs(a.y - b.y)) * 0.75 + 5;
        const cx = (a.x + b.x) / 2, cy = (a.y + b.y) / 2;
        this.selected = index;
        this.frame(cx - reach, cx + reach, cy - reach, cy + reach);
    }

    zoomAbout(left, top, factor) {
        const v = this.view;
        const scale = Math.min(Math.max(v.scale * factor, 1e-5), 1e4);
        const w = this.canvas.clientWidth / 2, h = this.canvas.clientHeight / 2;
        // The plane point under the pointer stays under it.
        const px = v.x - (top - h) / v.scale, py = v.y + (left - w) / v.scale;
        v.x = px + (top - h) / scale;
        v.y = py - (left - w) / scale;
        v.scale = scale;
        this.draw();
    }

    color(kind) {
        if (!this.colors[kind]) {
            const style = getComputedStyle(this.canvas);
            this.colors[kind] = style.getPropertyValue(`--${kind.replace(/_/g, '-')}`).trim() || '#c00';
        }
        return this.colors[kind];
    }

    draw() {
        const canvas = this.canvas;
        const ratio = window.devicePixelRatio || 1;
        const width = canvas.clientWidth, height = canvas.clientHeight;
        if (canvas.width !== Math.round(width * ratio) || canvas.height !== Math.round(height * ratio)) {
            canvas.width = Math.round(width * ratio);
            canvas.height = Math.round(height * ratio);
        }
        const g = canvas.getContext('2d');
        g.setTransform(ratio, 0, 0, ratio, 0, 0);
        g.fillStyle = '#fff';
        g.fillRect(0, 0, width, height);
        const v = this.view, w = width / 2, h = height / 2;
        const left = (y) => w + (y - v.y) * v.scale;
        const top = (x) => h - (x - v.x) * v.scale;
        g.fillStyle = '#333';
        for (let i = 0; i < this.xs.length; ++i) {
            if (!this.plotted(i))
                continue;
            const l = left(this.ys[i]), t = top(this.xs[i]);
            if (l >= -2 && t >= -2 && l <= width + 2 && t <= height + 2)
                g.fillRect(l - 1, t - 1, 2, 2);
        }
        g.lineWidth = 2;
        this.findings.forEach((f, index) => {
            const color = this.color(f.kind);
            g.strokeStyle = color;
            const [a, b] = f.points.filter((p) => !(p.x === 0 && p.y === 0)).map((p) => [left(p.y), top(p.x)]);
            if (!a)
                return;
            const r = index === this.selected ? 8 : 5;
            g.beginPath();
            g.arc(a[0], a[1], r, 0, 2 * Math.PI);
            if (b) {
                g.moveTo(b[0] + r, b[1]);
                g.arc(b[0], b[1], r, 0, 2 * Math.PI);
                g.moveTo(a[0], a[1]);
                g.lineTo(b[0], b[1]);
            }
            g.stroke();
        });
        // North, and the scale: a round length near a fifth of the width.
        g.fillStyle = '#000';
        g.font = '12px sans-serif';
        g.fillText('北 ↑', 8, 16);
        const metres = 10 ** Math.floor(Math.log10(width / 5 / v.scale));
        g.fillRect(8, height - 12, metres * v.scale, 3);
        g.fillText(`${metres >= 1 ? metres : metres.toPrecision(1)} m`, 12 + metres * v.scale, height - 8);
    }
}
