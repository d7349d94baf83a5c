// The contrast of every text shown on a page, computed as WCAG 2.1 defines
// it: each text's colour over the backgrounds of its element and those
// under it, blended where they are not opaque, on the white canvas.

// Run in the page: every text node shown, with its colours, its ratio and the
// ratio it needs (4.5:1, or 3:1 when large: 24px, or 18.66px and bold).
export function textContrasts() {
    const rgba = (css) => {
        const [r, g, b, a = 1] = css.match(/[\d.]+/g).map(Number);
        return { r, g, b, a };
    };
    const over = (top, under) => ({
        r: top.r * top.a + under.r * (1 - top.a),
        g: top.g * top.a + under.g * (1 - top.a),
        b: top.b * top.a + under.b * (1 - top.a),
        a: 1,
    });
    const luminance = ({ r, g, b }) => {
        const linear = (c) => (c / 255 <= 0.04045 ? c / 255 / 12.92 : ((c / 255 + 0.055) / 1.055) ** 2.4);
        return 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b);
    };
    const hex = ({ r, g, b }) => '#' + [r, g, b].map((c) => Math.round(c).toString(16).padStart(2, '0')).join('');
    const texts = [];
    const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
    for (let node = walker.nextNode(); node; node = walker.nextNode()) {
        const element = node.parentElement;
        if (!node.data.trim() || element.closest('script, style') || !element.checkVisibility()) {
            continue;
        }
        // The backgrounds from the element down to the canvas; what cannot be
        // computed (an image, a see-through element) is told, not guessed.
        const layers = [];
        let undecided = '';
        for (let e = element; e; e = e.parentElement) {
            const style = getComputedStyle(e);
            if (style.backgroundImage !== 'none' || Number(style.opacity) < 1) {
                undecided = `${e.tagName.toLowerCase()} has a background image or opacity`;
            }
            const colour = rgba(style.backgroundColor);
            if (colour.a > 0) {
                layers.push(colour);
            }
            if (colour.a === 1) {
                break;
            }
        }
        const background = layers.reduceRight((under, top) => over(top, under), { r: 255, g: 255, b: 255, a: 1 });
        const style = getComputedStyle(element);
        const foreground = over(rgba(style.color), background);
        const [light, dark] = [luminance(foreground), luminance(background)].sort((x, y) => y - x);
        const size = parseFloat(style.fontSize);
        const large = size >= 24 || (size >= 18.66 && Number(style.fontWeight) >= 700);
        texts.push({
            text: node.data.trim().slice(0, 30),
            pair: `${hex(foreground)} on ${hex(background)}`,
            ratio: (light + 0.05) / (dark + 0.05),
            needs: large ? 3 : 4.5,
            undecided,
        });
    }
    return texts;
}

// The texts below the ratio they need, each pair's lowest ratio printed.
export function contrastProblems(texts) {
    const pairs = new Map();
    for (const t of texts) {
        const seen = pairs.get(t.pair);
        if (!seen || t.ratio < seen.ratio) {
            pairs.set(t.pair, t);
        }
    }
    const lowest = [...pairs.values()].sort((a, b) => a.ratio - b.ratio);
    console.log(`     contrast of ${texts.length} texts; their colours, lowest ratio first: ` +
                lowest.map((t) => `${t.pair} ${t.ratio.toFixed(2)}`).join(', '));
    if (texts.length === 0) {
        return ['no text found'];
    }
    const failing = new Map();
    for (const t of texts.filter((x) => x.undecided || x.ratio < x.needs)) {
        const problem = `${t.pair}: ${t.ratio.toFixed(2)}:1 where ${t.needs}:1 is needed ${t.undecided}`;
        failing.set(problem, [...(failing.get(problem) || []), t.text]);
    }
    return [...failing].map(([problem, seen]) => `${problem} ("${seen[0]}" and ${seen.length - 1} more)`);
}
