// The instructor's page (qa-tutor-report --html) in Debian's Chromium, for
// every reader: axe-core's WCAG 2.1 A/AA and best-practice rules, the
// contrast of every text computed here (axe leaves short texts undecided),
// the focus never under an opened cell, Escape, what a screen reader is told,
// nothing fetched and no text run as markup. Three pages: the sample class's,
// the same with its class list (who sent nothing, an empty row), and one with
// every kind of cell, each with every cell closed, one opened from the
// keyboard, and every cell open.
//   node page_check.mjs --report BIN --sample-class BIN --artifacts DIR
import { execFileSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { contrastProblems, textContrasts } from './contrast.mjs';

const args = Object.fromEntries(
    process.argv.slice(2).flatMap((arg, i, all) => (arg.startsWith('--') ? [[arg.slice(2), all[i + 1]]] : [])));
for (const needed of ['report', 'sample-class', 'artifacts']) {
    if (!args[needed]) {
        console.error(`usage: page_check.mjs --report BIN --sample-class BIN --artifacts DIR (no --${needed})`);
        process.exit(2);
    }
}

// The packages are installed by the test command (npm ci from the lock file);
// without them the check fails, it is never skipped.
let puppeteer;
let axeSource;
try {
    puppeteer = (await import('puppeteer-core')).default;
    axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
} catch (error) {
    console.error(`page_check: ${error.message}\nInstall the packages first: (cd tests/page && npm ci), ` +
                  'as scripts/test.sh does');
    process.exit(1);
}

let passed = 0;
let failed = 0;
function check(name, problems) {
    if (problems.length === 0) {
        ++passed;
        console.log(`ok   ${name}`);
    } else {
        ++failed;
        console.log(`FAIL ${name}\n${problems.map((p) => `     ${p}`).join('\n')}`);
    }
}

const work = mkdtempSync(join(tmpdir(), 'qa-tutor-page-'));
mkdirSync(args.artifacts, { recursive: true });

// A page of the report, from a class the sample class program writes. The
// folder gives the page its ZIP gives (report-pictures.sh), byte for byte.
function pageOf(name, classArgs, reportArgs = []) {
    const folder = join(work, name);
    execFileSync(args['sample-class'], [...classArgs, folder]);
    const page = join(args.artifacts, `${name}.html`);
    execFileSync(args.report, ['--recursive', folder, '--html', page, ...reportArgs],
                 { stdio: ['ignore', 'ignore', 'inherit'] });
    return page;
}
// The sample class with its class list, on which one student sent nothing:
// the list of who sent nothing, and an empty row in the grid.
const classList = join(work, 'class-list.txt');
writeFileSync(classList, 'Lee, Ann\nN\u00fa\u00f1ez, Jos\u00e9\nDiaz, Carla\nChen, Bo\nPark, Dee\nGold, Fay\n');
const pages = {
    sample: pageOf('sample', []),
    every: pageOf('every', ['--every-kind-of-cell']),
    classList: pageOf('class-list', [], ['--roster', classList]),
};

const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    userDataDir: join(work, 'profile'),
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'],
});

// A page opened in a tab that tells every request but the page's own, every
// dialog (an alert) and every script error.
async function open(path, { script = true } = {}) {
    const tab = await browser.newPage();
    await tab.setViewport({ width: 1200, height: 900 });
    await tab.setJavaScriptEnabled(script);
    tab.problems = [];
    const url = pathToFileURL(path).href;
    await tab.setRequestInterception(true);
    tab.on('request', (request) => {
        if (request.url() === url) {
            request.continue();
        } else {
            tab.problems.push(`fetches ${request.url()}`);
            request.abort();
        }
    });
    tab.on('dialog', (dialog) => {
        tab.problems.push(`opens a dialog: ${dialog.message()}`);
        dialog.dismiss();
    });
    tab.on('pageerror', (error) => tab.problems.push(`script error: ${error.message}`));
    await tab.goto(url);
    return tab;
}

const cellSummaries = 'td > details > summary, th > details > summary';

// The cell opened from the keyboard: the first with an invalid rating.
async function openOneCell(tab) {
    const at = await tab.$$eval(cellSummaries, (all) => all.findIndex((s) => s.querySelector('.ri')));
    const summary = (await tab.$$(cellSummaries))[at];
    await summary.focus();
    await tab.keyboard.press('Enter');
    return summary;
}

async function openEveryCell(tab) {
    await tab.$$eval('details', (all) => all.forEach((d) => { d.open = true; }));
}

async function axeViolations(tab) {
    if (!(await tab.evaluate(() => 'axe' in window))) {
        await tab.evaluate(axeSource);
    }
    const results = await tab.evaluate(() => axe.run(document, {
        runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'best-practice'] },
    }));
    const undecided = results.incomplete.map((r) => `${r.id} (${r.nodes.length})`).join(', ');
    console.log(`     axe: ${results.passes.length} rules passed, ${results.violations.length} failed` +
                (undecided ? `; undecided: ${undecided}` : ''));
    return results.violations.map((v) => `${v.id} (${v.impact}, ${v.nodes.length} nodes): ${v.help}; ` +
                                         `first ${v.nodes[0].target.join(' ')}: ${v.nodes[0].failureSummary}`);
}

// Tab through the page: each element that takes the focus is in view and
// not covered, at its middle and its corners, and every summary shown is
// reached.
async function focusCovered(tab) {
    const problems = [];
    const shown = await tab.$$eval('summary', (all) => all.filter((s) => s.checkVisibility()).length);
    const reached = new Set();
    for (let i = 0; i < shown; ++i) {
        if (i === 0) {
            await tab.$eval('summary', (first) => first.focus());
        } else {
            await tab.keyboard.press('Tab');
        }
        const seen = await tab.evaluate(() => {
            const focused = document.activeElement;
            focused.scrollIntoView({ block: 'nearest', inline: 'nearest' });
            const r = focused.getBoundingClientRect();
            const points = [[r.left + r.width / 2, r.top + r.height / 2], [r.left + 2, r.top + 2],
                            [r.right - 2, r.top + 2], [r.left + 2, r.bottom - 2], [r.right - 2, r.bottom - 2]];
            const covered = points.filter(([x, y]) => {
                const hit = document.elementFromPoint(x, y);
                return !hit || !focused.contains(hit);
            });
            const path = [];
            for (let e = focused; e && e !== document.body; e = e.parentElement) {
                path.unshift(e.tagName.toLowerCase() + (e.parentElement ? `:nth-child(${[...e.parentElement.children].indexOf(e) + 1})` : ''));
            }
            return { path: path.join(' > '), text: focused.textContent.slice(0, 40), covered: covered.length };
        });
        reached.add(seen.path);
        if (seen.covered > 0) {
            problems.push(`the focus on "${seen.text}" (${seen.path}) is covered at ${seen.covered} of 5 points`);
        }
    }
    if (reached.size !== shown) {
        problems.push(`Tab reached ${reached.size} of the ${shown} summaries shown`);
    }
    return problems;
}

// Every state of a page: axe, contrast, focus.
async function checkStates(name, path) {
    for (const [state, prepare] of [['every cell closed', null], ['one cell opened from the keyboard', openOneCell],
                                    ['every cell open', openEveryCell]]) {
        const tab = await open(path);
        if (prepare) {
            await prepare(tab);
        }
        await tab.screenshot({ path: join(args.artifacts, `${name}-${state.replace(/ /g, '-')}.png`) });
        check(`${name} page, ${state}: axe finds no violation`, await axeViolations(tab));
        check(`${name} page, ${state}: every text's contrast`, contrastProblems(await tab.evaluate(textContrasts)));
        check(`${name} page, ${state}: the focus is never covered`, await focusCovered(tab));
        check(`${name} page, ${state}: nothing fetched, no dialog, no script error`, tab.problems);
        await tab.close();
    }
}

// What a screen reader is told of a cell, a table, a column's heading.
async function names(path) {
    const tab = await open(path);
    await openEveryCell(tab);
    const problems = [];
    const named = async (selector, expected) => {
        const element = await tab.$(selector);
        const node = element && await tab.accessibility.snapshot({ root: element, interestingOnly: false });
        if (!node || node.name !== expected) {
            problems.push(`${selector}: "${node ? node.name : 'not found'}", not "${expected}"`);
        }
    };
    const row = (n) => `table:nth-of-type(2) tr:nth-child(${n + 1})`;
    // Rows: Bo Chen, Ann Lee, Eve; columns: the student, q001 to q010, q099.
    await named(`${row(2)} td:nth-child(2) summary`, 'confidence invalid rating: 5, self-critique invalid rating: x');
    await named(`${row(2)} td:nth-child(3) summary`, 'confidence no rating typed, self-critique not rated yet');
    await named(`${row(2)} td:nth-child(4) summary`, 'confidence 2, self-critique no rating typed');
    await named(`${row(3)} td:nth-child(3) summary`, 'confidence 0, self-critique 1');
    await named(`${row(1)} td:nth-child(3)`, 'no response');
    await named(`${row(0)} th:nth-child(2)`, 'q001');
    await named('table:nth-of-type(1)', 'Students who need help');
    await named('table:nth-of-type(2)', "Assignment 001: each student's ratings by question");
    await named('table:nth-of-type(3)', 'Notes, assignment 001');
    const invalid = await tab.$eval(`${row(2)} td:nth-child(2) details > div`, (d) => d.innerText);
    for (const shown of ['invalid rating: 5', 'invalid rating: x']) {
        if (!invalid.includes(shown)) {
            problems.push(`the opened cell does not show "${shown}"`);
        }
    }
    if (await tab.$('main img, main b, main script')) {
        problems.push('a text from a file is shown as markup');
    }
    check('every page: what a screen reader is told, the typed rating in view, texts as text', problems);
    await tab.close();
}

// Escape closes the opened cell, from its summary or from within it, and
// leaves the focus on the cell.
async function escape(path) {
    const problems = [];
    for (const within of [false, true]) {
        const tab = await open(path);
        const summary = await openOneCell(tab);
        if (within) {
            await tab.keyboard.press('Tab');
        }
        const before = await summary.evaluate((s) => s.parentElement.open);
        await tab.keyboard.press('Escape');
        const after = await summary.evaluate((s) => ({ open: s.parentElement.open, focused: document.activeElement === s }));
        if (!before || after.open || !after.focused) {
            problems.push(`${within ? 'within the cell' : 'on its summary'}: opened ${before}, ` +
                          `open after Escape ${after.open}, focus on the cell ${after.focused}`);
        }
        await tab.close();
    }
    check('every page: Escape closes the opened cell', problems);
}

// With no script the page holds the same text, every cell open.
async function withoutScript(path) {
    const texts = [];
    for (const script of [true, false]) {
        const tab = await open(path, { script });
        const client = await tab.createCDPSession();
        const { root } = await client.send('DOM.getDocument', { depth: -1 });
        const { outerHTML } = await client.send('DOM.getOuterHTML', { nodeId: root.nodeId });
        texts.push(outerHTML);
        await tab.close();
    }
    check('every page: the same with no script', texts[0] === texts[1] ? [] : ['the page differs with no script']);
}

try {
    for (const [name, path] of Object.entries(pages)) {
        await checkStates(name, path);
    }
    await names(pages.every);
    await escape(pages.every);
    await withoutScript(pages.every);
} finally {
    await browser.close();
    rmSync(work, { recursive: true, force: true });
}
console.log(`page check: pages and screenshots in ${args.artifacts}`);
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
