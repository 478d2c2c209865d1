// Manual check of an exported page in a real browser (not part of the test run):
//   npm install playwright-core && node markrow_check.js PAGE.htm [SCREENSHOT.png]
// Ticks the box of the first list row and checks that MarkRow marked that row, that the count
// mentions it, and that unticking clears the mark; then filters the list and checks the count.
const { chromium } = require('playwright-core');

(async () => {
  const [page, screenshot] = process.argv.slice(2);
  const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu'],
  });
  const tab = await browser.newPage({ viewport: { width: 1000, height: 520 } });
  await tab.goto('file://' + require('path').resolve(page));
  const box = tab.locator('tbody input[type=checkbox]').first();
  const id = (await box.getAttribute('id')).replace('input', '');
  const row = '#tr' + id;
  const failures = [];
  const check = (what, ok) => { if (!ok) failures.push(what); };

  check('row unmarked at first', !(await tab.getAttribute(row, 'class') || '').includes('marked'));
  await box.click();
  check('ticked row is marked', (await tab.getAttribute(row, 'class') || '').includes('marked'));
  check('count mentions the mark', (await tab.textContent('#count')).includes('1'));
  await tab.mouse.move(0, 0);
  if (screenshot)
    await tab.screenshot({ path: screenshot });
  await box.click();
  check('unticked row is unmarked', !(await tab.getAttribute(row, 'class') || '').includes('marked'));
  await tab.fill('#filter', 'no such text anywhere');
  check('filter hides every row', (await tab.textContent('#count')).startsWith('Показано 0'));

  await browser.close();
  console.log(failures.length ? 'FAILED: ' + failures.join(', ') : 'ok');
  process.exit(failures.length ? 1 : 0);
})();
